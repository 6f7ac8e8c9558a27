// The statements a look-up list runs around a query's own text, for each
// engine: the rows as a derived table Q__ under a filter, their count, a
// page of them, and the filter's terms.
//
// A text that ends in ORDER BY is not put inside the derived table as it
// is (some engines refuse an ORDER BY there, and none promises to keep it):
// the order is taken outside, each item naming the result column
// (Q__.COLUMN, or the same position). When an item is not a result column
// (an expression), the order stays inside, as the dialect allows it there
// (SqlDialect::orderedInside).
// An engine that walks an index to give a filtered list in its order
// (SqlDialect::Feature::SortedScanForSparseFilters) reads every row twice
// over when few rows match (index, then record), and reading the rows in
// storage order and sorting the few that match is cheaper: sortedOrdered()
// orders by an expression of the column, which no index serves, and
// firstRowsMatching() counts the matches among the first rows of the order,
// to tell the two cases apart.
// Paging, and the filters' terms and values, are the dialect's
// (SqlDialect::page, filterTerm, filterValue).
#pragma once

#include <QString>
#include <QStringList>

class SqlDialect;

class LookupSql {
public:
    // text: a statement (no trailing ';'); dialect: the engine's that runs it.
    LookupSql(const QString &text, const SqlDialect &dialect);

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
    // The count of rows under where among the first :rows rows in the order
    // of column (a result column).
    QString firstRowsMatching(const QString &where, const QString &column, const QString &rows) const;
    // ordered() by column, sorted rather than walked in an index.
    QString sortedOrdered(const QString &where, const QString &column) const;
    // sortedOrdered() of the rows whose key is in a search table's rows
    // (SearchIndexes) matching the LIKE pattern in parameter match. The
    // table is read whole and the rows looked up by key, not the reverse.
    QString sortedThroughIndex(const QString &where, const QString &column, const QString &index, const QString &key,
                               const QString &match) const;

private:
    // The ORDER BY to write outside, "" when the order stays inside.
    QString outerOrder(const QStringList &columns) const;
    QString inner(bool orderInside) const;

    QString m_text, m_body;
    QStringList m_order;
    const SqlDialect *m_dialect;
};
