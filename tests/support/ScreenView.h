// The screen's controls as a test reaches them: typed, by the names of the
// screen's definition (the names users' scripts use too). The screen keeps
// its controls private; a test that acts as the user goes through here. A
// name the definition no longer has stops the test at once.
#pragma once

#include "screen/TfrmRealGlobal.h"
#include "widgets/TCheckBox.h"
#include "widgets/TComboBox.h"
#include "widgets/TDateEditPlus.h"
#include "widgets/TEdit.h"
#include "widgets/TMaskEdit.h"
#include "widgets/TRadioButton.h"
#include "widgets/TRadioGroup.h"
#include "widgets/TSpinEdit.h"

class ScreenView {
public:
    explicit ScreenView(TfrmRealGlobal *screen) : m_screen(screen) {}

    TMaskEdit *medCentral() const { return get<TMaskEdit>("medCentral"); }
    TMaskEdit *medCdFilial() const { return get<TMaskEdit>("medCdFilial"); }
    TEdit *edtNmFilial() const { return get<TEdit>("edtNmFilial"); }
    TComboBox *cbbTipoCusto() const { return get<TComboBox>("cbbTipoCusto"); }
    TDateEditPlus *depDataInic() const { return get<TDateEditPlus>("depDataInic"); }
    TDateEditPlus *depDataFina() const { return get<TDateEditPlus>("depDataFina"); }
    TEdit *edtDataInic() const { return get<TEdit>("edtDataInic"); }
    TEdit *edtDataFina() const { return get<TEdit>("edtDataFina"); }
    TRadioButton *rbtTodosGrup() const { return get<TRadioButton>("rbtTodosGrup"); }
    TRadioButton *rbtListaGrup() const { return get<TRadioButton>("rbtListaGrup"); }
    TRadioButton *rbtTodosServ() const { return get<TRadioButton>("rbtTodosServ"); }
    TRadioButton *rbtListaServ() const { return get<TRadioButton>("rbtListaServ"); }
    TMaskEdit *medCdProdInic() const { return get<TMaskEdit>("medCdProdInic"); }
    TMaskEdit *medCdProdFina() const { return get<TMaskEdit>("medCdProdFina"); }
    TEdit *edtNmProdInic() const { return get<TEdit>("edtNmProdInic"); }
    TEdit *edtNmProdFina() const { return get<TEdit>("edtNmProdFina"); }
    TRadioGroup *rdgOrdena() const { return get<TRadioGroup>("rdgOrdena"); }
    TSpinEdit *sedNiveOrde() const { return get<TSpinEdit>("sedNiveOrde"); }
    TCheckBox *chbEstocaveis() const { return get<TCheckBox>("chbEstocaveis"); }
    TCheckBox *chbNaoEstoc() const { return get<TCheckBox>("chbNaoEstoc"); }

private:
    template <class T> T *get(const char *name) const
    {
        T *control = m_screen->component<T>(QLatin1String(name));
        if (!control)
            qFatal("the screen has no %s named %s", T::staticMetaObject.className(), name);
        return control;
    }

    TfrmRealGlobal *m_screen;
};
