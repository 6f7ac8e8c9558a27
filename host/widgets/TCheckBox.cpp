#include "TCheckBox.h"
#include "ControlEvents.h"
#include "core/ComponentRegistry.h"
#include "core/Dispatch.h"

#include <QFocusEvent>

REGISTER_COMPONENT(TCheckBox)

TCheckBox::TCheckBox(QWidget *parent) : QCheckBox(parent)
{
    connect(this, &QCheckBox::stateChanged, this,
            [this] { Dispatch::fire([this] { emit OnClick(this); }); });
}

PropertyEnums::TCheckBoxState TCheckBox::State() const
{
    using PropertyEnums::TCheckBoxState;
    switch (checkState()) {
    case Qt::Checked: return TCheckBoxState::cbChecked;
    case Qt::PartiallyChecked: return TCheckBoxState::cbGrayed;
    default: return TCheckBoxState::cbUnchecked;
    }
}

void TCheckBox::setState(PropertyEnums::TCheckBoxState v)
{
    using PropertyEnums::TCheckBoxState;
    setCheckState(v == TCheckBoxState::cbChecked  ? Qt::Checked
                  : v == TCheckBoxState::cbGrayed ? Qt::PartiallyChecked
                                                  : Qt::Unchecked);
}

void TCheckBox::focusInEvent(QFocusEvent *e)
{
    QCheckBox::focusInEvent(e);
    ControlEvents::focusIn(this, e);
}

void TCheckBox::focusOutEvent(QFocusEvent *e)
{
    QCheckBox::focusOutEvent(e);
    ControlEvents::focusOut(this, e);
}
