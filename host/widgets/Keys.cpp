#include "Keys.h"

#include <QWidget>

namespace Keys {
namespace {
struct Pair { int qt; int vk; };
constexpr Pair pairs[] = {
    {Qt::Key_Backspace, Back}, {Qt::Key_Tab, Tab}, {Qt::Key_Backtab, Tab},
    {Qt::Key_Return, Enter}, {Qt::Key_Enter, Enter}, {Qt::Key_Escape, Escape},
    {Qt::Key_Space, Space}, {Qt::Key_PageUp, PageUp}, {Qt::Key_PageDown, PageDown},
    {Qt::Key_End, End}, {Qt::Key_Home, Home}, {Qt::Key_Left, Left}, {Qt::Key_Up, Up},
    {Qt::Key_Right, Right}, {Qt::Key_Down, Down}, {Qt::Key_Delete, Delete},
};
}

int fromQt(int qtKey)
{
    for (const auto &p : pairs)
        if (p.qt == qtKey)
            return p.vk;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return 112 + (qtKey - Qt::Key_F1);
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z))
        return qtKey;
    return qtKey & 0xffff;
}

int toQt(int vk)
{
    for (const auto &p : pairs)
        if (p.vk == vk)
            return p.qt;
    if (vk >= 112 && vk < 112 + 24)
        return Qt::Key_F1 + (vk - 112);
    return vk;
}

int shiftFromQt(Qt::KeyboardModifiers m)
{
    int s = 0;
    if (m & Qt::ShiftModifier) s |= ssShift;
    if (m & Qt::AltModifier) s |= ssAlt;
    if (m & Qt::ControlModifier) s |= ssCtrl;
    return s;
}

namespace {
int g_quiet = 0;
}

bool isExit(Qt::FocusReason reason)
{
    return g_quiet == 0 && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

QuietFocus::QuietFocus() { ++g_quiet; }
QuietFocus::~QuietFocus() { --g_quiet; }

bool holdsFocus(const QWidget *w)
{
    const QWidget *window = w->window();
    return window && window->focusWidget() == w && w->hasFocus();
}

void focusQuietly(QWidget *w)
{
    QuietFocus quiet;
    w->setFocus(Qt::OtherFocusReason);
}
}
