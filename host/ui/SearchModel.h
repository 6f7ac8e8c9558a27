// Table model of a search list: reads its source a batch at a time, narrows
// the rows to those matching a filter text, and keeps the ticks of a
// multiple choice by key (so that ticks survive filtering).
//
// Filter rule, for sources that do not filter themselves: a row matches when
// some shown column contains the filter text, ignoring case and accents; for
// a column with an edit mask the mask's literal characters may be typed or
// left out ("01.02" finds 0102). Sources that filter themselves (database
// queries) apply their own rule.
//
// Count: a source that counts itself (one run of a query per filter) is
// asked, after the first page, to count the rest a slice of countSliceMs()
// at a time from the event loop, so typing goes on meanwhile; total() is
// known once it is done. For other sources the total is known once every
// row is read.
//
// A read that fails after the list is open (scrolling, filtering) stops
// reading and is reported by readFailed(); the first batch, read by the
// constructor, lets its exception through to the caller.
#pragma once

#include "core/SearchSource.h"

#include <QAbstractTableModel>
#include <QSet>
#include <QVector>

class QTimer;

class SearchModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kBatch = 100;
    // The time one slice of counting may hold the event loop (15 ms); tests
    // shorten it to see a count spread over many slices on any machine.
    static int countSliceMs();
    static void setCountSliceMs(int ms);

    SearchModel(SearchSource &source, bool multiple, const QStringList &ticked, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

    void setFilter(const QString &text);
    QString filter() const { return m_filter; }
    // Reads on until at least n rows are shown or the source ends.
    void ensureRows(int n);

    // The source row (order of reading) behind a shown row.
    int sourceRow(int viewRow) const;
    QString key(int sourceRow) const;
    QString displayText(int sourceRow, int column) const;
    int fetchedCount() const { return int(m_rows.size()); }
    bool sourceAtEnd() const { return m_source.atEnd(); }

    void toggle(int viewRow);
    bool isTicked(int viewRow) const;
    int tickedCount() const { return int(m_ticked.size()); }
    // Ticked keys in the order of the rows; keys ticked beforehand that the
    // source does not hold are dropped (reads the rest of the source then).
    QStringList tickedKeys();

    // Case and accent folding used by the filter.
    static QString fold(const QString &s);

    QString readError() const { return m_readError; }
    // What the list says of a read that failed (the window's status line and
    // scripted sessions alike); empty while reads succeed.
    QString readErrorMessage() const
    {
        return m_readError.isEmpty() ? QString() : QStringLiteral("Erro ao ler a lista: ") + m_readError;
    }

    // Rows matching the filter: -1 while not known yet.
    qint64 total() const;
    // Rows known to match so far (all of them once total() is known).
    qint64 countedSoFar() const;
    bool counting() const { return !m_countDone && m_readError.isEmpty(); }
    // Counts to the end at once (scripted sessions); a source that does not
    // count itself is read to its end.
    void countAll();

signals:
    void readFailed(const QString &text);
    void countChanged();

private:
    // Reads like fetchBatch, turning an exception into readFailed().
    int safeFetchBatch();
    bool matches(const QStringList &row) const;
    int fetchBatch();
    void restartCount();
    void countSlice();

    SearchSource &m_source;
    QList<SearchColumn> m_columns;
    QVector<QString> m_maskLiterals; // per column: literal characters of its mask
    int m_keyColumn = 0;
    bool m_multiple = false;
    QList<QStringList> m_rows;
    bool m_filtered = false;
    QVector<int> m_visible; // source rows shown while a filter is set
    QString m_filter;
    QString m_needle;       // folded filter
    QSet<QString> m_ticked;
    QString m_readError;
    QTimer *m_countTimer = nullptr;
    bool m_countDone = true;
};
