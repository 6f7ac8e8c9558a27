// The data set of a TADOIBQuery (its Query member), as data sources and
// search lists see it: the cursor operations, the statement and values that
// run, the fields with their labels, visibility and edit masks, and lazy
// paging for lists of a million rows.
//
// Paging and filtering run the query's dialect text (with the values the
// cursor was opened with, or the current ones when it is closed) as a
// derived table Q__ under a filter, with the engine's row limit; the text's
// own ORDER BY gives the order of the pages and is written outside the
// derived table. LookupSql and the engine's dialect say how, and how a
// filter matches: the text occurring in (or, with prefix, starting) the
// value of any of the given columns, case and accents aside on every engine;
// % and _ typed by the user are plain characters. Where the engine has a
// search index that narrows a filter (SqlDialect::Feature::
// SearchIndexNarrowing) and one (SearchIndexes) serves the filter's key and
// columns, it narrows the rows first.
// Column names are checked against the result's columns, so nothing the
// user types reaches the statement text.
#pragma once

#include "SearchIndexes.h"

#include <QObject>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>
#include <functional>
#include <memory>

class LookupSql;
class SqlStatement;
class TADOIBQuery;
class TParams;
class TADOIBStringField;

struct RowFilter {
    QString text;          // empty: every row
    QStringList columns;   // result columns searched
    bool prefix = false;   // false: contains the text; true: starts with it
    QString keyColumn;     // the rows' key, for a search index; may be empty
};

class TADOIBDataSet : public QObject {
    Q_OBJECT
public:
    // Rows one FetchPage call returns at most.
    static constexpr int MaxPageRows = 10000;

    explicit TADOIBDataSet(TADOIBQuery *query);
    TADOIBQuery *query() const;

    // --- cursor (the query's) ------------------------------------------------
    bool Active() const;
    void Open();
    void Close();
    void First();
    void Next();
    bool GetEOF() const;
    bool IsEmpty() const;
    TADOIBStringField *FieldByName(const QString &name);

    // --- what runs -------------------------------------------------------------
    // The named text of the shared database's dialect.
    QString ExecutedSql() const;
    // Parameter name -> value bound (a null QVariant is NULL).
    QVariantMap BoundValues() const;

    // --- fields ------------------------------------------------------------------
    // Result columns in order (runs the statement for no rows when closed).
    QStringList ColumnNames();
    // The persistent fields; when there are none, a transient field per column.
    QList<TADOIBStringField *> Fields();
    QList<TADOIBStringField *> VisibleFields();

    // --- lazy paging ---------------------------------------------------------------
    qint64 CountRows(const RowFilter &filter = RowFilter());
    // Up to limit rows from offset, each the values of ColumnNames() in order.
    QList<QVariantList> FetchPage(const RowFilter &filter, qint64 offset, int limit);
    // Runs the query once for every row the filter matches, in the query's
    // order, read forward only (a list shows the first rows and counts the
    // rest from the same run). On Firebird, a list in the order of one
    // indexed column is first asked how many of its first probeRows() rows
    // in that order match: fewer than DenseRows, and the rows are read in
    // storage order and sorted instead of walked through the index; when a
    // search index (SearchIndexes) serves the filter's key and columns, its
    // folded texts are read instead of the rows, and only the rows they
    // match are looked up.
    std::unique_ptr<SqlStatement> OpenScan(const RowFilter &filter);
    static constexpr int DenseRows = 100;
    static int probeRows();
    // Tests make it small, to see both ways on a small table.
    static void setProbeRows(int rows);
    // Opens the query on the one row whose keyField equals value (the search
    // lists' choice); false, the query open and empty, when there is none.
    // After it, Next() reaches the end: only that row is in the cursor.
    bool OpenOnKey(const QString &keyField, const QVariant &value);
    // Opens the query when closed, runs it from its first row and stops on the
    // first row whose field equals value (compared as text); when there is
    // none it returns false and the cursor is back on the first row.
    bool Locate(const QString &field, const QVariant &value);

private:
    QString innerText() const;
    // The WHERE condition of a filter; adds the values it needs to params.
    QString filterClause(const RowFilter &filter, TParams &params);
    QString checkedColumn(const QString &name, const QStringList &columns) const;
    // The search index serving the filter's key and columns (none without a
    // key); key: the key's result column.
    SearchIndexes::Index servingIndex(const RowFilter &filter, QString *key);
    // Runs text(where) with the filter's WHERE and the run's values plus more.
    std::unique_ptr<SqlStatement> execFiltered(const RowFilter &filter, const std::function<QString(const QString &)> &text,
                                               const TParams *more = nullptr);

    QString m_columnsOf; // the text whose result columns m_columns holds
    QStringList m_columns;
    // Firebird: the column of an index that orders the text's rows ("": none).
    QString indexedOrderColumn(const LookupSql &sql);
    bool fewMatchFirstRows(const RowFilter &filter, const LookupSql &sql, const QString &column);
    // The rows sorted by column, through a search index when one serves.
    std::unique_ptr<SqlStatement> sortedScan(const RowFilter &filter, const LookupSql &sql, const QString &column);

    QString m_castFilterFor; // Firebird: the text whose filters cast their columns
    QString m_orderIndexOf;  // the text whose m_orderIndex was found
    QString m_orderIndex;
};
