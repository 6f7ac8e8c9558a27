#include "RecalledParameters.h"
#include "ModuleState.h"
#include "TfrmRealGlobal.h"

#include "widgets/TCheckBox.h"
#include "widgets/TComboBox.h"
#include "widgets/TDateEditPlus.h"
#include "widgets/TEdit.h"
#include "widgets/TMaskEdit.h"
#include "widgets/TRadioButton.h"
#include "widgets/TRadioGroup.h"
#include "widgets/TSpinEdit.h"

namespace {
void restoreChoice(TRadioButton *all, TRadioButton *list, bool listed)
{
    (listed ? list : all)->setChecked_(true);
}

void restoreDates(TfrmRealGlobal &f, const QVariantMap &v)
{
    const QDate initial = QDate::fromString(v.value(QStringLiteral("dataInicial")).toString(), Qt::ISODate);
    const QDate final = QDate::fromString(v.value(QStringLiteral("dataFinal")).toString(), Qt::ISODate);
    if (initial.isValid()) {
        f.depDataInic->SetDate(initial);
        f.depDataInicDateChange(f.depDataInic);
    }
    if (final.isValid()) {
        f.depDataFina->SetDate(final);
        f.depDataFinaDateChange(f.depDataFina);
    }
}

void restoreGroupsAndServices(TfrmRealGlobal &f, const QVariantMap &v)
{
    // Groups first: choosing groups sends the services back to "Todos".
    restoreChoice(f.rbtTodosGrup, f.rbtListaGrup, v.value(QStringLiteral("gruposEmLista")).toBool());
    if (f.rbtListaGrup->isChecked())
        ListaGrup = v.value(QStringLiteral("listaGrup")).toString();
    restoreChoice(f.rbtTodosServ, f.rbtListaServ, v.value(QStringLiteral("servicosEmLista")).toBool());
    if (f.rbtListaServ->isChecked())
        ListaServPesq = v.value(QStringLiteral("listaServPesq")).toString();
}

void restoreTheRest(TfrmRealGlobal &f, const QVariantMap &v)
{
    const int cost = f.cbbTipoCusto->Items().indexOf(v.value(QStringLiteral("tipoCusto")).toString());
    if (cost >= 0)
        f.cbbTipoCusto->setItemIndex(cost);
    f.medCdProdInic->setText_(v.value(QStringLiteral("produtoInicial")).toString());
    f.medCdProdFina->setText_(v.value(QStringLiteral("produtoFinal")).toString());
    f.rdgOrdena->setItemIndex(v.value(QStringLiteral("ordenacao"), 0).toInt());
    f.sedNiveOrde->setValue_(v.value(QStringLiteral("nivel"), 0).toInt());
    f.chbEstocaveis->setChecked(v.value(QStringLiteral("estocaveis"), true).toBool());
    f.chbNaoEstoc->setChecked(v.value(QStringLiteral("naoEstocaveis"), true).toBool());
}
} // namespace

namespace RecalledParameters {

QVariantMap capture(const TfrmRealGlobal &f)
{
    return {
        {QStringLiteral("filial"), f.medCdFilial->Text()},
        {QStringLiteral("tipoCusto"), f.cbbTipoCusto->Text()},
        {QStringLiteral("dataInicial"), f.depDataInic->GetDate().toString(Qt::ISODate)},
        {QStringLiteral("dataFinal"), f.depDataFina->GetDate().toString(Qt::ISODate)},
        {QStringLiteral("gruposEmLista"), f.rbtListaGrup->isChecked()},
        {QStringLiteral("listaGrup"), ListaGrup},
        {QStringLiteral("servicosEmLista"), f.rbtListaServ->isChecked()},
        {QStringLiteral("listaServPesq"), ListaServPesq},
        {QStringLiteral("produtoInicial"), f.medCdProdInic->Text()},
        {QStringLiteral("produtoFinal"), f.medCdProdFina->Text()},
        {QStringLiteral("nivel"), f.sedNiveOrde->Value()},
        {QStringLiteral("ordenacao"), f.rdgOrdena->ItemIndex()},
        {QStringLiteral("estocaveis"), f.chbEstocaveis->isChecked()},
        {QStringLiteral("naoEstocaveis"), f.chbNaoEstoc->isChecked()},
    };
}

void restore(TfrmRealGlobal &f, const QVariantMap &v)
{
    // The branch first: a change of branch empties the service lists. A
    // working branch that is not a central fixes the branch: it stays.
    if (f.medCdFilial->isEnabled())
        f.medCdFilial->setText_(v.value(QStringLiteral("filial")).toString());
    restoreDates(f, v);
    restoreGroupsAndServices(f, v);
    restoreTheRest(f, v);
    f.Vd_CdFilial(false);
    f.medCdProdInicExit(f.medCdProdInic);
    f.medCdProdFinaExit(f.medCdProdFina);
}

} // namespace RecalledParameters
