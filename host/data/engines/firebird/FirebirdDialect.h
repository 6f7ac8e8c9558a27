// Firebird's statements, values and failures.
//
// - The statement texts "SQL_IB". Every marker of a statement the data layer
//   writes is cast (Markers::Typed): Qt's QIBASE driver sends a NULL as ''
//   or 0 wherever Firebird describes a parameter as not nullable (a plain
//   "COL = ?", a PSQL function's inputs); a cast parameter is always
//   nullable, and it also keeps Firebird from describing the parameter by
//   the column's length. A text cast so holds at most kMaxTypedText
//   characters: a longer one is refused, named, before the statement runs.
//   A report's own texts get bare markers; where Firebird cannot tell a
//   marker's type ("Data type unknown") they are cast too
//   (TypedMarkersOnRetry).
// - Paging with FIRST/SKIP; filters with CONTAINING / STARTING WITH under the
//   collation WIN_PTBR over WIN1252 text (FilterNeedsTextCast: a column that
//   is not such text is cast first); a filter few rows match is read in
//   storage order and sorted (SortedScanForSparseFilters), through the
//   narrow search tables where one serves (searchIndexValue(): a LIKE
//   pattern over the folded columns joined by the character 1).
// - failure(): the client's words for a connection that is gone; "string
//   right truncation" as TextTooLong with both lengths.
// - Inserts of many rows as one EXECUTE BLOCK of about 400 values (its input
//   message stays under 64 KB), parameters typed as their columns.
#pragma once

#include "data/engines/SqlDialect.h"

class FirebirdDialect : public SqlDialect {
public:
    static constexpr int kMaxTypedText = 8191;

    QString name() const override { return QStringLiteral("Firebird"); }
    QString statementProperty() const override { return QStringLiteral("SQL_IB"); }
    bool has(Feature feature) const override;
    QString marker(const TParam *param, Markers kind) const override;
    QString typedMarker(const TParam *param) const override;
    bool wantsTypedMarkers(const QSqlError &error) const override;
    QString page(const QString &ordered, bool outerOrder, const QString &limit, const QString &offset) const override;
    QString firstRows(const QString &ordered, const QString &rows) const override;
    QString filterTerm(const QString &column, const QString &param, bool prefix, bool castToText) const override;
    QString filterValue(const QString &text, bool prefix) const override;
    QString tableExistsQuery(const QString &table) const override;
    QString searchIndexValue(const QString &text, const QStringList &columns) const override;
    QString leadingIndexQuery(const QString &column) const override;
    void checkText(const QString &name, const QString &text, Markers kind) const override;
    DatabaseFailure failure(const QSqlDatabase &db, const QSqlError &error) const override;
    int valuesPerInsert() const override { return 400; }
    QString insertRows(const QString &table, const QStringList &columns, int rows) const override;

    // The Firebird type a parameter's marker is cast to.
    static QString castType(const TParam *param);
};
