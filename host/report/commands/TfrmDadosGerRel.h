// The base report-parameter screen that every report screen derives from:
// report choice, command bar (print, preview, save as, export to a
// spreadsheet, edit report, standard report), report runner, save dialog and message tables. Its definition binds
// the window's events and the commands to the handlers below by name, so a
// derived screen's method of the same name takes their place (and calls them).
#pragma once

#include "widgets/TForm.h"

class TMessages;

class TfrmDadosGerRel : public TForm {
    Q_OBJECT

public:
    explicit TfrmDadosGerRel(QWidget *parent = nullptr);

    // The command buttons and menu entries, as the user reaches them.
    enum class Command { Print, Preview, SaveAs, EditReport, StandardReport, ExportCsv, ExportXlsx };
    // Runs a command as its button or menu entry does.
    void runCommand(Command c);

public slots:
    void FormCreate(QObject *Sender);
    void FormActivate(QObject *Sender);
    void FormClose(QObject *Sender, int *Action);
    void sbtPrintClick(QObject *Sender);
    void sbtPreviewClick(QObject *Sender);
    void sbtSalvarComoClick(QObject *Sender);
    void mnuEditRelClick(QObject *Sender);
    void mnuRelatPadrClick(QObject *Sender);
    void mnuExportarCsvClick(QObject *Sender);
    void mnuExportarXlsxClick(QObject *Sender);

protected:
    TMessages *msgPadrao() const;
    // A window closed while its report runs stops the run and closes once
    // the command has returned.
    void closeEvent(QCloseEvent *e) override;
};
