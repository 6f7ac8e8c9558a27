// The rows a search list offers, read a batch at a time so that a list over a
// large table opens as soon as its first page is read.
//
// fetch() may throw (EHostError for a database error); the search list
// reports such an error and stops reading.
//
// A row is the list of raw values of the columns (columns()), followed by
// the key value when the key field is not one of the shown columns
// (keyColumn() tells where the key is).
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

struct SearchColumn {
    QString label;     // display label of the field
    QString editMask;  // the field's edit mask; values are shown through it
    int indentBy = -1; // column whose value (a level number) indents this one
};

class SearchSource {
public:
    virtual ~SearchSource();

    virtual QList<SearchColumn> columns() const = 0;
    // Index into a row of the key value (may be columns().size(): hidden key).
    virtual int keyColumn() const = 0;
    // Appends up to `max` further rows to `out`; returns how many it appended.
    // Reading stops for good once a call appends fewer than `max`.
    virtual int fetch(int max, QList<QStringList> &out) = 0;
    virtual bool atEnd() const = 0;

    // A source that filters by itself (a database query, say) returns true
    // and, on setFilter, starts reading again from its first matching row.
    // Otherwise the search list filters the rows it has read.
    virtual bool filtersItself() const { return false; }
    virtual void setFilter(const QString &text) { Q_UNUSED(text); }

    // A source that reads its matching rows in one pass (a database cursor)
    // returns true and counts them as it reads: the list shows the first
    // rows, then calls countMore between the user's keystrokes until the
    // count is complete. countMore reads on for about budgetMs milliseconds
    // (at least one row) and returns true once every matching row is
    // counted; counted() is the number read so far, fetched ones included.
    // setFilter starts a new count. May throw like fetch().
    virtual bool countsItself() const { return false; }
    virtual bool countMore(int budgetMs) { Q_UNUSED(budgetMs); return true; }
    virtual qint64 counted() const { return -1; }
};
