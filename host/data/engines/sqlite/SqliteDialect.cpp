#include "SqliteDialect.h"
#include "data/TextFold.h"

#include <QDate>

bool SqliteDialect::has(Feature feature) const
{
    return feature == Feature::SearchIndexNarrowing || feature == Feature::SearchIndexCatchUp;
}

QString SqliteDialect::filterTerm(const QString &column, const QString &param, bool prefix, bool) const
{
    return QStringLiteral("FOLD_INSTR(Q__.%1, :%2) %3")
        .arg(column, param, prefix ? QLatin1String("= 1") : QLatin1String("> 0"));
}

QString SqliteDialect::filterValue(const QString &text, bool) const { return text; }

QString SqliteDialect::tableExistsQuery(const QString &table) const
{
    return QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND upper(name) = '%1'")
        .arg(table.toUpper());
}

QString SqliteDialect::searchIndexValue(const QString &text, const QStringList &columns) const
{
    // The trigram tokenizer needs three characters: a shorter text uses no index.
    const QString folded = TextFold::fold(text);
    if (folded.size() < 3)
        return {};
    QString quoted = folded;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('{') + columns.join(QLatin1Char(' ')) + QLatin1String("} : \"") + quoted + QLatin1Char('"');
}

QString SqliteDialect::searchIndexTerm(const QString &key, const QString &table, const QString &match) const
{
    return QStringLiteral("Q__.%1 IN (SELECT CHAVE FROM %2 WHERE %2 MATCH :%3)").arg(key, table, match);
}

QVariant SqliteDialect::dateValue(const QDate &date) const { return date.toString(Qt::ISODate); }

QVariant SqliteDialect::dateTimeValue(const QDateTime &dateTime) const
{
    const QTime t = dateTime.time();
    if (t == QTime(0, 0))
        return dateTime.date().toString(Qt::ISODate);
    return dateTime.toString(t.msec() ? QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")
                                      : QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QVariant SqliteDialect::nullValue(TParam::DataType type) const
{
    if (type == TParam::DataType::Date || type == TParam::DataType::DateTime)
        return QVariant(QMetaType(QMetaType::QString));
    return SqlDialect::nullValue(type);
}
