#include "TEdit.h"
#include "ComponentRegistry.h"
#include "Dispatch.h"
#include "Keys.h"

#include <QFocusEvent>
#include <QKeyEvent>

REGISTER_COMPONENT(TEdit)

TEdit::TEdit(QWidget *parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textChanged, this, [this] { checkChanged(); });
}

void TEdit::setText_(const QString &v)
{
    QString t = v;
    if (m_charCase == QLatin1String("ecUpperCase"))
        t = t.toUpper();
    else if (m_charCase == QLatin1String("ecLowerCase"))
        t = t.toLower();
    QLineEdit::setText(t);
}

void TEdit::setMaxLength_(int v)
{
    m_maxLength = v;
    QLineEdit::setMaxLength(v > 0 ? v : 32767);
}

bool TEdit::Focused() const
{
    const QWidget *w = window();
    return w && w->focusWidget() == this && hasFocus();
}

void TEdit::SetFocus() { setFocus(Qt::OtherFocusReason); }

void TEdit::checkChanged()
{
    const QString now = Text();
    if (now == m_last)
        return;
    m_last = now;
    Dispatch::fire([this] { emit OnChange(this); });
}

void TEdit::focusInEvent(QFocusEvent *e)
{
    QLineEdit::focusInEvent(e);
    if (Keys::isExit(e->reason()))
        Dispatch::fire([this] { emit OnEnter(this); });
}

void TEdit::focusOutEvent(QFocusEvent *e)
{
    QLineEdit::focusOutEvent(e);
    if (Keys::isExit(e->reason()))
        Dispatch::fire([this] { emit OnExit(this); });
}

void TEdit::keyPressEvent(QKeyEvent *e)
{
    int key = Keys::fromQt(e->key());
    Dispatch::fire([&] { emit OnKeyDown(this, &key, Keys::shiftFromQt(e->modifiers())); });
    if (key == 0)
        return; // a handler swallowed the key
    QLineEdit::keyPressEvent(e);
}

void TEdit::mouseReleaseEvent(QMouseEvent *e)
{
    QLineEdit::mouseReleaseEvent(e);
    Dispatch::fire([this] { emit OnClick(this); });
}
