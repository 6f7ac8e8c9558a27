#include "TSpinEdit.h"
#include "ControlEvents.h"
#include "core/ComponentRegistry.h"
#include "core/Dispatch.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <climits>

REGISTER_COMPONENT(TSpinEdit)

TSpinEdit::TSpinEdit(QWidget *parent) : QSpinBox(parent)
{
    applyRange();
    connect(this, QOverload<int>::of(&QSpinBox::valueChanged), this,
            [this] { Dispatch::fire([this] { emit OnChange(this); }); });
}

void TSpinEdit::setMinValue(int v)
{
    m_min = v;
    applyRange();
}

void TSpinEdit::setMaxValue(int v)
{
    m_max = v;
    applyRange();
}

void TSpinEdit::applyRange()
{
    const int keep = value();
    if (m_min == m_max)
        setRange(INT_MIN, INT_MAX);
    else
        setRange(qMin(m_min, m_max), qMax(m_min, m_max));
    // Widening the range must not move the value.
    if (m_min == m_max)
        setValue(keep);
}

void TSpinEdit::setEditorEnabled(bool v)
{
    m_editorEnabled = v;
    // The line edit alone goes read-only: the spin box itself still steps.
    lineEdit()->setReadOnly(!v);
}

void TSpinEdit::setMaxLength(int v)
{
    m_maxLength = v;
    // Only typing is limited; a stepped value may need more characters.
    if (m_editorEnabled && v > 0)
        lineEdit()->setMaxLength(v);
}

void TSpinEdit::focusInEvent(QFocusEvent *e)
{
    QSpinBox::focusInEvent(e);
    ControlEvents::focusIn(this, e);
}

void TSpinEdit::focusOutEvent(QFocusEvent *e)
{
    QSpinBox::focusOutEvent(e);
    ControlEvents::focusOut(this, e);
}
