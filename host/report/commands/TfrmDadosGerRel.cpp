#include "TfrmDadosGerRel.h"
#include "ReportScreenCommands.h"
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

TMessages *TfrmDadosGerRel::msgPadrao() const { return component<TMessages>(QStringLiteral("msgPadrao")); }

namespace {
// The report commands on this screen's runner, report list, messages and code.
ReportScreenCommands reportCommands(const TfrmDadosGerRel *f)
{
    auto *rpdd = f->component<TReportDesignerDialog>(QStringLiteral("rpddPadrao"));
    if (!rpdd)
        throw EHostError(QStringLiteral("A tela não tem o gerador de relatórios (rpddPadrao)."));
    const TLabel *code = f->component<TLabel>(QStringLiteral("lblCodRel"));
    return ReportScreenCommands(rpdd, f->component<QComboBox>(QStringLiteral("cbbReportNames")),
                                f->component<TMessages>(QStringLiteral("msgPadrao")), code ? code->Caption() : QString());
}
}

void TfrmDadosGerRel::definitionsRead() { bindCommands(); }

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
        Dispatch::guard([this] { repeatLastParameters(); });
}

void TfrmDadosGerRel::FormCreate(QObject *)
{
    // The report list: standard definitions of the code first, then the user's.
    if (component<TReportDesignerDialog>(QStringLiteral("rpddPadrao")))
        reportCommands(this).list();
}

void TfrmDadosGerRel::FormActivate(QObject *) {}

void TfrmDadosGerRel::FormClose(QObject *, int *Action)
{
    *Action = caFree;
}

void TfrmDadosGerRel::closeEvent(QCloseEvent *e)
{
    auto *rpdd = component<TReportDesignerDialog>(QStringLiteral("rpddPadrao"));
    if (!rpdd || !rpdd->isRunning()) {
        TForm::closeEvent(e);
        return;
    }
    e->ignore();
    connect(rpdd, &TReportDesignerDialog::RunEnded, this, [this] { Close(); },
            Qt::ConnectionType(Qt::QueuedConnection | Qt::SingleShotConnection));
    rpdd->cancelRun();
}

void TfrmDadosGerRel::sbtPrintClick(QObject *) { reportCommands(this).print(); }
void TfrmDadosGerRel::sbtPreviewClick(QObject *) { reportCommands(this).preview(); }
void TfrmDadosGerRel::sbtSalvarComoClick(QObject *) { reportCommands(this).saveAs(); }
void TfrmDadosGerRel::mnuEditRelClick(QObject *) { reportCommands(this).editReport(); }
void TfrmDadosGerRel::mnuRelatPadrClick(QObject *) { reportCommands(this).standardReport(); }
void TfrmDadosGerRel::mnuExportarCsvClick(QObject *) { reportCommands(this).exportRows(ExportFormat::Id::Csv); }
void TfrmDadosGerRel::mnuExportarXlsxClick(QObject *) { reportCommands(this).exportRows(ExportFormat::Id::Xlsx); }
