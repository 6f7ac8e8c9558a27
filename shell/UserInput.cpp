#include "UserInput.h"
#include "ScriptKeys.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

namespace {
void sendKey(QWidget *w, QEvent::Type type, int key, Qt::KeyboardModifiers modifiers, const QString &text)
{
    QKeyEvent e(type, key, modifiers, text);
    QCoreApplication::sendEvent(w, &e);
}

struct Modifier {
    Qt::KeyboardModifier modifier;
    Qt::Key key;
};
const Modifier modifierKeys[] = {{Qt::ShiftModifier, Qt::Key_Shift},
                                 {Qt::ControlModifier, Qt::Key_Control},
                                 {Qt::AltModifier, Qt::Key_Alt},
                                 {Qt::MetaModifier, Qt::Key_Meta}};

bool takesClickFocus(QWidget *w)
{
    QWidget *f = w;
    while (f->focusProxy())
        f = f->focusProxy();
    return (w->focusPolicy() & Qt::ClickFocus) == Qt::ClickFocus
           && (f == w || (f->focusPolicy() & Qt::ClickFocus) == Qt::ClickFocus);
}

// As QApplication does for a click from the window system: the first widget
// from the one clicked up to its window that takes focus by click gets it,
// unless a widget on the way already has it.
void giveFocusAsAClick(QWidget *widget, QPoint pos)
{
    for (QWidget *w = widget; w; w = w->parentWidget()) {
        if (w->isEnabled() && w->rect().contains(pos) && takesClickFocus(w)) {
            w->setFocus(Qt::MouseFocusReason);
            return;
        }
        QWidget *f = w->focusProxy() ? w->focusProxy() : w;
        if (w->isWindow() || f->hasFocus())
            return;
        pos += w->pos();
    }
}
}

namespace UserInput {

void keyClick(QWidget *target, const KeyStroke &stroke)
{
    QPointer<QWidget> w = target;
    Qt::KeyboardModifiers held;
    for (const Modifier &m : modifierKeys) {
        if (!(stroke.modifiers & m.modifier) || !w)
            continue;
        sendKey(w, QEvent::KeyPress, m.key, held, QString());
        held |= m.modifier;
    }
    if (w)
        sendKey(w, QEvent::KeyPress, stroke.key, stroke.modifiers, stroke.text);
    // The release goes where the focus is now, as a keyboard's would.
    QPointer<QWidget> r = QApplication::focusWidget() ? QApplication::focusWidget() : w.data();
    if (!r)
        return;
    sendKey(r, QEvent::KeyRelease, stroke.key, stroke.modifiers, stroke.text);
    for (int i = int(std::size(modifierKeys)) - 1; i >= 0 && r; --i) {
        const Modifier &m = modifierKeys[i];
        if (!(stroke.modifiers & m.modifier))
            continue;
        sendKey(r, QEvent::KeyRelease, m.key, held, QString());
        held &= ~m.modifier;
    }
}

void click(QWidget *w, QPoint pos)
{
    QPointer<QWidget> target = w;
    giveFocusAsAClick(w, pos);
    if (!target)
        return;
    const QPointF local(pos);
    const QPointF scene(w->mapTo(w->window(), pos));
    const QPointF global(w->mapToGlobal(pos));
    QMouseEvent press(QEvent::MouseButtonPress, local, scene, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    if (!target)
        return;
    QMouseEvent release(QEvent::MouseButtonRelease, local, scene, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(w, &release);
}

bool waitForActive(QWidget *w, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!w->isActiveWindow() && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    return w->isActiveWindow();
}
}
