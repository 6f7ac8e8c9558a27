#include "TfrmDadosGerRel.h"
#include "ReportScreenCommands.h"
#include "TReportDesignerDialog.h"
#include "core/ComponentRegistry.h"
#include "core/Errors.h"
#include "core/HostUi.h"
#include "core/TMessages.h"
#include "widgets/TComboBox.h"
#include "widgets/TLabel.h"
#include "widgets/TMenuItem.h"
#include "widgets/TSpeedButton.h"

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

void TfrmDadosGerRel::runCommand(Command c)
{
    switch (c) {
    case Command::Print:
        component<TSpeedButton>(QStringLiteral("sbtPrint"))->Click();
        break;
    case Command::Preview:
        component<TSpeedButton>(QStringLiteral("sbtPreview"))->Click();
        break;
    case Command::SaveAs:
        component<TSpeedButton>(QStringLiteral("sbtSalvarComo"))->Click();
        break;
    case Command::EditReport:
        component<TMenuItem>(QStringLiteral("mnuEditRel"))->Click();
        break;
    case Command::StandardReport:
        component<TMenuItem>(QStringLiteral("mnuRelatPadr"))->Click();
        break;
    case Command::ExportCsv:
        component<TMenuItem>(QStringLiteral("mnuExportarCsv"))->Click();
        break;
    case Command::ExportXlsx:
        component<TMenuItem>(QStringLiteral("mnuExportarXlsx"))->Click();
        break;
    }
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
void TfrmDadosGerRel::mnuExportarCsvClick(QObject *) { reportCommands(this).exportRows(ReportExport::Format::Csv); }
void TfrmDadosGerRel::mnuExportarXlsxClick(QObject *) { reportCommands(this).exportRows(ReportExport::Format::Xlsx); }
