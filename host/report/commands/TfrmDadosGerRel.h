// The base report-parameter screen that every report screen derives from:
// report choice, command bar (print, preview, save as, export to a
// spreadsheet, edit report, standard report), report runner, save dialog and
// message tables. Its definition binds the window's events and the commands
// to the handlers below by name.
//
// The commands are those of ReportCommandTable: the screen finds each one's
// button or menu entry when its definitions are read, gives it the command's
// key (shown in the button's tool tip), and runs it by its id. Before any
// report command runs, beforeCommand(id) does (a derived screen's checks);
// its exception stops the command. The parts the commands use (the runner
// rpddPadrao, the report list cbbReportNames, the messages msgPadrao, the
// code lblCodRel) are bound when the definitions are read: a definition
// without one of them fails to load (DefinitionError), in every build.
#pragma once

#include "ReportCommandTable.h"
#include "session/ParameterSets.h"
#include "widgets/TForm.h"

#include <QMap>
#include <QVariantMap>

class QComboBox;
class TLabel;
class TMenuItem;
class TMessages;
class TReportDesignerDialog;
class TSpeedButton;

class TfrmDadosGerRel : public TForm {
    Q_OBJECT

public:
    explicit TfrmDadosGerRel(QWidget *parent = nullptr);

    // Whether the command can be given now: its button or menu entry is
    // enabled; a command of the screen's own code, when the screen has it.
    bool offers(ReportCommand::Id id) const;
    // Runs a command as its button or menu entry does (the screen's checks
    // first); errors are shown, not thrown. A command not offered does nothing.
    void run(ReportCommand::Id id);
    // Reads again what the screen takes from application servers (a list a
    // server that did not answer left empty), keeping the user's choice when
    // it is still offered. The shell calls it for "Tentar novamente"; the
    // base screen reads nothing.
    virtual void refreshRemoteData() {}

    // The screen's choices as its parameter values (texts, numbers,
    // Booleans by name), as the history of runs keeps them; the base screen
    // has none.
    virtual QVariantMap storedChoices() const { return {}; }
    // Puts stored choices back as a person would type them, so that every
    // field's check runs; the first that fails shows its message and raises
    // (MensErro's silent abort). The base screen takes none.
    virtual void applyStoredChoices(const QVariantMap &) {}
    // Runs a command again with stored choices: they are applied, then the
    // command runs as run(id) does (the screen's checks first). Errors are
    // shown, not thrown; false when the choices were refused.
    bool rerun(ReportCommand::Id id, const QVariantMap &choices);

    // The screen's parts (see above).
    TReportDesignerDialog *reportRunner() const { return m_runner; }
    QComboBox *reportNames() const { return m_reportNames; }
    // The report code of the screen's definition (lblCodRel).
    QString reportCode() const;

    // Named parameter sets (ParameterSets), for a screen that keeps them:
    // the set of that name applied as a person would type its choices,
    // every field's check running (the first that fails shows its message
    // and raises EAbort). Throws EHostError when the set cannot be read.
    void openParameterSet(const QString &name);
    // Where the screen's sets are kept; empty for a screen that keeps none.
    virtual ParameterSets::Place parameterPlace() const { return {}; }

    // A run without anyone at the screen: the screen's whole check first
    // (beforeCommand, as before Print), then one run of the chosen report
    // writing into folder the PDF (when pdf) and each export format, under
    // the names the save dialogs propose. Throws as the checks do (EAbort
    // after the message), EHostError when the database or a file refused.
    struct FilesRun {
        QStringList files;  // the paths written
        qint64 rows = 0;    // the report's rows
        QString title;      // the report's title
    };
    FilesRun writeFiles(const QString &folder, bool pdf, const QList<ExportFormat::Id> &formats);

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
    TMessages *msgPadrao() const { return m_messages; }
    // Runs before the report command id (print, preview, save as, the
    // exports, edit report, standard report): a screen's checks. An
    // exception (MensErro's silent one after its message) stops the command.
    virtual void beforeCommand(ReportCommand::Id) {}
    // Binds the commands to their controls; a derived screen's override
    // calls it first.
    void definitionsRead() override;
    // "Repetir últimos parâmetros": a screen that keeps its last parameters
    // says so and puts them back on request; the base screen keeps none.
    virtual bool remembersParameters() const { return false; }
    virtual void repeatLastParameters() {}
    // Named parameter sets: what the screen holds now as a set (its period
    // guessed as a rule), and a set put back as typed, its period counted
    // from the screen's day. A screen keeps sets when parameterPlace() has a
    // screen code.
    virtual ParameterSet currentParameters() const { return {}; }
    virtual void applyParameterSet(const ParameterSet &) {}
    // A window closed while its report runs stops the run and closes once
    // the command has returned.
    void closeEvent(QCloseEvent *e) override;

private:
    // The button or menu entry that carries a command (one of the two).
    struct CommandControl {
        TSpeedButton *button = nullptr;
        TMenuItem *entry = nullptr;
    };
    void bindCommands();
    void showKeysInToolTips();
    // beforeCommand(id), then the command on this screen's parts.
    void runCommand(ReportCommand::Id id);
    // A command that runs the report, kept in the history of runs.
    void runRecorded(ReportCommand::Id id);
    // The commands of the screen's own code (no button or menu entry).
    void runOwnCommand(ReportCommand::Id id);
    // "Salvar parâmetros como…" and "Abrir parâmetros…", asking the person
    // (ParameterSetCommands.cpp).
    void saveParameterSetAsked();
    void openParameterSetAsked();

    QMap<ReportCommand::Id, CommandControl> m_commands;
    TReportDesignerDialog *m_runner = nullptr;
    QComboBox *m_reportNames = nullptr;
    TMessages *m_messages = nullptr;
    TLabel *m_codeLabel = nullptr;
};
