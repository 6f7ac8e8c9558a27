#include "TEdit.h"
#include "ControlEvents.h"
#include "Keys.h"
#include "core/ComponentRegistry.h"
#include "core/Dispatch.h"

#include <QFocusEvent>
#include <QKeyEvent>

REGISTER_COMPONENT(TEdit)

TEdit::TEdit(QWidget *parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textChanged, this, [this] { checkChanged(); });
    // Display-only fields are disabled edits, yet people read them: their
    // text keeps a contrast above 4.5:1 on the light backgrounds they have.
    QPalette p = palette();
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x4d, 0x4d, 0x4d));
    setPalette(p);
}

void TEdit::setText_(const QString &v)
{
    QString t = v;
    if (m_charCase == PropertyEnums::TEditCharCase::ecUpperCase)
        t = t.toUpper();
    else if (m_charCase == PropertyEnums::TEditCharCase::ecLowerCase)
        t = t.toLower();
    QLineEdit::setText(t);
}

void TEdit::setMaxLength_(int v)
{
    m_maxLength = v;
    QLineEdit::setMaxLength(v > 0 ? v : 32767);
}

bool TEdit::Focused() const { return Keys::holdsFocus(this); }

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
    ControlEvents::focusIn(this, e);
}

void TEdit::focusOutEvent(QFocusEvent *e)
{
    QLineEdit::focusOutEvent(e);
    ControlEvents::focusOut(this, e);
}

void TEdit::keyPressEvent(QKeyEvent *e)
{
    if (ControlEvents::keyDown(this, e))
        QLineEdit::keyPressEvent(e);
}

void TEdit::mouseReleaseEvent(QMouseEvent *e)
{
    QLineEdit::mouseReleaseEvent(e);
    Dispatch::fire([this] { emit OnClick(this); });
}
