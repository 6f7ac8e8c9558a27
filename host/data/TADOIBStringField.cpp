#include "TADOIBStringField.h"
#include "TADOIBQuery.h"
#include "core/ComponentRegistry.h"
#include "core/Errors.h"

REGISTER_COMPONENT(TADOIBStringField)

TADOIBStringField::TADOIBStringField(QObject *parent) : QObject(parent) {}

QString TADOIBStringField::DisplayName() const
{
    return m_displayLabel.isEmpty() ? m_fieldName : m_displayLabel;
}

TADOIBQuery *TADOIBStringField::query() const
{
    for (QObject *p = parent(); p; p = p->parent())
        if (auto *q = qobject_cast<TADOIBQuery *>(p))
            return q;
    return nullptr;
}

QVariant TADOIBStringField::Value() const
{
    TADOIBQuery *q = query();
    if (!q)
        throw EHostError(QStringLiteral("O campo %1 não pertence a uma consulta.").arg(m_fieldName));
    return q->currentValue(m_fieldName);
}

bool TADOIBStringField::IsNull() const { return Value().isNull(); }

QString TADOIBStringField::AsString() const
{
    const QVariant v = Value();
    if (v.isNull())
        return QString();
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().toString(Qt::ISODate);
    return v.toString();
}
