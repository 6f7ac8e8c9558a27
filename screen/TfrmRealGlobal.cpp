#include "TfrmRealGlobal.h"
#include "ModuleState.h"

#include "data/TADOIBQuery.h"
#include "data/TADOIBStringField.h"
#include "data/TDataSource.h"
#include "services/CodePictures.h"
#include "services/CostTypes.h"
#include "services/LocalCache.h"
#include "services/MensErro.h"
#include "services/SearchLists.h"
#include "services/ShellFunctions.h"
#include "services/StringFunctions.h"
#include "services/TBtnPesquisa.h"
#include "services/TDateEditPlus.h"
#include "services/TNetConnection.h"
#include "toolkit/Keys.h"
#include "toolkit/TCheckBox.h"
#include "toolkit/TComboBox.h"
#include "toolkit/TEdit.h"
#include "toolkit/TMaskEdit.h"
#include "toolkit/TMessages.h"
#include "toolkit/TRadioButton.h"
#include "toolkit/TRadioGroup.h"
#include "toolkit/TSpeedButton.h"
#include "toolkit/TSpinEdit.h"

#include <QLocale>

namespace {
// A routine's failure moves the focus to its control and travels on.
template <class F> auto focusOnFailure(QWidget *control, F body) -> decltype(body())
{
    try {
        return body();
    } catch (...) {
        Keys::focusQuietly(control);
        throw;
    }
}

// Byte-wise order of two code texts (code page 1252); a prefix sorts first.
int compareCodes(const QString &a, const QString &b)
{
    const QByteArray x = a.toLatin1();
    const QByteArray y = b.toLatin1();
    const int n = int(qMin(x.size(), y.size()));
    for (int i = 0; i < n; ++i)
        if (uchar(x[i]) != uchar(y[i]))
            return uchar(x[i]) < uchar(y[i]) ? -1 : 1;
    return x.size() == y.size() ? 0 : (x.size() < y.size() ? -1 : 1);
}

// The date as the report receives it as text: the locale's short date, and
// the time of day only when there is one.
QString dateText(const QDateTime &dt)
{
    const QLocale locale;
    QString text = locale.toString(dt.date(), QLocale::ShortFormat);
    if (dt.time() != QTime(0, 0))
        text += QLatin1Char(' ') + locale.toString(dt.time(), QLocale::LongFormat);
    return text;
}
}

TfrmRealGlobal::TfrmRealGlobal(QWidget *parent) : TfrmDadosGerRel(parent)
{
    Q_INIT_RESOURCE(screen_forms);
}

void TfrmRealGlobal::definitionsRead()
{
    auto take = [this](auto *&field, const char *name) {
        field = component<std::remove_pointer_t<std::remove_reference_t<decltype(field)>>>(QLatin1String(name));
        Q_ASSERT_X(field, "TfrmRealGlobal", name);
    };
    take(medCentral, "medCentral");
    take(edtNmCentral, "edtNmCentral");
    take(medCdFilial, "medCdFilial");
    take(edtNmFilial, "edtNmFilial");
    take(btpFilial, "btpFilial");
    take(cbbTipoCusto, "cbbTipoCusto");
    take(depDataInic, "depDataInic");
    take(depDataFina, "depDataFina");
    take(edtDataInic, "edtDataInic");
    take(edtDataFina, "edtDataFina");
    take(rbtTodosGrup, "rbtTodosGrup");
    take(rbtListaGrup, "rbtListaGrup");
    take(sbtGrupServ, "sbtGrupServ");
    take(rbtTodosServ, "rbtTodosServ");
    take(rbtListaServ, "rbtListaServ");
    take(sbtServico, "sbtServico");
    take(medCdProdInic, "medCdProdInic");
    take(medCdProdFina, "medCdProdFina");
    take(edtNmProdInic, "edtNmProdInic");
    take(edtNmProdFina, "edtNmProdFina");
    take(rdgOrdena, "rdgOrdena");
    take(sedNiveOrde, "sedNiveOrde");
    take(chbEstocaveis, "chbEstocaveis");
    take(chbNaoEstoc, "chbNaoEstoc");
    take(dtsFilial__, "dtsFilial__");
    take(dtsServico__, "dtsServico__");
    take(dtsGrupServ__, "dtsGrupServ__");
    take(dtsProduto__, "dtsProduto__");
    take(qryFilial, "qryFilial");
    take(qryServico, "qryServico");
    take(qryProduto, "qryProduto");
    take(qryGrupServ, "qryGrupServ");
    take(qryVdProduto, "qryVdProduto");
    take(qryTAgreg, "qryTAgreg");
    take(netCustProd, "netCustProd");
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
    ListaServ.clear();
    ListaServPesq.clear();
    ListaGrup.clear();
    sbtServico->setEnabled(rbtListaServ->isChecked());

    medCdProdInic->setEditMask(DBPict(0));
    medCdProdFina->setEditMask(medCdProdInic->EditMaskText());
    qryProduto->FieldByName(QStringLiteral("CDARVPROD"))->setEditMask(medCdProdInic->EditMaskText());

    depDataInic->SetDate(DataProc(medCdFilial->Text()));
    depDataInicDateChange(depDataInic);
    depDataFina->SetDate(depDataInic->GetDate());
    depDataFinaDateChange(depDataFina);

    netCustProd->setConnected(true);
    cbbTipoCusto->setItems(ListaTipoCusto(netCustProd, nullptr));
    netCustProd->setConnected(false);
    cbbTipoCusto->setItemIndex(0);

    const int levels = DBPictObj(0)->TtNiveis();
    sedNiveOrde->setMaxValue(levels < 2 ? levels : levels - 2);
    boPrimeiraVez = false;
}

void TfrmRealGlobal::FormClose(QObject *Sender, int *Action)
{
    boIdCriado = false;
    frmRealGlobal = nullptr;
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

void TfrmRealGlobal::Vd_CdFilial(bool required)
{
    focusOnFailure(medCdFilial, [&] {
        medCdFilial->setText_(Ajusta(medCdFilial->Text(), 4));
        if (EmptyString(medCdFilial->Text())) {
            if (required) {
                Keys::focusQuietly(medCdFilial);
                MensErro(msg("FILI_EMPTY"), true);
            }
            return;
        }
        qryTAgreg->Close();
        qryTAgreg->ParamByName(QStringLiteral("P_CDFILCENTXEV")).SetAsString(medCentral->Text());
        qryTAgreg->ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(medCdFilial->Text());
        qryTAgreg->Open();
        if (qryTAgreg->IsEmpty()) {
            edtNmFilial->setText_(QString());
            MensErro(msg("FILI_INV"), true);
        }
        edtNmFilial->setText_(qryTAgreg->FieldByName(QStringLiteral("NMFILIAL"))->AsString());
    });
}

void TfrmRealGlobal::medCdFilialChange(QObject *)
{
    edtNmFilial->setText_(QString());
    ListaServ.clear();
    ListaServPesq.clear();
}

void TfrmRealGlobal::medCdFilialExit(QObject *) { Vd_CdFilial(false); }

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
        qryServico->ParamByName(QStringLiteral("P_CDGRUPSERV")).SetAsString(ListaGrup);
        qryServico->ParamByName(QStringLiteral("P_TCDGRUPSERV")).SetAsString(QString());
    }
}

void TfrmRealGlobal::Servico()
{
    ListaServ = ListaServPesq;
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
    ListaServ = codes.join(QLatin1Char('_'));
}

void TfrmRealGlobal::sbtServicoClick(QObject *)
{
    Vd_CdFilial(true);
    qryServico->Close();
    setServiceParams();
    qryServico->Open();
    const QString caption = msg("SERV") + QLatin1Char('|') + msg("Grup_inf");
    PesquisaLista(dtsServico__, QStringLiteral("CDSERVFILI"), caption, false, ListaServPesq);
}

void TfrmRealGlobal::sbtGrupServClick(QObject *)
{
    qryGrupServ->Close();
    qryGrupServ->Open();
    const QString caption = msg("GRUPSERV") + QLatin1Char('|') + msg("Grup_cad");
    if (PesquisaLista(dtsGrupServ__, QStringLiteral("CDGRUPSERV"), caption, false, ListaGrup)) {
        ListaServ.clear();
        ListaServPesq.clear();
        rbtTodosServ->setChecked_(true);
    }
}

void TfrmRealGlobal::rbtListaGrupClick(QObject *)
{
    sbtGrupServ->setEnabled(rbtListaGrup->isChecked());
    if (rbtTodosGrup->isChecked()) {
        ListaGrup.clear();
        ListaServ.clear();
        ListaServPesq.clear();
        rbtTodosServ->setChecked_(true);
    }
}

void TfrmRealGlobal::rbtListaServClick(QObject *) { sbtServico->setEnabled(rbtListaServ->isChecked()); }

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

// --- products, dates, validation ------------------------------------------

QString TfrmRealGlobal::Vd_CdProduto(TMaskEdit *edit, bool required)
{
    return focusOnFailure(edit, [&]() -> QString {
        const QString text = edit->Text();
        const bool empty = EmptyString(text);
        if (required && empty)
            MensErro(msg(edit == medCdProdInic ? "ProdInic_ni" : "ProdFina_ni"), true);
        if (empty)
            return QString();
        ValidEx(nullptr, 0, text, {}, QString(), true);
        qryVdProduto->Close();
        qryVdProduto->ParamByName(QStringLiteral("P_CDARVPROD")).SetAsString(edit->Text());
        qryVdProduto->Open();
        return qryVdProduto->FieldByName(QStringLiteral("NMPRODUTO"))->AsString();
    });
}

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

void TfrmRealGlobal::Vd_Data(bool required)
{
    depDataInic->CheckValidDate();
    depDataFina->CheckValidDate();
    if (required) {
        if (depDataInic->Text().isEmpty()) {
            Keys::focusQuietly(depDataInic);
            MensErro(msg("DataInic_ni"), true);
        }
        if (depDataFina->Text().isEmpty()) {
            Keys::focusQuietly(depDataFina);
            MensErro(msg("DataFina_ni"), true);
        }
    }
    if (depDataFina->GetDate() < depDataInic->GetDate()) {
        Keys::focusQuietly(depDataInic);
        MensErro(msg("DATA"), true);
    }
}

void TfrmRealGlobal::Vd_TipoCusto()
{
    focusOnFailure(cbbTipoCusto, [&] {
        if (cbbTipoCusto->Text().isEmpty())
            MensErro(msg("TIPOCUS_NCAD"), true);
    });
}

void TfrmRealGlobal::Vd_ListaGrup(bool required)
{
    if (rbtListaGrup->isChecked() && required && EmptyString(ListaGrup)) {
        Keys::focusQuietly(rbtListaGrup);
        MensErro(msg("GRUP_EMPTY"), true);
    }
}

void TfrmRealGlobal::Vd_ListaServ(bool required)
{
    if (rbtListaServ->isChecked() && required && EmptyString(ListaServ)) {
        Keys::focusQuietly(rbtListaServ);
        MensErro(msg("SERV_EMPTY"), true);
    }
}

void TfrmRealGlobal::Valida(bool required)
{
    for (TDateEditPlus *date : findChildren<TDateEditPlus *>())
        if (date->metaObject() == &TDateEditPlus::staticMetaObject)
            date->CheckValidDate();
    Vd_CdProduto(medCdProdInic, false);
    Vd_CdProduto(medCdProdFina, false);
    // The branch is checked (and its code padded) before the service list is
    // built, so the list is the padded branch's; the check reports first
    // either way, since building the list reports nothing.
    Vd_CdFilial(required);
    Servico();
    Vd_Data(required);
    Vd_TipoCusto();
    Vd_ListaGrup(required);
    Vd_ListaServ(required);
    if (medCdProdInic->Text().isEmpty())
        Vd_CdProduto(medCdProdInic, true);
    else if (medCdProdFina->Text().isEmpty())
        Vd_CdProduto(medCdProdFina, true);
    if (medCdProdFina->Focused()) {
        edtNmProdFina->setText_(Vd_CdProduto(medCdProdFina, required));
        edtNmProdInic->setText_(Vd_CdProduto(medCdProdInic, required));
    } else {
        edtNmProdInic->setText_(Vd_CdProduto(medCdProdInic, required));
        edtNmProdFina->setText_(Vd_CdProduto(medCdProdFina, required));
    }
    const QString ini = medCdProdInic->Text();
    const QString fin = medCdProdFina->Text();
    if (!ini.isEmpty() && !fin.isEmpty() && compareCodes(ini, fin) > 0) {
        Keys::focusQuietly(medCdProdInic);
        MensErro(msg("Prod_maior"), true);
    }
    if (!chbEstocaveis->isChecked() && !chbNaoEstoc->isChecked()) {
        Keys::focusQuietly(chbEstocaveis);
        MensErro(msg("Tiprod_inf"), true);
    }
    Repaint();
}

// --- report commands --------------------------------------------------------

void TfrmRealGlobal::sbtPrintClick(QObject *Sender)
{
    Valida(true);
    TfrmDadosGerRel::sbtPrintClick(Sender);
}

void TfrmRealGlobal::sbtPreviewClick(QObject *Sender)
{
    Valida(true);
    TfrmDadosGerRel::sbtPreviewClick(Sender);
}

void TfrmRealGlobal::sbtSalvarComoClick(QObject *Sender)
{
    Valida(true);
    TfrmDadosGerRel::sbtSalvarComoClick(Sender);
}

void TfrmRealGlobal::mnuExportarCsvClick(QObject *Sender)
{
    Valida(true);
    TfrmDadosGerRel::mnuExportarCsvClick(Sender);
}

void TfrmRealGlobal::mnuExportarXlsxClick(QObject *Sender)
{
    Valida(true);
    TfrmDadosGerRel::mnuExportarXlsxClick(Sender);
}

void TfrmRealGlobal::mnuEditRelClick(QObject *Sender)
{
    Valida(true);
    TfrmDadosGerRel::mnuEditRelClick(Sender);
}

void TfrmRealGlobal::mnuRelatPadrClick(QObject *Sender)
{
    Valida(true);
    TfrmDadosGerRel::mnuRelatPadrClick(Sender);
}

// --- report parameters ------------------------------------------------------

TfrmRealGlobal::ProductRange TfrmRealGlobal::productRange(const QString &I, const QString &F)
{
    const auto picture = DBPictObj(0);
    const int full = picture->TamAcNivel(QString::number(picture->TtNiveis()));
    ProductRange r;
    if (compareCodes(I, F) <= 0) {
        r.initial = AllTrim(I);
        r.final = AllTrim(F) + Replicate(QStringLiteral("z"), full - picture->TamAcNivel(picture->Nivel(F)));
    } else {
        // The codes come in the wrong order only when no validation ran. The
        // greater code (I) becomes the upper bound and its run of "z" is the
        // one that covers its whole subtree, as in the ordered case.
        r.initial = AllTrim(F);
        r.final = AllTrim(I) + Replicate(QStringLiteral("z"), full - picture->TamAcNivel(picture->Nivel(I)));
    }
    return r;
}

void TfrmRealGlobal::rpddPadraoBeforeGetQueryParams(TParams *Params, bool *)
{
    const ProductRange range = productRange(medCdProdInic->Text(), medCdProdFina->Text());
    auto has = [Params](const char *name) { return ExistParam(*Params, QLatin1String(name)); };
    auto param = [Params](const char *name) -> TParam & { return Params->ParamByName(QLatin1String(name)); };

    if (has("P_CDFILCENTXEV"))
        param("P_CDFILCENTXEV").SetAsString(medCentral->Text());
    if (has("P_CDFILIAL"))
        param("P_CDFILIAL").SetAsString(medCdFilial->Text());
    if (has("P_NMCUSTO"))
        param("P_NMCUSTO").SetAsString(cbbTipoCusto->Items().value(cbbTipoCusto->ItemIndex()));
    if (has("P_NRTIPOCUSTO"))
        param("P_NRTIPOCUSTO").SetAsInteger(NumeroTipoCusto(cbbTipoCusto->ItemIndex()));
    if (has("P_CDSERVFILI"))
        param("P_CDSERVFILI").SetAsString(ListaServ);
    if (has("P_CDPRODUTOINI"))
        param("P_CDPRODUTOINI").SetAsString(range.initial);
    if (has("P_CDPRODUTOFIN"))
        param("P_CDPRODUTOFIN").SetAsString(range.final);
    if (has("P_DTINICIAL"))
        param("P_DTINICIAL").SetAsDateTime(depDataInic->GetDate().startOfDay());
    if (has("P_DTFINAL"))
        param("P_DTFINAL").SetAsDateTime(depDataFina->GetDate().startOfDay());
    if (has("P_DTPERIINIC"))
        param("P_DTPERIINIC").SetAsVariant(dateText(depDataInic->GetDate().startOfDay()));
    if (has("P_DTPERIFINA"))
        param("P_DTPERIFINA").SetAsVariant(dateText(depDataFina->GetDate().startOfDay()));
    if (has("P_DTMESINIC"))
        param("P_DTMESINIC").SetAsDateTime(depDataInic->GetPrimDia().startOfDay());
    if (has("P_DTMESFINA"))
        param("P_DTMESFINA").SetAsDateTime(depDataFina->GetUltDia().startOfDay());
    if (has("P_IDESTOCAVEIS"))
        param("P_IDESTOCAVEIS").SetAsString(chbEstocaveis->isChecked() ? QStringLiteral("S") : QStringLiteral("N"));
    if (has("P_IDNESTOCAVEIS"))
        param("P_IDNESTOCAVEIS").SetAsString(chbNaoEstoc->isChecked() ? QStringLiteral("S") : QStringLiteral("N"));
    if (has("P_NRTAMACNIVEL")) {
        const auto picture = DBPictObj(0);
        param("P_NRTAMACNIVEL").SetAsVariant(picture->TamAcNivel(QString::number(sedNiveOrde->Value())));
    }
    if (has("P_NRTAMCODIGO")) {
        const auto picture = DBPictObj(0);
        const int full = picture->TamAcNivel(QString::number(picture->TtNiveis()));
        param("P_NRTAMCODIGO").SetAsVariant(rdgOrdena->ItemIndex() == 0 ? full : 0);
    }
}
