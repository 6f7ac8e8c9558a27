#include "TSpinEdit.h"
#include "ControlEvents.h"
#include "core/ComponentRegistry.h"
#include "core/Dispatch.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QToolTip>
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
    const QString range = rangeText();
    setToolTip(range);
    setAccessibleDescription(range);
}

QString TSpinEdit::rangeText() const
{
    if (m_min == m_max)
        return QString();
    const QString range = QStringLiteral("de %1 a %2.").arg(minimum()).arg(maximum());
    return accessibleName().isEmpty() ? QStringLiteral("Valores ") + range : accessibleName() + QStringLiteral(": ") + range;
}

QAbstractSpinBox::StepEnabled TSpinEdit::stepEnabled() const
{
    // At an end the arrow still answers, so that the person learns the range.
    if (m_min != m_max && isEnabled() && !isReadOnly())
        return StepUpEnabled | StepDownEnabled;
    return QSpinBox::stepEnabled();
}

void TSpinEdit::stepBy(int steps)
{
    // A step from an end past it says the range; one from inside stops at the end.
    const qint64 wanted = qint64(value()) + qint64(steps) * singleStep();
    if (m_min != m_max && ((wanted > maximum() && value() == maximum()) || (wanted < minimum() && value() == minimum()))) {
        QToolTip::showText(mapToGlobal(QPoint(0, height())), rangeText(), this);
        return;
    }
    QSpinBox::stepBy(steps);
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
