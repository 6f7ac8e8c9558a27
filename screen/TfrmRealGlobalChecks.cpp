// The screen's checks: each failure shows its message, puts the focus on
// its control and ends the command (MensErro's silent abort).
#include "ModuleState.h"
#include "TfrmRealGlobal.h"

#include "core/CodePage1252.h"
#include "core/MensErro.h"
#include "core/StringFunctions.h"
#include "data/TADOIBQuery.h"
#include "data/TADOIBStringField.h"
#include "session/CodePictures.h"
#include "widgets/Keys.h"
#include "widgets/TCheckBox.h"
#include "widgets/TComboBox.h"
#include "widgets/TDateEditPlus.h"
#include "widgets/TEdit.h"
#include "widgets/TMaskEdit.h"
#include "widgets/TRadioButton.h"

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
} // namespace

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
    if (rbtListaGrup->isChecked() && required && moduleState().ListaGrup.isEmpty()) {
        Keys::focusQuietly(rbtListaGrup);
        MensErro(msg("GRUP_EMPTY"), true);
    }
}

void TfrmRealGlobal::Vd_ListaServ(bool required)
{
    if (rbtListaServ->isChecked() && required && moduleState().ListaServ.isEmpty()) {
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
    if (!ini.isEmpty() && !fin.isEmpty() && CodePage1252::compare(ini, fin) > 0) {
        Keys::focusQuietly(medCdProdInic);
        MensErro(msg("Prod_maior"), true);
    }
    if (!chbEstocaveis->isChecked() && !chbNaoEstoc->isChecked()) {
        Keys::focusQuietly(chbEstocaveis);
        MensErro(msg("Tiprod_inf"), true);
    }
    Repaint();
}
