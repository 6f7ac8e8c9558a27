// PostgreSQL's statements, values and failures.
//
// - The default statement texts ("SQL"), markers bare; where the server
//   cannot tell a parameter's type from where it stands (":P IS NULL", a
//   bare item of the select list: SQLSTATE 42P18) the statement is prepared
//   again with every marker cast to its value's type (TypedMarkersOnRetry).
// - Filters: LIKE over FOLD (the schema's routine) of both sides, the form
//   of the schema's trigram indexes, so that they serve.
// - failure(): SQLSTATE 08xxx and 57P01-57P03 and libpq's words for a
//   connection that is gone; 25006 (a write in a read-only transaction) as
//   ReadOnly, 42501 as Permission, 57014 (statement_timeout) as TimedOut.
// - Inserts of many rows as one INSERT of a thousand values.
#pragma once

#include "data/engines/SqlDialect.h"

class PostgresDialect : public SqlDialect {
public:
    QString name() const override { return QStringLiteral("PostgreSQL"); }
    bool has(Feature feature) const override { return feature == Feature::TypedMarkersOnRetry; }
    bool wantsTypedMarkers(const QSqlError &error) const override;
    QString filterTerm(const QString &column, const QString &param, bool prefix, bool castToText) const override;
    QString filterValue(const QString &text, bool prefix) const override;
    QString tableExistsQuery(const QString &table) const override;
    DatabaseFailure failure(const QSqlDatabase &db, const QSqlError &error) const override;
};
