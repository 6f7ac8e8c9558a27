// "Relatórios recentes": the history of report runs (RunHistory), newest
// first, one line a run (when, report, what was asked, branch, period,
// outcome and why, rows, duration, who, e-mail), filtered by any text the
// person types (case and accents ignored). Below, the files of the chosen
// run: "Abrir arquivo" and "Abrir pasta" hand them to the desktop
// (QDesktopServices); a file gone since is named, not opened.
// "Executar novamente" puts the run's choices back on its screen (opened
// through screenFor when needed) as a person would type them, so every
// check of the screen runs, and gives the same command again.
#pragma once

#include "session/RunHistory.h"

#include <QDialog>
#include <functional>

class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;
class TfrmDadosGerRel;

class RecentRunsWindow : public QDialog {
    Q_OBJECT

public:
    // The report screen of a report code, open and active (nullptr when it
    // cannot be opened: the reason has been shown).
    using ScreenFor = std::function<TfrmDadosGerRel *(const QString &reportCode)>;

    RecentRunsWindow(RunHistory &history, ScreenFor screenFor, QWidget *parent = nullptr);

    // Reads the history again, keeping the filter.
    void refresh();
    // The run on the chosen line; id 0 when none is chosen.
    RunRecord chosenRun() const;

    void openFile();
    void openFolder();
    void runAgain();

private:
    void fill();
    void showFiles();
    QString chosenFile() const;

    RunHistory &m_history;
    ScreenFor m_screenFor;
    QList<RunRecord> m_runs;
    QLineEdit *m_filter;
    QTableWidget *m_table;
    QListWidget *m_files;
    QPushButton *m_openFile;
    QPushButton *m_openFolder;
    QPushButton *m_runAgain;
};
