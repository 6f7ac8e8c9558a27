#include "PostgresDialect.h"

#include <QSqlError>

bool PostgresDialect::wantsTypedMarkers(const QSqlError &error) const
{
    return error.nativeErrorCode() == QLatin1String("42P18");
}

QString PostgresDialect::filterTerm(const QString &column, const QString &param, bool, bool) const
{
    return QStringLiteral("FOLD(CAST(Q__.%1 AS TEXT)) LIKE FOLD(:%2) ESCAPE '\\'").arg(column, param);
}

QString PostgresDialect::filterValue(const QString &text, bool prefix) const
{
    // FOLD on the server folds it as it folds the column.
    return likePattern(text, prefix);
}

QString PostgresDialect::tableExistsQuery(const QString &table) const
{
    return QStringLiteral("SELECT 1 FROM information_schema.tables WHERE table_schema = current_schema() "
                          "AND upper(table_name) = '%1'")
        .arg(table.toUpper());
}
