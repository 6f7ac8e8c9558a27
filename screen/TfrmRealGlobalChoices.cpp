// The screen's choices: read into the report's parameters, kept for
// "Repetir últimos parâmetros" and put back as if typed.
#include "ModuleState.h"
#include "RecalledParameters.h"
#include "TfrmRealGlobal.h"

#include "remote/CostTypes.h"
#include "session/CodePictures.h"
#include "session/ParameterMemory.h"
#include "session/ShellNotices.h"
#include "widgets/TCheckBox.h"
#include "widgets/TComboBox.h"
#include "widgets/TDateEditPlus.h"
#include "widgets/TEdit.h"
#include "widgets/TMaskEdit.h"
#include "widgets/TRadioButton.h"
#include "widgets/TRadioGroup.h"
#include "widgets/TSpinEdit.h"

namespace {
// The key of this screen's entry in the parameter memory.
const QString kMemoryKey = QStringLiteral("XEV01700");
} // namespace

ProductRange TfrmRealGlobal::productRange(const QString &initialCode, const QString &finalCode)
{
    const auto picture = DBPictObj(0);
    return productRangeFor(initialCode, finalCode, picture->fullLength(),
                           [&](const QString &code) { return picture->TamAcNivel(picture->levelOf(code)); });
}

ReportSelection TfrmRealGlobal::selection() const
{
    const auto picture = DBPictObj(0);
    const ProductRange range = productRange(medCdProdInic->Text(), medCdProdFina->Text());
    ReportSelection s;
    s.central = medCentral->Text();
    s.branch = medCdFilial->Text();
    s.costTypeName = cbbTipoCusto->Items().value(cbbTipoCusto->ItemIndex());
    s.costTypeNumber = NumeroTipoCusto(cbbTipoCusto->ItemIndex());
    s.services = moduleState().ListaServ.text();
    s.productInitial = range.initial;
    s.productFinal = range.final;
    s.dateInitial = depDataInic->GetDate();
    s.dateFinal = depDataFina->GetDate();
    s.monthFirst = depDataInic->GetPrimDia();
    s.monthLast = depDataFina->GetUltDia();
    s.stockable = chbEstocaveis->isChecked();
    s.nonStockable = chbNaoEstoc->isChecked();
    s.levelLength = picture->TamAcNivel(sedNiveOrde->Value());
    s.codeLength = rdgOrdena->ItemIndex() == 0 ? picture->fullLength() : 0;
    return s;
}

void TfrmRealGlobal::rpddPadraoBeforeGetQueryParams(TParams *Params, bool *)
{
    fillReportParameters(*Params, selection());
    ParameterMemory::save(kMemoryKey, RecalledParameters::stored(choices()));
}

ScreenChoices TfrmRealGlobal::choices() const
{
    const ModuleState &state = moduleState();
    ScreenChoices c;
    c.branch = medCdFilial->Text();
    c.costType = cbbTipoCusto->Text();
    c.dateInitial = depDataInic->GetDate();
    c.dateFinal = depDataFina->GetDate();
    c.groupsListed = rbtListaGrup->isChecked();
    c.groups = state.ListaGrup;
    c.servicesListed = rbtListaServ->isChecked();
    c.services = state.ListaServPesq;
    c.productInitial = medCdProdInic->Text();
    c.productFinal = medCdProdFina->Text();
    c.level = sedNiveOrde->Value();
    c.ordering = rdgOrdena->ItemIndex();
    c.stockable = chbEstocaveis->isChecked();
    c.nonStockable = chbNaoEstoc->isChecked();
    return c;
}

void TfrmRealGlobal::applyDates(const ScreenChoices &c)
{
    if (c.dateInitial.isValid()) {
        depDataInic->SetDate(c.dateInitial);
        depDataInicDateChange(depDataInic);
    }
    if (c.dateFinal.isValid()) {
        depDataFina->SetDate(c.dateFinal);
        depDataFinaDateChange(depDataFina);
    }
}

void TfrmRealGlobal::applyGroupsAndServices(const ScreenChoices &c)
{
    // Groups first: choosing groups sends the services back to "Todos".
    (c.groupsListed ? rbtListaGrup : rbtTodosGrup)->setChecked_(true);
    if (rbtListaGrup->isChecked())
        moduleState().ListaGrup = c.groups;
    (c.servicesListed ? rbtListaServ : rbtTodosServ)->setChecked_(true);
    if (rbtListaServ->isChecked())
        moduleState().ListaServPesq = c.services;
}

void TfrmRealGlobal::applyTheRest(const ScreenChoices &c)
{
    const int cost = cbbTipoCusto->Items().indexOf(c.costType);
    if (cost >= 0)
        cbbTipoCusto->setItemIndex(cost);
    medCdProdInic->setText_(c.productInitial);
    medCdProdFina->setText_(c.productFinal);
    rdgOrdena->setItemIndex(c.ordering);
    sedNiveOrde->setValue_(c.level);
    chbEstocaveis->setChecked(c.stockable);
    chbNaoEstoc->setChecked(c.nonStockable);
}

void TfrmRealGlobal::apply(const ScreenChoices &c)
{
    // The branch first: a change of branch empties the service lists.
    if (medCdFilial->isEnabled())
        medCdFilial->setText_(c.branch);
    m_servicesDropped = false; // the kept services come back just below
    applyDates(c);
    applyGroupsAndServices(c);
    applyTheRest(c);
    Vd_CdFilial(false);
    medCdProdInicExit(medCdProdInic);
    medCdProdFinaExit(medCdProdFina);
}

QVariant TfrmRealGlobal::typingState(const QWidget *) const
{
    TypingState s;
    s.branchName = edtNmFilial->Text();
    s.productInitialName = edtNmProdInic->Text();
    s.productFinalName = edtNmProdFina->Text();
    s.services = moduleState().ListaServ;
    s.servicesSearched = moduleState().ListaServPesq;
    s.servicesDropped = m_servicesDropped;
    return QVariant::fromValue(s);
}

void TfrmRealGlobal::restoreTypingState(const QWidget *, const QVariant &state)
{
    if (!state.canConvert<TypingState>())
        return;
    const TypingState s = state.value<TypingState>();
    edtNmFilial->setText_(s.branchName);
    edtNmProdInic->setText_(s.productInitialName);
    edtNmProdFina->setText_(s.productFinalName);
    moduleState().ListaServ = s.services;
    moduleState().ListaServPesq = s.servicesSearched;
    m_servicesDropped = s.servicesDropped;
    showListCounts();
}

QVariantMap TfrmRealGlobal::storedChoices() const { return RecalledParameters::stored(choices()); }

void TfrmRealGlobal::applyStoredChoices(const QVariantMap &values)
{
    try {
        apply(RecalledParameters::fromStored(values));
    } catch (...) {
        showListCounts();
        throw;
    }
    showListCounts();
}

void TfrmRealGlobal::repeatLastParameters()
{
    const QVariantMap kept = ParameterMemory::load(kMemoryKey);
    if (kept.isEmpty()) {
        ShellNotices::instance().tell(
            QStringLiteral("Não há parâmetros para repetir: gere primeiro um relatório nesta tela."));
        return;
    }
    applyStoredChoices(kept);
    ShellNotices::instance().tell(QStringLiteral("Parâmetros do último relatório repostos."));
}
