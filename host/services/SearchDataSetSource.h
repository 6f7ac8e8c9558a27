// The rows of a query's data set (TADOIBDataSet) as a search list reads
// them: a page at a time through FetchPage, filtered by the database.
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

#include "toolkit/SearchSource.h"

#include <QPointer>

class TADOIBDataSet;

class SearchDataSetSource : public SearchSource {
public:
    struct Options {
        QString keyField;        // empty: the first shown column
        QStringList fields;      // empty: the visible fields
        QString levelField;      // indents the name column by level
        QString nameField;       // the column indented by level
    };

    SearchDataSetSource(TADOIBDataSet *dataSet, const Options &options);

    QList<SearchColumn> columns() const override { return m_columns; }
    int keyColumn() const override { return m_keyIndex; }
    int fetch(int max, QList<QStringList> &out) override;
    bool atEnd() const override { return m_atEnd; }
    bool filtersItself() const override { return true; }
    void setFilter(const QString &text) override;

    QString keyField() const { return m_keyField; }
    // Opens the query on the row whose key is `key`; false when it is gone.
    bool positionOn(const QString &key);

private:
    QPointer<TADOIBDataSet> m_dataSet;
    QList<SearchColumn> m_columns;
    QStringList m_rowColumns;    // result columns read into a row, in order
    QList<int> m_resultIndex;    // their index among the result's columns
    int m_keyIndex = 0;
    QString m_keyField;
    QString m_maskLiterals;
    QString m_filter;
    qint64 m_offset = 0;
    bool m_atEnd = false;
};
