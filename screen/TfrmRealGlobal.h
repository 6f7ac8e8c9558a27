// The report-parameter screen "Custo Realizado Global do Período
// (Planejamento de Alimentação Escolar)": the user picks a central's
// aggregated branch, a cost type, a period, a product range, service groups
// and services, a grouping level, an ordering and product kinds; the screen
// checks them and fills the report's parameters. Its controls are its own:
// others read and set the choices through choices() and apply().
#pragma once

#include "ReportSelection.h"
#include "ScreenChoices.h"
#include "report/commands/TfrmDadosGerRel.h"

class ListCountLabel;
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

// The components of the definition that the screen reaches, by class and
// name: private fields of the screen, bound when its definitions are read
// (a missing one, or one of another class, stops the screen from loading).
#define REALGLOBAL_COMPONENTS(X) \
    X(TMaskEdit, medCentral) X(TEdit, edtNmCentral) X(TMaskEdit, medCdFilial) \
    X(TEdit, edtNmFilial) X(TBtnPesquisa, btpFilial) X(TComboBox, cbbTipoCusto) \
    X(TDateEditPlus, depDataInic) X(TDateEditPlus, depDataFina) X(TEdit, edtDataInic) \
    X(TEdit, edtDataFina) X(TRadioButton, rbtTodosGrup) X(TRadioButton, rbtListaGrup) \
    X(TSpeedButton, sbtGrupServ) X(TRadioButton, rbtTodosServ) X(TRadioButton, rbtListaServ) \
    X(TSpeedButton, sbtServico) X(TMaskEdit, medCdProdInic) X(TMaskEdit, medCdProdFina) \
    X(TEdit, edtNmProdInic) X(TEdit, edtNmProdFina) X(TRadioGroup, rdgOrdena) \
    X(TSpinEdit, sedNiveOrde) X(TCheckBox, chbEstocaveis) X(TCheckBox, chbNaoEstoc) \
    X(TDataSource, dtsFilial__) X(TDataSource, dtsServico__) X(TDataSource, dtsGrupServ__) \
    X(TDataSource, dtsProduto__) X(TADOIBQuery, qryFilial) X(TADOIBQuery, qryServico) \
    X(TADOIBQuery, qryProduto) X(TADOIBQuery, qryGrupServ) X(TADOIBQuery, qryVdProduto) \
    X(TADOIBQuery, qryTAgreg) X(TNetConnection, netCustProd) X(TBtnPesquisa, btnProdInic) \
    X(TBtnPesquisa, btnProdFina)

class TfrmRealGlobal : public TfrmDadosGerRel {
    Q_OBJECT

public:
    explicit TfrmRealGlobal(QWidget *parent = nullptr);

    // The report check: every rule in order; a failure shows its message,
    // focuses its control and raises (MensErro's silent abort).
    void Valida(bool required);
    // Rebuilds the effective service list ListaServ.
    void Servico();

    // The product range sent to the report for the two code texts, by the
    // product code picture.
    static ProductRange productRange(const QString &initialCode, const QString &finalCode);

    bool firstActivationPending() const { return boPrimeiraVez; }
    // What the controls hold now, as the report's parameters are filled from it.
    ReportSelection selection() const;
    // The user's choices as the controls and lists hold them.
    ScreenChoices choices() const;
    // Puts choices back as if the user typed them: each change raises the
    // control's own events (a change of branch empties the service lists;
    // choosing groups sends the services back to "Todos"), then the branch
    // and product fields are checked as on leaving them; the first check
    // that fails shows its message, keeps the focus on its field and raises.
    // A branch fixed by the working branch stays.
    void apply(const ScreenChoices &choices);
    // The choices as parameter values (RecalledParameters' keys) and back,
    // through apply(): what the history of runs keeps and runs again.
    QVariantMap storedChoices() const override;
    void applyStoredChoices(const QVariantMap &values) override;
    // The cost types, read again from the costs server.
    void refreshRemoteData() override;
    // Esc over typing: the names looked up and the service lists as they
    // were when the field got the focus (a new branch empties the services).
    QVariant typingState(const QWidget *field) const override;
    void restoreTypingState(const QWidget *field, const QVariant &state) override;
    // Named parameter sets of this screen, shared within its central.
    ParameterSets::Place parameterPlace() const override;

public slots:
    void FormCreate(QObject *Sender);
    void FormActivate(QObject *Sender);
    void FormClose(QObject *Sender, int *Action);

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
    // Every report command checks the whole screen first (Valida) and names
    // the files it may offer to save.
    void beforeCommand(ReportCommand::Id id) override;
    // "Repetir últimos parâmetros": the choices of the last report run put
    // back with apply(); nothing when none was kept.
    bool remembersParameters() const override { return true; }
    void repeatLastParameters() override;
    // Named parameter sets (TfrmRealGlobalSets.cpp).
    ParameterSet currentParameters() const override;
    void applyParameterSet(const ParameterSet &set) override;

private:
    // What typing in a field may change beside its text.
    struct TypingState {
        QString branchName, productInitialName, productFinalName;
        CodeList services, servicesSearched;
        bool servicesDropped = false;
    };

    // Components of the definition, by their names.
#define REALGLOBAL_FIELD(Class, name) Class *name = nullptr;
    REALGLOBAL_COMPONENTS(REALGLOBAL_FIELD)
#undef REALGLOBAL_FIELD

    // Checks (a failure shows its message, focuses the control and raises).
    void Vd_CdFilial(bool required);
    void Vd_Data(bool required);
    QString Vd_CdProduto(TMaskEdit *edit, bool required);
    void Vd_TipoCusto();
    void Vd_ListaGrup(bool required);
    void Vd_ListaServ(bool required);

    // Central check of start-up: false when the host refused the central
    // (the message is shown and the screen closed).
    bool centralAccepted(const QString &central);
    void productSearch(TMaskEdit *code, TEdit *name);
    // The name the save dialogs offer: custo-realizado-BRANCH-YYYY-MM.
    void nameFiles();
    // Fills the cost-type list from the costs server (empty when it does not answer).
    void readCostTypes();
    void setServiceParams();
    QString msg(const char *key) const;
    void applyDates(const ScreenChoices &choices);
    void applyGroupsAndServices(const ScreenChoices &choices);
    void applyTheRest(const ScreenChoices &choices);

    // The day a set's period rule counts from: the branch's processing date.
    QDate periodToday(const QString &branch) const;
    // Whether the screen's central offers the aggregated branch.
    bool branchOffered(const QString &branch);
    // Leaves out the listed services the branch and groups no longer offer.
    void applyOfferedServices(QStringList &missing);

    // The ticked counts beside the two "Lista" choices follow the lists.
    void showListCounts();

    bool boPrimeiraVez = false;
    // The chosen services were dropped by a change of branch, not yet told.
    bool m_servicesDropped = false;
    ListCountLabel *m_groupCount = nullptr;
    ListCountLabel *m_serviceCount = nullptr;
};
