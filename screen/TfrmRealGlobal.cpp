#include "TfrmRealGlobal.h"
#include "module/Pkg_xev01700.h"

TfrmRealGlobal::TfrmRealGlobal(QWidget *parent) : TfrmDadosGerRel(parent)
{
    Q_INIT_RESOURCE(screen_forms);
}

void TfrmRealGlobal::FormCreate(QObject *Sender)
{
    TfrmDadosGerRel::FormCreate(Sender);
}

void TfrmRealGlobal::FormActivate(QObject *Sender)
{
    TfrmDadosGerRel::FormActivate(Sender);
}

void TfrmRealGlobal::FormClose(QObject *Sender, int *Action)
{
    boIdCriado = false;
    frmRealGlobal = nullptr;
    TfrmDadosGerRel::FormClose(Sender, Action);
}
