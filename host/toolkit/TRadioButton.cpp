#include "TRadioButton.h"
#include "ComponentRegistry.h"
#include "Dispatch.h"
#include "Keys.h"

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

bool TRadioButton::Focused() const
{
    const QWidget *w = window();
    return w && w->focusWidget() == this && hasFocus();
}

void TRadioButton::focusInEvent(QFocusEvent *e)
{
    QRadioButton::focusInEvent(e);
    if (Keys::isExit(e->reason()))
        Dispatch::fire([this] { emit OnEnter(this); });
}

void TRadioButton::focusOutEvent(QFocusEvent *e)
{
    QRadioButton::focusOutEvent(e);
    if (Keys::isExit(e->reason()))
        Dispatch::fire([this] { emit OnExit(this); });
}

void TRadioButton::keyPressEvent(QKeyEvent *e)
{
    int key = Keys::fromQt(e->key());
    Dispatch::fire([&] { emit OnKeyDown(this, &key, Keys::shiftFromQt(e->modifiers())); });
    if (key != 0)
        QRadioButton::keyPressEvent(e);
}
