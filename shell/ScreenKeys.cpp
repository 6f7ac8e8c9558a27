#include "ScreenKeys.h"
#include "core/Dispatch.h"
#include "widgets/TForm.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>

namespace {
void collectActions(const QList<QAction *> &actions, QList<QAction *> &out)
{
    for (QAction *a : actions) {
        out << a;
        if (a->menu())
            collectActions(a->menu()->actions(), out);
    }
}

// The line edit a person types into when w has the focus: w itself, or the
// one inside a spin box, a date edit or an editable combo box.
QLineEdit *editorOf(QWidget *w)
{
    if (!w)
        return nullptr;
    if (auto *edit = qobject_cast<QLineEdit *>(w))
        return edit;
    if (auto *combo = qobject_cast<QComboBox *>(w))
        return combo->lineEdit();
    if (qobject_cast<QAbstractSpinBox *>(w))
        return w->findChild<QLineEdit *>();
    return nullptr;
}

QKeySequence sequenceOf(const QKeyEvent *e)
{
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    return QKeySequence(QKeyCombination(mods, Qt::Key(e->key())));
}
} // namespace

ScreenKeys::ScreenKeys(QMainWindow *window, QMdiArea *area) : QObject(window), m_window(window), m_area(area)
{
    qApp->installEventFilter(this);
    connect(area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow *frame) {
        if (frame)
            dropFrameKeys(frame);
    });
}

void ScreenKeys::dropFrameKeys(QMdiSubWindow *frame) const
{
    if (!frame->systemMenu())
        return;
    for (QAction *a : frame->systemMenu()->actions()) {
        QList<QKeySequence> kept;
        for (const QKeySequence &key : a->shortcuts())
            if (!windowHolds(key))
                kept << key;
        if (kept.size() != a->shortcuts().size())
            a->setShortcuts(kept);
    }
}

bool ScreenKeys::windowHolds(const QKeyEvent *event) const { return windowHolds(sequenceOf(event)); }

bool ScreenKeys::windowHolds(const QKeySequence &pressed) const
{
    QList<QAction *> actions;
    collectActions(m_window->menuBar()->actions(), actions);
    collectActions(m_window->actions(), actions);
    for (const QAction *a : actions) {
        if (!a->isEnabled())
            continue;
        for (const QKeySequence &key : a->shortcuts())
            if (key == pressed)
                return true;
    }
    return false;
}

bool ScreenKeys::inScreen(const QWidget *w) const
{
    for (; w; w = w->parentWidget()) {
        if (qobject_cast<const QMdiSubWindow *>(w))
            return w->parentWidget() && m_area->isAncestorOf(w);
        if (w->isWindow())
            return false;
    }
    return false;
}

void ScreenKeys::remember(QWidget *focused)
{
    m_edit = editorOf(focused);
    if (!m_edit)
        return;
    m_edit->setModified(false);
    m_textOnFocus = m_edit->text();
    m_form = nullptr;
    for (QWidget *p = focused; p && !m_form; p = p->parentWidget())
        m_form = qobject_cast<TForm *>(p);
    m_stateOnFocus = m_form ? m_form->typingState(focused) : QVariant();
}

bool ScreenKeys::undoTyping(QWidget *focused)
{
    QLineEdit *edit = editorOf(focused);
    if (!edit || edit != m_edit || !edit->isModified() || edit->text() == m_textOnFocus)
        return false;
    edit->setText(m_textOnFocus);
    if (auto *spin = qobject_cast<QAbstractSpinBox *>(focused))
        spin->interpretText(); // the value follows the text put back
    if (m_form)
        Dispatch::guard([&] { m_form->restoreTypingState(focused, m_stateOnFocus); });
    edit->setModified(false);
    edit->selectAll();
    return true;
}

bool ScreenKeys::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress && type != QEvent::FocusIn)
        return false;
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w || w != QApplication::focusWidget() || w->window() != m_window)
        return false;
    if (type == QEvent::FocusIn) {
        if (inScreen(w))
            remember(w);
        return false;
    }
    auto *key = static_cast<QKeyEvent *>(event);
    if (type == QEvent::ShortcutOverride) {
        if (!windowHolds(key))
            return false;
        key->ignore(); // the field does not get it: the window's shortcut runs
        return true;
    }
    if (key->key() != Qt::Key_Escape || key->modifiers() != Qt::NoModifier || !inScreen(w))
        return false;
    if (!undoTyping(w))
        m_area->closeActiveSubWindow();
    return true;
}
