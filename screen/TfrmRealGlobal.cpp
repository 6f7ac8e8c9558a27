#include "TfrmRealGlobal.h"
#include "ListCountLabel.h"
#include "ModuleState.h"

#include "core/HostUi.h"
#include "core/MensErro.h"
#include "core/StringFunctions.h"
#include "core/TMessages.h"
#include "data/TADOIBQuery.h"
#include "data/TADOIBStringField.h"
#include "data/TDataSource.h"
#include "lookup/SearchLists.h"
#include "lookup/TBtnPesquisa.h"
#include "remote/CostTypes.h"
#include "report/commands/TReportDesignerDialog.h"
#include "remote/TNetConnection.h"
#include "session/CodePictures.h"
#include "session/LocalCache.h"
#include "session/ShellFunctions.h"
#include "widgets/KeyboardHelpers.h"
#include "widgets/Keys.h"
#include "widgets/TCheckBox.h"
#include "widgets/TComboBox.h"
#include "widgets/TDateEditPlus.h"
#include "widgets/TEdit.h"
#include "widgets/TMaskEdit.h"
#include "widgets/TRadioButton.h"
#include "widgets/TRadioGroup.h"
#include "widgets/TSpeedButton.h"
#include "widgets/TSpinEdit.h"

TfrmRealGlobal::TfrmRealGlobal(QWidget *parent) : TfrmDadosGerRel(parent)
{
    Q_INIT_RESOURCE(screen_forms);
}

void TfrmRealGlobal::definitionsRead()
{
    TfrmDadosGerRel::definitionsRead();
#define REALGLOBAL_TAKE(Class, name) name = part<Class>(#name, staticMetaObject);
    REALGLOBAL_COMPONENTS(REALGLOBAL_TAKE)
#undef REALGLOBAL_TAKE
    // The code fields open their look-ups from the keyboard too.
    KeyboardHelpers::bindLookupKeys(medCdFilial, btpFilial);
    KeyboardHelpers::bindLookupKeys(medCdProdInic, btnProdInic);
    KeyboardHelpers::bindLookupKeys(medCdProdFina, btnProdFina);
    m_groupCount = new ListCountLabel(sbtGrupServ);
    m_serviceCount = new ListCountLabel(sbtServico);
}

void TfrmRealGlobal::showListCounts()
{
    const ModuleState &state = moduleState();
    m_groupCount->showList(rbtListaGrup->isChecked() ? state.ListaGrup.codes() : QStringList());
    m_serviceCount->showList(rbtListaServ->isChecked() ? state.ListaServPesq.codes() : QStringList());
}

QString TfrmRealGlobal::msg(const char *key) const { return msgPadrao()->Msg(QLatin1String(key)); }

// --- start-up -------------------------------------------------------------

bool TfrmRealGlobal::centralAccepted(const QString &central)
{
    // The host is asked afresh for each test; its answer does not change.
    if (ModuFili(central, true) == QLatin1String("F"))
        return true;
    if (ModuFili(central, true) == QLatin1String("M"))
        return true;
    MensErro(ModuFili(central, true).mid(5), false);
    Close();
    return false;
}

void TfrmRealGlobal::FormCreate(QObject *Sender)
{
    TfrmDadosGerRel::FormCreate(Sender);
    boPrimeiraVez = true;
    AtualizaLocalCache(QVariantList{QStringLiteral("FILIAL")});
    qryFilial->Close();
    qryFilial->ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(FiliProc());
    qryFilial->Open();
    const auto field = [this](const char *name) { return qryFilial->FieldByName(QLatin1String(name))->AsString(); };
    if (field("IDFILCENTXEV") == QLatin1String("S")) {
        if (!centralAccepted(field("CDFILIAL")))
            return;
        medCentral->setText_(field("CDFILIAL"));
        edtNmCentral->setText_(field("NMFILIAL"));
        return;
    }
    if (EmptyString(field("CDFILCENTXEV"))) {
        MensErro(msg("N_Filial_Centr"), false);
        Close();
        return;
    }
    if (!centralAccepted(field("CDFILCENTXEV")))
        return;
    medCentral->setText_(field("CDFILCENTXEV"));
    edtNmCentral->setText_(field("NMFILCENTXEV"));
    // The name goes in after the code: a change of the code empties the name.
    medCdFilial->setText_(FiliProc());
    edtNmFilial->setText_(NomeFiliProc());
}

void TfrmRealGlobal::FormActivate(QObject *Sender)
{
    TfrmDadosGerRel::FormActivate(Sender);
    Repaint();
    if (!boPrimeiraVez)
        return;
    ModuleState &state = moduleState();
    state.ListaServ.clear();
    state.ListaServPesq.clear();
    state.ListaGrup.clear();
    showListCounts();
    sbtServico->setEnabled(rbtListaServ->isChecked());

    medCdProdInic->setEditMask(DBPict(0));
    medCdProdFina->setEditMask(medCdProdInic->EditMaskText());
    qryProduto->FieldByName(QStringLiteral("CDARVPROD"))->setEditMask(medCdProdInic->EditMaskText());

    depDataInic->SetDate(DataProc(medCdFilial->Text()));
    depDataInic->setPeriodReference(depDataInic->GetDate()); // the ready-made periods count from it too
    depDataInicDateChange(depDataInic);
    depDataFina->SetDate(depDataInic->GetDate());
    depDataFinaDateChange(depDataFina);

    readCostTypes();
    cbbTipoCusto->setItemIndex(0);

    const int levels = DBPictObj(0)->TtNiveis();
    sedNiveOrde->setMaxValue(levels < 2 ? levels : levels - 2);
    boPrimeiraVez = false;
}

void TfrmRealGlobal::readCostTypes()
{
    netCustProd->setConnected(true);
    cbbTipoCusto->setItems(ListaTipoCusto(netCustProd, nullptr));
    netCustProd->setConnected(false);
}

void TfrmRealGlobal::refreshRemoteData()
{
    const QString chosen = cbbTipoCusto->Text();
    readCostTypes();
    const int kept = cbbTipoCusto->Items().indexOf(chosen);
    cbbTipoCusto->setItemIndex(kept >= 0 ? kept : 0);
}

void TfrmRealGlobal::FormClose(QObject *Sender, int *Action)
{
    moduleState().boIdCriado = false;
    moduleState().frmRealGlobal = nullptr;
    TfrmDadosGerRel::FormClose(Sender, Action);
}

void TfrmRealGlobal::depDataInicDateChange(QObject *)
{
    edtDataInic->setText_(NomeSemana(depDataInic->GetDate()).left(3));
}

void TfrmRealGlobal::depDataFinaDateChange(QObject *)
{
    edtDataFina->setText_(NomeSemana(depDataFina->GetDate()).left(3));
}

void TfrmRealGlobal::netCustProdBeforeConnect(QObject *)
{
    netCustProd->setHost(WebURL());
    netCustProd->setPort(WebPort());
}

// --- aggregated branch -----------------------------------------------------

void TfrmRealGlobal::medCdFilialChange(QObject *)
{
    // Services belong to a branch: the chosen ones cannot follow it. The
    // person is told once the new branch is entered (on leaving the field).
    if (!moduleState().ListaServPesq.isEmpty())
        m_servicesDropped = true;
    edtNmFilial->setText_(QString());
    moduleState().ListaServ.clear();
    moduleState().ListaServPesq.clear();
    showListCounts();
}

void TfrmRealGlobal::medCdFilialExit(QObject *)
{
    Vd_CdFilial(false);
    if (!m_servicesDropped)
        return;
    m_servicesDropped = false;
    HostUi::instance().showInfo(QStringLiteral("A lista de serviços escolhidos foi esvaziada porque a filial mudou: "
                                               "cada filial tem os seus próprios serviços. Escolha os serviços da "
                                               "filial %1 em \"Lista\", ou deixe \"Todos\".")
                                    .arg(medCdFilial->Text()));
}

void TfrmRealGlobal::btpFilialBeforePesq(QObject *, bool *)
{
    qryTAgreg->Close();
    qryTAgreg->ParamByName(QStringLiteral("P_CDFILCENTXEV")).SetAsString(medCentral->Text());
    qryTAgreg->ParamByName(QStringLiteral("P_CDFILIAL")).Clear();
    qryTAgreg->Open();
}

void TfrmRealGlobal::btpFilialAfterPesq(QObject *)
{
    const QString code = qryTAgreg->FieldByName(QStringLiteral("CDFILIAL"))->AsString();
    const QString name = qryTAgreg->FieldByName(QStringLiteral("NMFILIAL"))->AsString();
    medCdFilial->setText_(code);
    edtNmFilial->setText_(name);
}

// --- services and service groups ------------------------------------------

void TfrmRealGlobal::setServiceParams()
{
    qryServico->ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(medCdFilial->Text());
    if (rbtTodosGrup->isChecked()) {
        qryServico->ParamByName(QStringLiteral("P_CDGRUPSERV")).SetAsString(QString());
        qryServico->ParamByName(QStringLiteral("P_TCDGRUPSERV")).SetAsString(QStringLiteral("T"));
    } else {
        qryServico->ParamByName(QStringLiteral("P_CDGRUPSERV")).SetAsString(moduleState().ListaGrup.text());
        qryServico->ParamByName(QStringLiteral("P_TCDGRUPSERV")).SetAsString(QString());
    }
}

void TfrmRealGlobal::Servico()
{
    ModuleState &state = moduleState();
    state.ListaServ = state.ListaServPesq;
    if (!rbtTodosServ->isChecked())
        return;
    qryServico->Close();
    setServiceParams();
    qryServico->Open();
    qryServico->First();
    // Built in one pass: the list may hold a hundred thousand services.
    QStringList codes;
    while (!qryServico->GetEOF()) {
        codes << qryServico->FieldByName(QStringLiteral("CDSERVFILI"))->AsString();
        qryServico->Next();
    }
    state.ListaServ = CodeList::built(codes);
}

void TfrmRealGlobal::sbtServicoClick(QObject *)
{
    Vd_CdFilial(true);
    qryServico->Close();
    setServiceParams();
    qryServico->Open();
    const QString caption = msg("SERV") + QLatin1Char('|') + msg("Grup_inf");
    QStringList codes = moduleState().ListaServPesq.codes();
    if (PesquisaLista(dtsServico__, QStringLiteral("CDSERVFILI"), caption, false, codes))
        moduleState().ListaServPesq = CodeList::fromSearch(codes);
    showListCounts();
}

void TfrmRealGlobal::sbtGrupServClick(QObject *)
{
    qryGrupServ->Close();
    qryGrupServ->Open();
    const QString caption = msg("GRUPSERV") + QLatin1Char('|') + msg("Grup_cad");
    QStringList codes = moduleState().ListaGrup.codes();
    if (PesquisaLista(dtsGrupServ__, QStringLiteral("CDGRUPSERV"), caption, false, codes)) {
        ModuleState &state = moduleState();
        state.ListaGrup = CodeList::fromSearch(codes);
        state.ListaServ.clear();
        state.ListaServPesq.clear();
        rbtTodosServ->setChecked_(true);
    }
    showListCounts();
}

void TfrmRealGlobal::rbtListaGrupClick(QObject *)
{
    sbtGrupServ->setEnabled(rbtListaGrup->isChecked());
    if (rbtTodosGrup->isChecked()) {
        ModuleState &state = moduleState();
        state.ListaGrup.clear();
        state.ListaServ.clear();
        state.ListaServPesq.clear();
        rbtTodosServ->setChecked_(true);
    }
    showListCounts();
}

void TfrmRealGlobal::rbtListaServClick(QObject *)
{
    sbtServico->setEnabled(rbtListaServ->isChecked());
    showListCounts();
}

void TfrmRealGlobal::rbtListaGrupKeyDown(QObject *, int *Key, int)
{
    if (*Key == Keys::F9)
        sbtGrupServClick(sbtGrupServ);
}

void TfrmRealGlobal::rbtListaServKeyDown(QObject *, int *Key, int)
{
    if (*Key == Keys::F9)
        sbtServicoClick(sbtServico);
}

// --- products and dates -----------------------------------------------------

void TfrmRealGlobal::medCdProdInicChange(QObject *) { edtNmProdInic->setText_(QString()); }
void TfrmRealGlobal::medCdProdFinaChange(QObject *) { edtNmProdFina->setText_(QString()); }

void TfrmRealGlobal::medCdProdInicExit(QObject *)
{
    if (edtNmProdInic->Text().isEmpty())
        edtNmProdInic->setText_(Vd_CdProduto(medCdProdInic, false));
}

void TfrmRealGlobal::medCdProdFinaExit(QObject *)
{
    if (edtNmProdFina->Text().isEmpty())
        edtNmProdFina->setText_(Vd_CdProduto(medCdProdFina, false));
}

void TfrmRealGlobal::productSearch(TMaskEdit *code, TEdit *name)
{
    qryProduto->Close();
    const QString title = msg("Prod") + QLatin1Char('|') + msg("Prod_Empty");
    if (Pesquisar_Plus(dtsProduto__, title, false, true)) {
        code->setText_(qryProduto->FieldByName(QStringLiteral("CDARVPROD"))->AsString());
        name->setText_(qryProduto->FieldByName(QStringLiteral("NMPRODUTO"))->AsString());
    }
}

void TfrmRealGlobal::btnProdInicClick(QObject *) { productSearch(medCdProdInic, edtNmProdInic); }
void TfrmRealGlobal::btnProdFinaClick(QObject *) { productSearch(medCdProdFina, edtNmProdFina); }

void TfrmRealGlobal::depDataInicExit(QObject *) { depDataInic->CheckValidDate(); }
void TfrmRealGlobal::depDataFinaExit(QObject *) { depDataFina->CheckValidDate(); }

// --- report commands --------------------------------------------------------

void TfrmRealGlobal::beforeCommand(ReportCommand::Id)
{
    Valida(true);
    nameFiles();
}

void TfrmRealGlobal::nameFiles()
{
    // Branch and month of the period's start: files of different branches
    // and months saved in one folder neither clash nor need renaming.
    reportRunner()->setFileNameStem(QStringLiteral("custo-realizado-%1-%2")
                                        .arg(medCdFilial->Text().trimmed(),
                                             depDataInic->GetDate().toString(QStringLiteral("yyyy-MM"))));
}
