#include "SqlDialect.h"
#include "DatabaseEngine.h"
#include "core/Errors.h"
#include "data/SqlStatement.h"

#include <QDate>
#include <QHash>
#include <QMutex>
#include <QSqlError>

namespace {

struct Replacements {
    QMutex lock;
    QHash<QString, const SqlDialect *> byConnection;
};

Replacements &replacements()
{
    static Replacements *r = new Replacements; // lives as long as the process
    return *r;
}

} // namespace

const SqlDialect &SqlDialect::of(const QSqlDatabase &db)
{
    if (const SqlDialect *d = replacement(db.connectionName()))
        return *d;
    return DatabaseEngine::of(db).dialect();
}

void SqlDialect::use(const QString &connectionName, const SqlDialect *dialect)
{
    Replacements &r = replacements();
    QMutexLocker hold(&r.lock);
    if (dialect)
        r.byConnection.insert(connectionName, dialect);
    else
        r.byConnection.remove(connectionName);
}

const SqlDialect *SqlDialect::replacement(const QString &connectionName)
{
    Replacements &r = replacements();
    QMutexLocker hold(&r.lock);
    return r.byConnection.value(connectionName, nullptr);
}

TParam::DataType SqlDialect::valueType(const TParam *param)
{
    TParam::DataType type = param ? param->dataType() : TParam::DataType::Unknown;
    if (type == TParam::DataType::Unknown && param && !param->IsNull()) {
        TParam probe;
        probe.SetAsVariant(param->Value());
        type = probe.dataType();
    }
    return type;
}

QString SqlDialect::marker(const TParam *, Markers) const { return QStringLiteral("?"); }

QString SqlDialect::typedMarker(const TParam *param) const
{
    switch (valueType(param)) {
    case TParam::DataType::Integer: return QStringLiteral("CAST(? AS BIGINT)");
    case TParam::DataType::Float: return QStringLiteral("CAST(? AS DOUBLE PRECISION)");
    case TParam::DataType::DateTime: return QStringLiteral("CAST(? AS TIMESTAMP)");
    case TParam::DataType::Date: return QStringLiteral("CAST(? AS DATE)");
    default: return QStringLiteral("CAST(? AS TEXT)");
    }
}

QString SqlDialect::orderedInside(const QString &, const QStringList &, const QString &text) const { return text; }

QString SqlDialect::page(const QString &ordered, bool, const QString &limit, const QString &offset) const
{
    return ordered + QStringLiteral("\nLIMIT :%1 OFFSET :%2").arg(limit, offset);
}

QString SqlDialect::firstRows(const QString &ordered, const QString &rows) const
{
    return ordered + QStringLiteral("\nLIMIT :%1").arg(rows);
}

QVariant SqlDialect::nullValue(TParam::DataType type) const
{
    switch (type) {
    case TParam::DataType::Integer: return QVariant(QMetaType(QMetaType::LongLong));
    case TParam::DataType::Float: return QVariant(QMetaType(QMetaType::Double));
    case TParam::DataType::DateTime: return QVariant(QMetaType(QMetaType::QDateTime));
    case TParam::DataType::Date: return QVariant(QMetaType(QMetaType::QDate));
    default: return QVariant(QMetaType(QMetaType::QString));
    }
}

void SqlDialect::checkText(const QString &, const QString &, Markers) const {}

QString SqlDialect::textTooLong(const QString &name, int length, int limit, bool inBytes) const
{
    return QStringLiteral("O valor do parâmetro %1 tem %2 caracteres, e o %3 aceita no máximo %4 %5 num texto passado "
                          "a uma consulta. Escolha menos itens (por exemplo, menos serviços) e tente de novo.")
        .arg(name)
        .arg(length)
        .arg(this->name())
        .arg(limit)
        .arg(inBytes ? QStringLiteral("bytes") : QStringLiteral("caracteres"));
}

QVariant SqlDialect::bind(const TParam *param, Markers kind) const
{
    if (!param || param->IsNull())
        return nullValue(param ? param->dataType() : TParam::DataType::Unknown);
    QVariant v = param->Value();
    switch (v.typeId()) {
    case QMetaType::QString:
        // Host strings: empty is a value, never NULL.
        if (v.toString().isNull())
            v = QString(QLatin1String(""));
        checkText(param->Name(), v.toString(), kind);
        break;
    case QMetaType::Bool:
        v = v.toBool() ? 1 : 0;
        break;
    case QMetaType::QDate:
        v = dateValue(v.toDate());
        break;
    case QMetaType::QDateTime:
        v = dateTimeValue(v.toDateTime());
        break;
    default:
        break;
    }
    return v;
}

DatabaseFailure SqlDialect::failure(const QSqlDatabase &, const QSqlError &error) const
{
    DatabaseFailure f;
    f.engineText = SqlStatement::errorText(error);
    return f;
}

QString SqlDialect::insertRows(const QString &table, const QStringList &columns, int rows) const
{
    const QString row = QLatin1Char('(') + QStringList(columns.size(), QStringLiteral("?")).join(QLatin1String(", "))
                        + QLatin1Char(')');
    return QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
        .arg(table, columns.join(QLatin1String(", ")), QStringList(rows, row).join(QLatin1String(", ")));
}

QString SqlDialect::likePattern(const QString &text, bool prefix, bool brackets)
{
    QString escaped;
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_')
            || (brackets && c == QLatin1Char('[')))
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    return (prefix ? QString() : QStringLiteral("%")) + escaped + QStringLiteral("%");
}
