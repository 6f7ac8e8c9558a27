// The rows of a query's data set (TADOIBDataSet) as a search list reads
// them, filtered by the database: one run of the query per filter
// (OpenScan) gives the first rows and then, a slice at a time
// (countMore), the count of the rest. Counting keeps up to kAheadRows rows
// read ahead for the list; rows counted beyond those are dropped, and should
// the list scroll that far they are read again a page at a time
// (FetchPage). The run ends (its cursor closes) once the count is complete.
//
// Columns: the named fields in that order, else the data set's visible
// fields; each shown under its display label and through its edit mask.
// The key field (default: the first shown column) identifies the row that
// positionOn() opens the query on; it must identify one row.
// Filter: the database's rule (TADOIBDataSet: upper-cased text contained
// in any shown column). A filter made only of letters, digits and the
// literal characters of a shown column's edit mask, holding at least one
// such literal, is a code typed with its separators: the literals are
// dropped, since the stored codes hold none ("01.02" finds 0102...).
#pragma once

#include "core/SearchSource.h"

#include <QPointer>
#include <memory>

class SqlStatement;
class TADOIBDataSet;
struct RowFilter;

class SearchDataSetSource : public SearchSource {
public:
    struct Options {
        QString keyField;        // empty: the first shown column
        QStringList fields;      // empty: the visible fields
        QString levelField;      // indents the name column by level
        QString nameField;       // the column indented by level
    };

    static constexpr int kAheadRows = 10000;

    SearchDataSetSource(TADOIBDataSet *dataSet, const Options &options);
    ~SearchDataSetSource() override;

    QList<SearchColumn> columns() const override { return m_columns; }
    int keyColumn() const override { return m_keyIndex; }
    int fetch(int max, QList<QStringList> &out) override;
    bool atEnd() const override { return m_atEnd; }
    bool filtersItself() const override { return true; }
    void setFilter(const QString &text) override;
    bool countsItself() const override { return true; }
    bool countMore(int budgetMs) override;
    qint64 counted() const override { return m_counted; }

    QString keyField() const { return m_keyField; }
    // Opens the query on the row whose key is `key`; false when it is gone.
    bool positionOn(const QString &key);

private:
    TADOIBDataSet *dataSet() const;
    RowFilter filter() const;
    void startScan();
    // Next row of the run into row (when given); false at its end.
    bool readRow(QStringList *row);
    int fetchAgain(int max, QList<QStringList> &out);

    QPointer<TADOIBDataSet> m_dataSet;
    QList<SearchColumn> m_columns;
    QStringList m_rowColumns;    // result columns read into a row, in order
    QList<int> m_resultIndex;    // their index among the result's columns
    int m_keyIndex = 0;
    QString m_keyField;
    QString m_maskLiterals;
    QString m_filter;
    std::unique_ptr<SqlStatement> m_scan;
    bool m_scanDone = false;
    QList<QStringList> m_ahead; // read by counting, not fetched yet
    bool m_dropping = false;    // counting went past kAheadRows
    qint64 m_counted = 0;       // rows the run has read
    qint64 m_offset = 0;        // rows handed to the list
    bool m_atEnd = false;
};
