#include "TCheckBox.h"
#include "ComponentRegistry.h"
#include "ControlEvents.h"
#include "Dispatch.h"

#include <QFocusEvent>

REGISTER_COMPONENT(TCheckBox)

TCheckBox::TCheckBox(QWidget *parent) : QCheckBox(parent)
{
    connect(this, &QCheckBox::stateChanged, this,
            [this] { Dispatch::fire([this] { emit OnClick(this); }); });
}

QString TCheckBox::State() const
{
    switch (checkState()) {
    case Qt::Checked: return QStringLiteral("cbChecked");
    case Qt::PartiallyChecked: return QStringLiteral("cbGrayed");
    default: return QStringLiteral("cbUnchecked");
    }
}

void TCheckBox::setState(const QString &v)
{
    setCheckState(v == QLatin1String("cbChecked") ? Qt::Checked
                  : v == QLatin1String("cbGrayed") ? Qt::PartiallyChecked
                                                   : Qt::Unchecked);
}

void TCheckBox::focusInEvent(QFocusEvent *e)
{
    QCheckBox::focusInEvent(e);
    ControlEvents::focusIn(this, e);
}

void TCheckBox::focusOutEvent(QFocusEvent *e)
{
    QCheckBox::focusOutEvent(e);
    ControlEvents::focusOut(this, e);
}
