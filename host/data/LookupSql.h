// The statements a look-up list runs around a query's own text, for each
// engine: the rows as a derived table Q__ under a filter, their count, a
// page of them, and the filter's terms.
//
// A text that ends in ORDER BY is not put inside the derived table as it
// is (SQL Server refuses an ORDER BY there, and no engine promises to keep
// it): the order is taken outside, each item naming the result column
// (Q__.COLUMN, or the same position). When an item is not a result column
// (an expression), the order stays inside, on SQL Server with OFFSET 0 ROWS,
// which makes it legal there.
// Firebird walks an index to give a filtered list in its order; when few
// rows match, that walk reads every row twice over (index, then record),
// and reading the rows in storage order and sorting the few that match is
// cheaper: sortedOrdered() orders by an expression of the column, which no
// index serves, and firstRowsMatching() counts the matches among the first
// rows of the order, to tell the two cases apart.
// Paging: Firebird FIRST/SKIP; Oracle and SQL Server OFFSET ... FETCH NEXT;
// the others LIMIT/OFFSET.
// Filters: a row matches when the text occurs in (or, with prefix, starts)
// a column's value, case and accents aside, on every engine: SQLite
// FOLD_INSTR (SqliteRoutines); Firebird CONTAINING (STARTING WITH) under the
// collation WIN_PTBR over the value as WIN1252 text; PostgreSQL LIKE over
// FOLD (the schema's routine) of both sides; SQL Server LIKE under
// the collation Latin1_General_CI_AI; the others LIKE over the value
// lower-cased and put through TRANSLATE from accented letters to the
// letters TextFold gives them. % and _ typed by the user are plain
// characters (escaped with \ for LIKE; on SQL Server [ too).
#pragma once

#include "SqlDialect.h"

#include <QString>
#include <QStringList>

class LookupSql {
public:
    // text: a statement (no trailing ';').
    LookupSql(const QString &text, SqlEngine engine);

    // The statement without its trailing ORDER BY, and that clause's items
    // (empty when it has none).
    const QString &body() const { return m_body; }
    const QStringList &orderItems() const { return m_order; }

    // SELECT * FROM (body) Q__ [WHERE where]: for counting and columns.
    QString unordered(const QString &where) const;
    // The rows in the statement's order; columns: the result's columns.
    QString ordered(const QString &where, const QStringList &columns) const;
    // One page of ordered(): limit and offset are parameter names.
    QString page(const QString &where, const QStringList &columns, const QString &limit, const QString &offset) const;

    // The one result column the text is ordered by, ascending as it is
    // written (no DESC, no NULLS clause); "" when its order is another.
    QString orderColumn(const QStringList &columns) const;
    // Firebird: the count of rows under where among the first :rows rows in
    // the order of column (a result column).
    QString firstRowsMatching(const QString &where, const QString &column, const QString &rows) const;
    // Firebird: ordered() by column, sorted rather than walked in an index.
    QString sortedOrdered(const QString &where, const QString &column) const;
    // Firebird: sortedOrdered() of the rows whose key is in a search index's
    // rows (SearchIndexes) matching the LIKE pattern in parameter match. The
    // index is read whole and the rows looked up by key, not the reverse.
    QString sortedThroughIndex(const QString &where, const QString &column, const QString &index, const QString &key,
                               const QString &match) const;

    // The condition that the filter parameter param (its value from
    // filterValue) puts on column of Q__. Firebird: without castToText the
    // column must be WIN1252 text (the collation applies to it as it is,
    // half the work of a cast); with it, any column is cast first.
    static QString filterTerm(const QString &column, const QString &param, bool prefix, SqlEngine engine,
                              bool castToText = true);
    static QString filterValue(const QString &text, bool prefix, SqlEngine engine);

private:
    // The ORDER BY to write outside, "" when the order stays inside.
    QString outerOrder(const QStringList &columns) const;
    QString inner(bool orderInside) const;

    QString m_text, m_body;
    QStringList m_order;
    SqlEngine m_engine;
};
