// The report commands in the shell's "Relatórios" menu: one entry for each
// command of ReportCommandTable that has a key, with that key. Each acts on
// the active screen as the screen's own button or menu entry does (so the
// screen's checks run first), and is enabled only while the active screen
// offers it ("Relatórios recentes", which needs no screen, while a history
// of runs is installed).
#pragma once

#include <QList>
#include <QObject>
#include <functional>

class QAction;
class QMenu;
class TForm;

class ReportMenu : public QObject {
    Q_OBJECT

public:
    // Adds the entries to menu; activeScreen gives the screen they act on.
    ReportMenu(QMenu *menu, std::function<TForm *()> activeScreen);
    // Enables the entries the active screen offers now.
    void update();

signals:
    // "Relatórios recentes" was chosen: the shell's window, not a screen's command.
    void recentRunsRequested();

private:
    std::function<TForm *()> m_activeScreen;
    QList<QAction *> m_actions;
};
