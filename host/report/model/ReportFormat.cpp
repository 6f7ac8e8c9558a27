#include "ReportFormat.h"

#include <cmath>

#include <QLocale>

namespace {
const QLocale &ptBR()
{
    static const QLocale l(QLocale::Portuguese, QLocale::Brazil);
    return l;
}
}

QDateTime ReportFormat::toDateTime(const QVariant &v)
{
    switch (v.typeId()) {
    case QMetaType::QDateTime:
        return v.toDateTime();
    case QMetaType::QDate:
        return v.toDate().startOfDay();
    case QMetaType::Double:
    case QMetaType::Int:
    case QMetaType::LongLong: {
        // The host's date-time: days since 30/12/1899, the fraction the time.
        const double days = v.toDouble();
        const qint64 whole = qint64(std::floor(days));
        const qint64 ms = qint64(std::llround((days - double(whole)) * 86400000.0));
        return QDate(1899, 12, 30).addDays(whole).startOfDay().addMSecs(ms);
    }
    default:
        break;
    }
    const QString s = v.toString().trimmed();
    QDateTime dt = QDateTime::fromString(s, Qt::ISODateWithMs);
    if (!dt.isValid())
        dt = QDateTime::fromString(s, QStringLiteral("dd/MM/yyyy hh:mm:ss"));
    if (dt.isValid())
        return dt;
    for (const char *form : {"yyyy-MM-dd", "dd/MM/yyyy", "d/M/yyyy"}) {
        const QDate d = QDate::fromString(s, QLatin1String(form));
        if (d.isValid())
            return d.startOfDay();
    }
    return QDateTime();
}

QString ReportFormat::display(const ReportColumn &col, const QVariant &v)
{
    if (v.isNull())
        return QString();
    switch (col.format) {
    case ReportColumn::Format::Integer:
        return ptBR().toString(v.toLongLong());
    case ReportColumn::Format::Number:
        if (const std::optional<FixedDecimal> a = amount(col, v))
            return display(col, *a);
        return ptBR().toString(v.toDouble(), 'f', col.decimals);
    case ReportColumn::Format::Date:
    case ReportColumn::Format::DateTime: {
        const QDateTime dt = toDateTime(v);
        if (!dt.isValid())
            return v.toString();
        return col.format == ReportColumn::Format::Date ? dt.date().toString(col.pattern) : dt.toString(col.pattern);
    }
    case ReportColumn::Format::Text:
        break;
    }
    return v.toString();
}

int ReportFormat::scaleOf(const ReportColumn &col)
{
    return col.format == ReportColumn::Format::Number ? qBound(0, col.decimals, FixedDecimal::MaxScale) : 0;
}

std::optional<FixedDecimal> ReportFormat::amount(const ReportColumn &col, const QVariant &v)
{
    if (col.format != ReportColumn::Format::Number && col.format != ReportColumn::Format::Integer)
        return std::nullopt;
    return FixedDecimal::fromVariant(v, scaleOf(col));
}

QString ReportFormat::display(const ReportColumn &col, const FixedDecimal &amount)
{
    return amount.rescaled(scaleOf(col)).grouped();
}

QString ReportFormat::csv(const ReportColumn &col, const QVariant &v)
{
    if (v.isNull())
        return QString();
    switch (col.format) {
    case ReportColumn::Format::Integer:
        return QString::number(v.toLongLong());
    case ReportColumn::Format::Number:
        if (const std::optional<FixedDecimal> a = amount(col, v))
            return a->text();
        return QString::number(v.toDouble(), 'f', col.decimals);
    case ReportColumn::Format::Date: {
        const QDateTime dt = toDateTime(v);
        return dt.isValid() ? dt.date().toString(Qt::ISODate) : v.toString();
    }
    case ReportColumn::Format::DateTime: {
        const QDateTime dt = toDateTime(v);
        return dt.isValid() ? dt.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) : v.toString();
    }
    case ReportColumn::Format::Text:
        break;
    }
    return v.toString();
}

QString ReportFormat::param(const ReportParamDecl &decl, const QVariant &v)
{
    if (v.isNull())
        return QString();
    switch (decl.type) {
    case TParam::DataType::Date:
    case TParam::DataType::DateTime: {
        const QDateTime dt = toDateTime(v);
        if (!dt.isValid())
            return v.toString();
        if (!decl.format.isEmpty())
            return dt.toString(decl.format);
        return dt.time() == QTime(0, 0) ? dt.date().toString(QStringLiteral("dd/MM/yyyy"))
                                        : dt.toString(QStringLiteral("dd/MM/yyyy hh:mm"));
    }
    case TParam::DataType::Float:
        return ptBR().toString(v.toDouble(), 'f', decl.format.isEmpty() ? 2 : decl.format.toInt());
    default:
        return plain(v);
    }
}

QString ReportFormat::plain(const QVariant &v)
{
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    if (v.typeId() == QMetaType::QDateTime) {
        const QDateTime dt = v.toDateTime();
        return dt.time() == QTime(0, 0) ? dt.date().toString(QStringLiteral("dd/MM/yyyy"))
                                        : dt.toString(QStringLiteral("dd/MM/yyyy hh:mm"));
    }
    return v.toString();
}
