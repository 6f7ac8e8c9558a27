// The enter, exit and key-down events of the focusable controls, raised the
// same way by each of them from its Qt event handlers.
#pragma once

#include "Keys.h"
#include "core/Dispatch.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace ControlEvents {

template <class C> void focusIn(C *control, const QFocusEvent *e)
{
    if (Keys::isExit(e->reason()))
        Dispatch::fire([control] { emit control->OnEnter(control); });
}

template <class C> void focusOut(C *control, const QFocusEvent *e)
{
    if (Keys::isExit(e->reason()))
        Dispatch::fire([control] { emit control->OnExit(control); });
}

// Raises OnKeyDown; false when a handler swallowed the key (set it to 0).
template <class C> bool keyDown(C *control, const QKeyEvent *e)
{
    int key = Keys::fromQt(e->key());
    Dispatch::fire([&] { emit control->OnKeyDown(control, &key, Keys::shiftFromQt(e->modifiers())); });
    return key != 0;
}

} // namespace ControlEvents
