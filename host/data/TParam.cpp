#include "TParam.h"
#include "core/Errors.h"

TParam::TParam(const QString &name, DataType type) : m_name(name), m_type(type) {}

void TParam::SetAsString(const QString &v)
{
    m_type = DataType::String;
    m_value = v.isNull() ? QString(QLatin1String("")) : v; // empty text is a value, not null
}

void TParam::SetAsInteger(int v)
{
    m_type = DataType::Integer;
    m_value = v;
}

void TParam::SetAsDateTime(const QDateTime &v)
{
    m_type = DataType::DateTime;
    m_value = v;
}

void TParam::SetAsVariant(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
        m_type = DataType::Integer;
        break;
    case QMetaType::Double:
        m_type = DataType::Float;
        break;
    case QMetaType::QDateTime:
        m_type = DataType::DateTime;
        break;
    case QMetaType::QDate:
        m_type = DataType::Date;
        break;
    default:
        m_type = DataType::String;
    }
    m_value = v;
}

void TParam::Clear() { m_value = QVariant(); }

QString TParam::AsString() const { return m_value.toString(); }

QString TParam::typeName(DataType t)
{
    switch (t) {
    case DataType::String: return QStringLiteral("string");
    case DataType::Integer: return QStringLiteral("integer");
    case DataType::Float: return QStringLiteral("float");
    case DataType::DateTime: return QStringLiteral("datetime");
    case DataType::Date: return QStringLiteral("date");
    case DataType::Unknown: break;
    }
    return QStringLiteral("unknown");
}

TParam::DataType TParam::typeFromName(const QString &name)
{
    QString n = name.toLower();
    if (n.startsWith(QLatin1String("ft")))
        n = n.mid(2);
    if (n == QLatin1String("string") || n == QLatin1String("widestring") || n == QLatin1String("fixedchar"))
        return DataType::String;
    if (n == QLatin1String("integer") || n == QLatin1String("smallint") || n == QLatin1String("largeint"))
        return DataType::Integer;
    if (n == QLatin1String("float") || n == QLatin1String("currency") || n == QLatin1String("bcd"))
        return DataType::Float;
    if (n == QLatin1String("datetime") || n == QLatin1String("timestamp"))
        return DataType::DateTime;
    if (n == QLatin1String("date"))
        return DataType::Date;
    return DataType::Unknown;
}

TParam &TParams::add(const QString &name, TParam::DataType type)
{
    if (TParam *p = FindParam(name))
        return *p;
    m_items.append(std::make_shared<TParam>(name, type));
    return *m_items.last();
}

TParams TParams::clone() const
{
    TParams copy;
    for (const auto &p : m_items)
        copy.m_items.append(std::make_shared<TParam>(*p));
    return copy;
}

TParam *TParams::FindParam(const QString &name)
{
    for (auto &p : m_items)
        if (p->Name().compare(name, Qt::CaseInsensitive) == 0)
            return p.get();
    return nullptr;
}

const TParam *TParams::FindParam(const QString &name) const
{
    return const_cast<TParams *>(this)->FindParam(name);
}

TParam &TParams::ParamByName(const QString &name)
{
    if (TParam *p = FindParam(name))
        return *p;
    throw EHostError(QStringLiteral("Parâmetro '%1' não encontrado.").arg(name));
}

const TParam &TParams::ParamByName(const QString &name) const
{
    return const_cast<TParams *>(this)->ParamByName(name);
}

bool ExistParam(const TParams &params, const QString &name)
{
    return params.FindParam(name) != nullptr;
}
