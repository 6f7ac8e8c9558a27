#include "KeyboardHelpers.h"
#include "TForm.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>

namespace {
bool g_enterMovesFocus = true;

// The form whose field w is, when w is a field Enter may leave.
TForm *formOfField(QWidget *w)
{
    const bool field = qobject_cast<QLineEdit *>(w) || qobject_cast<QAbstractSpinBox *>(w)
                    || qobject_cast<QCheckBox *>(w) || qobject_cast<QRadioButton *>(w)
                    || (qobject_cast<QComboBox *>(w) && !static_cast<QComboBox *>(w)->view()->isVisible());
    if (!field)
        return nullptr;
    for (QWidget *p = w->parentWidget(); p; p = p->parentWidget()) {
        if (auto *form = qobject_cast<TForm *>(p))
            return form;
        if (p->isWindow())
            return nullptr;
    }
    return nullptr;
}

class EnterFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!g_enterMovesFocus || event->type() != QEvent::KeyPress)
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            return false;
        if (key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier))
            return false;
        auto *w = qobject_cast<QWidget *>(watched);
        if (!w || w != QApplication::focusWidget())
            return false;
        TForm *form = formOfField(w);
        if (!form)
            return false;
        form->moveFocus(!(key->modifiers() & Qt::ShiftModifier));
        return true;
    }
};

class LookupFilter : public QObject {
public:
    LookupFilter(QWidget *edit, QAbstractButton *button) : QObject(edit), m_button(button) {}

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress || !m_button || !m_button->isEnabled())
            return false;
        auto *key = static_cast<QKeyEvent *>(event);
        const bool f9 = key->key() == Qt::Key_F9 && key->modifiers() == Qt::NoModifier;
        const bool altDown = key->key() == Qt::Key_Down && (key->modifiers() & Qt::AltModifier);
        if (!f9 && !altDown)
            return false;
        m_button->click();
        return true;
    }

private:
    QAbstractButton *m_button;
};
} // namespace

namespace KeyboardHelpers {

void installEnterMovesFocus()
{
    static EnterFilter *filter = nullptr;
    if (!filter && qApp) {
        filter = new EnterFilter(qApp);
        qApp->installEventFilter(filter);
    }
}

void setEnterMovesFocus(bool on) { g_enterMovesFocus = on; }
bool enterMovesFocus() { return g_enterMovesFocus; }

void bindLookupKeys(QWidget *edit, QAbstractButton *button)
{
    edit->installEventFilter(new LookupFilter(edit, button));
}

} // namespace KeyboardHelpers
