#include "TfrmDadosGerRel.h"
#include "ReportScreenCommands.h"
#include "ScreenRunRecord.h"
#include "TReportDesignerDialog.h"
#include "core/ComponentRegistry.h"
#include "core/Dispatch.h"
#include "core/Errors.h"
#include "core/HostUi.h"
#include "core/TMessages.h"
#include "widgets/TButtonFlat.h"
#include "widgets/TComboBox.h"
#include "widgets/TLabel.h"
#include "widgets/TMenuItem.h"
#include "widgets/TSpeedButton.h"

#include <QAction>
#include <QCloseEvent>

REGISTER_COMPONENT(TfrmDadosGerRel)

TfrmDadosGerRel::TfrmDadosGerRel(QWidget *parent) : TForm(parent)
{
    // Resources of a shared library register when it loads; make sure ours did.
    Q_INIT_RESOURCE(report_forms);
}

QString TfrmDadosGerRel::reportCode() const { return m_codeLabel ? m_codeLabel->Caption() : QString(); }

void TfrmDadosGerRel::definitionsRead()
{
    const QMetaObject &self = TfrmDadosGerRel::staticMetaObject;
    m_runner = part<TReportDesignerDialog>("rpddPadrao", self);
    m_reportNames = part<QComboBox>("cbbReportNames", self);
    m_messages = part<TMessages>("msgPadrao", self);
    m_codeLabel = part<TLabel>("lblCodRel", self);
    bindCommands();
}

void TfrmDadosGerRel::bindCommands()
{
    for (const ReportCommand &c : ReportCommandTable::all()) {
        CommandControl control;
        QObject *o = component(c.control);
        control.button = qobject_cast<TSpeedButton *>(o);
        control.entry = qobject_cast<TMenuItem *>(o);
        m_commands.insert(c.id, control);
    }
    showKeysInToolTips();
}

void TfrmDadosGerRel::showKeysInToolTips()
{
    // A drop-down button's tip names the keys of its entries ("Ctrl+E: CSV").
    QHash<TButtonFlat *, QStringList> dropDownKeys;
    for (const ReportCommand &c : ReportCommandTable::all()) {
        const CommandControl control = m_commands.value(c.id);
        if (c.key.isEmpty())
            continue;
        const QString key = c.key.toString(QKeySequence::NativeText);
        if (control.button) {
            control.button->setToolTip(QStringLiteral("%1 (%2)").arg(control.button->toolTip(), key));
        } else if (control.entry) {
            control.entry->action()->setShortcut(c.key);
            control.entry->action()->setShortcutContext(Qt::WidgetShortcut);
            if (auto *dropDown = qobject_cast<TButtonFlat *>(control.entry->parent()))
                dropDownKeys[dropDown] << (c.entryLabel.isEmpty() ? key : key + QStringLiteral(": ") + c.entryLabel);
        }
    }
    for (auto it = dropDownKeys.cbegin(); it != dropDownKeys.cend(); ++it)
        it.key()->setToolTip(QStringLiteral("%1 (%2)").arg(it.key()->toolTip(), it.value().join(QStringLiteral("; "))));
}

bool TfrmDadosGerRel::offers(ReportCommand::Id id) const
{
    const CommandControl control = m_commands.value(id);
    if (control.button)
        return control.button->isEnabled();
    if (control.entry)
        return control.entry->Enabled();
    if (id == ReportCommand::Id::SaveParameterSet || id == ReportCommand::Id::OpenParameterSet)
        return !parameterPlace().screen.isEmpty();
    return id == ReportCommand::Id::RepeatLastParameters && remembersParameters();
}

void TfrmDadosGerRel::run(ReportCommand::Id id)
{
    if (!offers(id))
        return;
    const CommandControl control = m_commands.value(id);
    if (control.button)
        control.button->Click();
    else if (control.entry)
        control.entry->Click();
    else
        Dispatch::guard([this, id] { runOwnCommand(id); });
}

void TfrmDadosGerRel::runOwnCommand(ReportCommand::Id id)
{
    if (id == ReportCommand::Id::SaveParameterSet)
        saveParameterSetAsked();
    else if (id == ReportCommand::Id::OpenParameterSet)
        openParameterSetAsked();
    else
        repeatLastParameters();
}

void TfrmDadosGerRel::FormCreate(QObject *)
{
    // The report list: standard definitions of the code first, then the user's.
    ReportScreenCommands(m_runner, m_reportNames, m_messages, reportCode()).list();
}

void TfrmDadosGerRel::FormActivate(QObject *) {}

void TfrmDadosGerRel::FormClose(QObject *, int *Action)
{
    *Action = caFree;
}

void TfrmDadosGerRel::closeEvent(QCloseEvent *e)
{
    TReportDesignerDialog *rpdd = m_runner;
    if (!rpdd || !rpdd->isRunning()) {
        TForm::closeEvent(e);
        return;
    }
    e->ignore();
    connect(rpdd, &TReportDesignerDialog::RunEnded, this, [this] { Close(); },
            Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection));
    rpdd->cancelRun();
}

void TfrmDadosGerRel::runCommand(ReportCommand::Id id)
{
    using Id = ReportCommand::Id;
    if (id == Id::Print || id == Id::Preview || id == Id::ExportCsv || id == Id::ExportXlsx) {
        runRecorded(id);
        return;
    }
    if (id == Id::RepeatLastParameters || id == Id::SaveParameterSet || id == Id::OpenParameterSet) {
        runOwnCommand(id);
        return;
    }
    beforeCommand(id);
    ReportScreenCommands commands(m_runner, m_reportNames, m_messages, reportCode());
    switch (id) {
    case Id::SaveAs: commands.saveAs(); break;
    case Id::EditReport: commands.editReport(); break;
    case Id::StandardReport: commands.standardReport(); break;
    default: break;
    }
}

void TfrmDadosGerRel::runRecorded(ReportCommand::Id id)
{
    RunRecord run;
    run.origin = QStringLiteral("tela");
    run.screen = reportCode();
    run.report = m_reportNames ? m_reportNames->currentText() : QString();
    run.command = ReportCommandTable::of(id).scriptName;
    run.choices = storedChoices();
    ScreenRunRecord record(RunHistory::installed(), run);
    try {
        beforeCommand(id);
    } catch (const EAbort &e) {
        record.refused(e.text());
        throw;
    } catch (const EHostError &e) {
        record.refused(e.text());
        throw;
    }
    ReportScreenCommands commands(m_runner, m_reportNames, m_messages, reportCode());
    try {
        if (id == ReportCommand::Id::Print)
            commands.print();
        else if (id == ReportCommand::Id::Preview)
            commands.preview();
        else
            commands.exportRows(*ReportCommandTable::of(id).format);
    } catch (const EAbort &e) {
        record.aborted(e.text());
        throw;
    } catch (const EHostError &e) {
        record.failed(e.text());
        throw;
    }
    record.done(m_runner->rowsRead());
}

bool TfrmDadosGerRel::rerun(ReportCommand::Id id, const QVariantMap &choices)
{
    bool applied = false;
    Dispatch::guard([&] {
        applyStoredChoices(choices);
        applied = true;
    });
    if (applied)
        run(id);
    return applied;
}

void TfrmDadosGerRel::sbtPrintClick(QObject *) { runCommand(ReportCommand::Id::Print); }
void TfrmDadosGerRel::sbtPreviewClick(QObject *) { runCommand(ReportCommand::Id::Preview); }
void TfrmDadosGerRel::sbtSalvarComoClick(QObject *) { runCommand(ReportCommand::Id::SaveAs); }
void TfrmDadosGerRel::mnuEditRelClick(QObject *) { runCommand(ReportCommand::Id::EditReport); }
void TfrmDadosGerRel::mnuRelatPadrClick(QObject *) { runCommand(ReportCommand::Id::StandardReport); }
void TfrmDadosGerRel::mnuExportarCsvClick(QObject *) { runCommand(ReportCommand::Id::ExportCsv); }
void TfrmDadosGerRel::mnuExportarXlsxClick(QObject *) { runCommand(ReportCommand::Id::ExportXlsx); }
