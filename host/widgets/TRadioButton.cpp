#include "TRadioButton.h"
#include "ControlEvents.h"
#include "Keys.h"
#include "core/ComponentRegistry.h"
#include "core/Dispatch.h"

#include <QFocusEvent>
#include <QKeyEvent>

REGISTER_COMPONENT(TRadioButton)

TRadioButton::TRadioButton(QWidget *parent) : QRadioButton(parent)
{
    connect(this, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            Dispatch::fire([this] { emit OnClick(this); });
    });
}

void TRadioButton::setChecked_(bool v)
{
    if (v) {
        setChecked(true); // auto-exclusive: the sibling goes off
        return;
    }
    // Qt refuses to uncheck the checked button of an exclusive set.
    setAutoExclusive(false);
    setChecked(false);
    setAutoExclusive(true);
}

bool TRadioButton::Focused() const { return Keys::holdsFocus(this); }

void TRadioButton::focusInEvent(QFocusEvent *e)
{
    QRadioButton::focusInEvent(e);
    ControlEvents::focusIn(this, e);
}

void TRadioButton::focusOutEvent(QFocusEvent *e)
{
    QRadioButton::focusOutEvent(e);
    ControlEvents::focusOut(this, e);
}

void TRadioButton::keyPressEvent(QKeyEvent *e)
{
    if (ControlEvents::keyDown(this, e))
        QRadioButton::keyPressEvent(e);
}
