// SQLite's statements, values and failures.
//
// - Filters through FOLD_INSTR (SqliteRoutines), narrowed by the search
//   indexes' FTS5 tables (SearchIndexNarrowing: an FTS5 trigram query over the
//   folded text; writes queued in PESQPENDENTE are folded in first,
//   SearchIndexCatchUp).
// - Dates are kept as text: a date, or a date-time at midnight, is bound as
//   'YYYY-MM-DD' (so that it equals and orders with a stored date), any other
//   date-time as 'YYYY-MM-DD HH:MM:SS[.zzz]'; a NULL date is a NULL text.
// - failure(): a file busy past the busy timeout (naming who holds it), a WAL
//   database in a folder this user cannot write, a text of more than one
//   statement, a write refused to a report's connection.
// - One row per insert statement: a prepared statement per row is as fast
//   on a file, and never meets the limit on a statement's values.
#pragma once

#include "data/engines/SqlDialect.h"

class SqliteDialect : public SqlDialect {
public:
    QString name() const override { return QStringLiteral("SQLite"); }
    bool has(Feature feature) const override;
    QString filterTerm(const QString &column, const QString &param, bool prefix, bool castToText) const override;
    QString filterValue(const QString &text, bool prefix) const override;
    QString tableExistsQuery(const QString &table) const override;
    QString searchIndexValue(const QString &text, const QStringList &columns) const override;
    QString searchIndexTerm(const QString &key, const QString &table, const QString &match) const override;
    QVariant dateValue(const QDate &date) const override;
    QVariant dateTimeValue(const QDateTime &dateTime) const override;
    QVariant nullValue(TParam::DataType type) const override;
    DatabaseFailure failure(const QSqlDatabase &db, const QSqlError &error) const override;
    int valuesPerInsert() const override { return 1; }
};
