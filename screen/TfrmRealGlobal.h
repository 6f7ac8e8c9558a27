// The report-parameter screen "Custo Realizado Global do Período
// (Planejamento de Alimentação Escolar)": the user picks a central's
// aggregated branch, a cost type, a period, a product range, service groups
// and services, a grouping level, an ordering and product kinds; the screen
// checks them and fills the report's parameters.
#pragma once

#include "report/TfrmDadosGerRel.h"

class TADOIBQuery;
class TBevel;
class TBtnPesquisa;
class TCheckBox;
class TComboBox;
class TDataSource;
class TDateEditPlus;
class TEdit;
class TMaskEdit;
class TNetConnection;
class TParams;
class TRadioButton;
class TRadioGroup;
class TSpeedButton;
class TSpinEdit;

class TfrmRealGlobal : public TfrmDadosGerRel {
    Q_OBJECT

public:
    explicit TfrmRealGlobal(QWidget *parent = nullptr);

    // Components of the definition, by their names.
    TMaskEdit *medCentral = nullptr;
    TEdit *edtNmCentral = nullptr;
    TMaskEdit *medCdFilial = nullptr;
    TEdit *edtNmFilial = nullptr;
    TBtnPesquisa *btpFilial = nullptr;
    TComboBox *cbbTipoCusto = nullptr;
    TDateEditPlus *depDataInic = nullptr;
    TDateEditPlus *depDataFina = nullptr;
    TEdit *edtDataInic = nullptr;
    TEdit *edtDataFina = nullptr;
    TRadioButton *rbtTodosGrup = nullptr;
    TRadioButton *rbtListaGrup = nullptr;
    TSpeedButton *sbtGrupServ = nullptr;
    TRadioButton *rbtTodosServ = nullptr;
    TRadioButton *rbtListaServ = nullptr;
    TSpeedButton *sbtServico = nullptr;
    TMaskEdit *medCdProdInic = nullptr;
    TMaskEdit *medCdProdFina = nullptr;
    TEdit *edtNmProdInic = nullptr;
    TEdit *edtNmProdFina = nullptr;
    TRadioGroup *rdgOrdena = nullptr;
    TSpinEdit *sedNiveOrde = nullptr;
    TCheckBox *chbEstocaveis = nullptr;
    TCheckBox *chbNaoEstoc = nullptr;
    TDataSource *dtsFilial__ = nullptr;
    TDataSource *dtsServico__ = nullptr;
    TDataSource *dtsGrupServ__ = nullptr;
    TDataSource *dtsProduto__ = nullptr;
    TADOIBQuery *qryFilial = nullptr;
    TADOIBQuery *qryServico = nullptr;
    TADOIBQuery *qryProduto = nullptr;
    TADOIBQuery *qryGrupServ = nullptr;
    TADOIBQuery *qryVdProduto = nullptr;
    TADOIBQuery *qryTAgreg = nullptr;
    TNetConnection *netCustProd = nullptr;

    // Validation (a failure shows its message, focuses the control and raises).
    void Vd_CdFilial(bool required);
    void Vd_Data(bool required);
    QString Vd_CdProduto(TMaskEdit *edit, bool required);
    void Vd_TipoCusto();
    void Vd_ListaGrup(bool required);
    void Vd_ListaServ(bool required);
    void Valida(bool required);
    // Rebuilds the effective service list ListaServ.
    void Servico();

    // The product range sent to the report for the two code texts.
    struct ProductRange { QString initial, final; };
    static ProductRange productRange(const QString &initialCode, const QString &finalCode);

    bool firstActivationPending() const { return boPrimeiraVez; }

public slots:
    void FormCreate(QObject *Sender);
    void FormActivate(QObject *Sender);
    void FormClose(QObject *Sender, int *Action);
    void sbtPrintClick(QObject *Sender);
    void sbtPreviewClick(QObject *Sender);
    void sbtSalvarComoClick(QObject *Sender);
    void mnuExportarCsvClick(QObject *Sender);
    void mnuExportarXlsxClick(QObject *Sender);
    void mnuEditRelClick(QObject *Sender);
    void mnuRelatPadrClick(QObject *Sender);

    void medCdFilialChange(QObject *Sender);
    void medCdFilialExit(QObject *Sender);
    void btpFilialBeforePesq(QObject *Sender, bool *Continue);
    void btpFilialAfterPesq(QObject *Sender);
    void depDataInicDateChange(QObject *Sender);
    void depDataInicExit(QObject *Sender);
    void depDataFinaDateChange(QObject *Sender);
    void depDataFinaExit(QObject *Sender);
    void rbtListaGrupClick(QObject *Sender);
    void rbtListaGrupKeyDown(QObject *Sender, int *Key, int Shift);
    void sbtGrupServClick(QObject *Sender);
    void rbtListaServClick(QObject *Sender);
    void rbtListaServKeyDown(QObject *Sender, int *Key, int Shift);
    void sbtServicoClick(QObject *Sender);
    void medCdProdInicChange(QObject *Sender);
    void medCdProdInicExit(QObject *Sender);
    void medCdProdFinaChange(QObject *Sender);
    void medCdProdFinaExit(QObject *Sender);
    void btnProdInicClick(QObject *Sender);
    void btnProdFinaClick(QObject *Sender);
    void rpddPadraoBeforeGetQueryParams(TParams *Params, bool *Flag);
    void netCustProdBeforeConnect(QObject *Sender);

protected:
    void definitionsRead() override;

private:
    // Central check of start-up: false when the host refused the central
    // (the message is shown and the screen closed).
    bool centralAccepted(const QString &central);
    void productSearch(TMaskEdit *code, TEdit *name);
    void setServiceParams();
    QString msg(const char *key) const;

    bool boPrimeiraVez = false;
};
