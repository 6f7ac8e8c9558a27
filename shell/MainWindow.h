// The shell's main window: an MDI area for the screens, the menus
// ("Arquivo", "Relatórios", "Janela", "Ajuda") with their keys, and a status
// bar with the database in use, the working branch and the costs server's
// state. The status bar gives its room by importance (StatusFieldsLayout):
// a notice of a fault first, then the last file written or command's word,
// then the branch, the costs server and the database, each elided to fit. "Relatórios" opens each module of the module folder as it describes
// itself (ModuleDescription); its report commands act on the active screen
// (ReportMenu.h).
#pragma once

#include "core/ModuleDescription.h"

#include <QMainWindow>
#include <QPointer>

class CostsServerSupervisor;
class ElidedLabel;
class HelpWindow;
class QAction;
class QMdiArea;
class ModuleLoader;
class ReportMenu;
class TfrmDadosGerRel;
class RecentRunsWindow;
class SavedFileNotice;
class StatusNotice;
class TForm;

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    MainWindow(ModuleLoader &loader, const QString &title);
    QMdiArea *mdiArea() const { return m_area; }
    // Opens a module's screen as the menu does; errors are shown, not thrown.
    void openModule(const QString &code);
    // Closes every screen (each runs its close handling).
    void closeScreens();
    // The screen of the active window; nullptr when none is open.
    TForm *activeScreen() const;

    // Status bar.
    void showDatabase(const QString &location);
    void showBranch(const QString &code, const QString &name);
    void showCostsServer(const QString &state);
    // That reports run with an administrator's rights (ReportAccess::warning):
    // a short mark, the whole text in its tool tip; hidden when warning is "".
    void showReportRights(const QString &warning);
    // The shell's own costs server, which must outlive the window: the status
    // bar follows its state from now on (commands that start it again reach
    // it through costsServer()).
    void followCostsServer(CostsServerSupervisor *server);
    CostsServerSupervisor *costsServer() const { return m_costsServer; }
    // A notice of a fault (the costs server does not answer, say): kept in
    // the status bar, whole in its tool tip, until clearNotice().
    void showNotice(const QString &text);
    void clearNotice();
    // Where a file the person asked for was written, with "Abrir pasta";
    // it takes the place of the last command's word.
    void showFileWritten(const QString &path);
    // A command's word on what it did or why it did nothing; it takes the
    // place of the last file written.
    void showMessage(const QString &text);
    // "Tentar novamente": starts the shell's own costs server again when it
    // is down, then has every open screen read its server's lists again.
    void retryCostsServer();

    // Where the window is now, kept for the next session (WindowPlacement
    // brings it back when the window shows; the first time it opens at the
    // default size within the screen's free area).
    void rememberPlace();

    // The active screen's help (F1), from its module; a message when it has none.
    void showHelp();
    // Version, database and costs server ("Sobre").
    void showAbout();
    // "Relatórios recentes" over the installed history of runs.
    void showRecentRuns();
    // The open report screen of a report code, made active; else the screen
    // of the module whose code starts with it, opened. nullptr (after a
    // message) when there is none.
    TfrmDadosGerRel *reportScreenFor(const QString &reportCode);

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    void buildFileMenu();
    void buildReportsMenu();
    void buildWindowMenu();
    void buildHelpMenu();
    void buildStatusBar();
    // The menus' Alt letters, which no screen's caption may take.
    void reserveMenuLetters();
    void fitDefaultSize();
    // Enables the report commands the active screen offers.
    void updateCommands();

    ModuleLoader &m_loader;
    QMdiArea *m_area;
    QList<ModuleDescription> m_modules;
    ReportMenu *m_reportMenu = nullptr;
    ElidedLabel *m_database = nullptr;
    ElidedLabel *m_branch = nullptr;
    ElidedLabel *m_costs = nullptr;
    ElidedLabel *m_message = nullptr;
    ElidedLabel *m_reportRights = nullptr;
    StatusNotice *m_notice = nullptr;
    SavedFileNotice *m_saved = nullptr;
    QAction *m_openFolder = nullptr;
    QPointer<HelpWindow> m_help;
    QPointer<RecentRunsWindow> m_recentRuns;
    CostsServerSupervisor *m_costsServer = nullptr; // outlives the window
};
