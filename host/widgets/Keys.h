// Key codes as handlers see them (virtual-key numbers: F9 is 120), and the
// focus changes that count as leaving a control.
#pragma once

#include <Qt>

class QWidget;

namespace Keys {
enum : int { Back = 8, Tab = 9, Enter = 13, Escape = 27, Space = 32, PageUp = 33, PageDown = 34,
             End = 35, Home = 36, Left = 37, Up = 38, Right = 39, Down = 40, Delete = 46, F9 = 120 };
// Modifier bits passed with OnKeyDown.
enum : int { ssShift = 1, ssAlt = 2, ssCtrl = 4 };

int fromQt(int qtKey);
int toQt(int vk);
int shiftFromQt(Qt::KeyboardModifiers m);

// Focus moving to another control of the window: Tab, click, code. Not the
// window losing activation or a popup opening, which leave the control current,
// and not a move made inside a QuietFocus scope.
bool isExit(Qt::FocusReason reason);

// While alive, focus moves raise no OnEnter or OnExit. A failing check puts
// the focus back on its control this way: leaving the other control must not
// run that control's own check, which could fail and move the focus back in
// turn, for ever.
class QuietFocus {
public:
    QuietFocus();
    ~QuietFocus();
    QuietFocus(const QuietFocus &) = delete;
    QuietFocus &operator=(const QuietFocus &) = delete;
};
// Moves the focus to w without raising enter or exit events.
void focusQuietly(QWidget *w);
// Whether w holds the input focus of its window.
bool holdsFocus(const QWidget *w);
}
