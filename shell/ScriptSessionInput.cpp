// The session's actions that act as the user's keyboard and mouse: focus,
// type, key, click and select, delivered as a person's are (UserInput).
#include "MainWindow.h"
#include "ScriptError.h"
#include "ScriptKeys.h"
#include "ScriptSession.h"
#include "UserInput.h"

#include "widgets/TComboBox.h"
#include "widgets/TRadioGroup.h"

#include <QAbstractButton>
#include <QApplication>
#include <QRadioButton>

void ScriptSession::focus(const QString &name)
{
    auto *w = qobject_cast<QWidget *>(control(name));
    if (!w)
        fail(QStringLiteral("'%1' is not a control").arg(name));
    if (!w->isEnabled() || !w->isVisible())
        fail(QStringLiteral("'%1' cannot take the focus").arg(name));
    QWidget *target = w->focusProxy() ? w->focusProxy() : w;
    UserInput::click(target, QPoint(2, target->height() / 2));
    if (QApplication::focusWidget() != target)
        target->setFocus(Qt::MouseFocusReason);
}

QWidget *ScriptSession::keyTarget() const
{
    // Keys go where a keyboard's go: the focus widget, else the active window.
    if (QWidget *w = QApplication::focusWidget())
        return w;
    if (QWidget *w = QApplication::activeWindow())
        return w;
    return &m_window;
}

void ScriptSession::type(const QString &text)
{
    if (!QApplication::focusWidget())
        fail(QStringLiteral("nothing holds the focus"));
    // Every character is checked before the first is typed.
    QList<KeyStroke> strokes;
    for (const char32_t c : text.toUcs4()) {
        KeyStroke stroke;
        QString why;
        if (!ScriptKeys::forCharacter(c, stroke, &why))
            fail(why);
        strokes << stroke;
    }
    for (const KeyStroke &stroke : strokes)
        UserInput::keyClick(keyTarget(), stroke);
}

void ScriptSession::key(const QString &name)
{
    KeyStroke stroke;
    QString why;
    if (!ScriptKeys::parse(name, stroke, &why))
        fail(why);
    UserInput::keyClick(keyTarget(), stroke);
}

void ScriptSession::click(const QString &name)
{
    auto *w = qobject_cast<QWidget *>(control(name));
    if (!w)
        fail(QStringLiteral("'%1' is not a control").arg(name));
    if (!w->isVisible())
        fail(QStringLiteral("'%1' is not visible").arg(name));
    UserInput::click(w, QPoint(w->width() / 2, w->height() / 2));
}

void ScriptSession::select(const QString &name, const QString &indexText)
{
    bool ok = false;
    const int index = indexText.toInt(&ok);
    if (!ok)
        fail(QStringLiteral("'%1' is not an index").arg(indexText));
    QObject *o = control(name);
    if (auto *cbb = qobject_cast<TComboBox *>(o)) {
        if (index < 0 || index >= cbb->count())
            fail(QStringLiteral("'%1' has no item %2").arg(name).arg(index));
        if (!cbb->isEnabled())
            fail(QStringLiteral("'%1' is disabled").arg(name));
        cbb->setFocus(Qt::MouseFocusReason);
        cbb->setCurrentIndex(index);
        emit cbb->activated(index); // as the user's choice in the list
        return;
    }
    if (auto *rdg = qobject_cast<TRadioGroup *>(o)) {
        if (!rdg->button(index))
            fail(QStringLiteral("'%1' has no item %2").arg(name).arg(index));
        UserInput::click(rdg->button(index), QPoint(4, rdg->button(index)->height() / 2));
        return;
    }
    fail(QStringLiteral("'%1' is neither a combo box nor a radio group").arg(name));
}
