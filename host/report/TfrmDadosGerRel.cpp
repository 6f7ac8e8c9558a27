#include "TfrmDadosGerRel.h"
#include "toolkit/ComponentRegistry.h"
#include "toolkit/TMenuItem.h"
#include "toolkit/TMessages.h"
#include "toolkit/TSpeedButton.h"
#include "ui/HostUi.h"

REGISTER_COMPONENT(TfrmDadosGerRel)

TfrmDadosGerRel::TfrmDadosGerRel(QWidget *parent) : TForm(parent)
{
    // Resources of a shared library register when it loads; make sure ours did.
    Q_INIT_RESOURCE(report_forms);
}

TMessages *TfrmDadosGerRel::msgPadrao() const { return component<TMessages>(QStringLiteral("msgPadrao")); }

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
    }
}

void TfrmDadosGerRel::FormCreate(QObject *) {}

void TfrmDadosGerRel::FormActivate(QObject *) {}

void TfrmDadosGerRel::FormClose(QObject *, int *Action)
{
    *Action = caFree;
}

namespace {
void notYet() { HostUi::instance().showInfo(QStringLiteral("Este comando ainda não está disponível.")); }
}

void TfrmDadosGerRel::sbtPrintClick(QObject *) { notYet(); }
void TfrmDadosGerRel::sbtPreviewClick(QObject *) { notYet(); }
void TfrmDadosGerRel::sbtSalvarComoClick(QObject *) { notYet(); }
void TfrmDadosGerRel::mnuEditRelClick(QObject *) { notYet(); }
void TfrmDadosGerRel::mnuRelatPadrClick(QObject *) { notYet(); }
