// Where a report run keeps its rows between laying them out and painting
// them. A store is written once, from one thread, then read by any number of
// readers, one per thread. Each row has a token, given when it is appended,
// that a reader can seek back to (a page starts at such a row).
#pragma once

#include <QList>
#include <QVariant>
#include <QVector>
#include <memory>

class ReportRowReader {
public:
    virtual ~ReportRowReader() = default;
    // The next row read starts at the row of that token.
    virtual void seek(qint64 token) = 0;
    // Reads the next row; false after the last one. Throws EHostError when
    // the store cannot be read.
    virtual bool next(QVector<QVariant> &row) = 0;
};

class ReportRowStore {
public:
    virtual ~ReportRowStore() = default;
    // Appends a row; returns its token. Throws EHostError when it cannot.
    virtual qint64 append(const QVector<QVariant> &row) = 0;
    // Called once after the last row, before any reader reads.
    virtual void finish() = 0;
    virtual qint64 rowCount() const = 0;
    virtual std::unique_ptr<ReportRowReader> reader() const = 0;
};

// Rows kept in memory (small runs, tests); the token is the row's index.
// With a list given, reads that list (which must outlive the store); append
// then only counts, the rows being there already in the same order.
class ReportMemoryRows : public ReportRowStore {
public:
    ReportMemoryRows() : m_rows(&m_own) {}
    explicit ReportMemoryRows(const QList<QVector<QVariant>> &rows) : m_rows(&rows), m_given(true) {}

    qint64 append(const QVector<QVariant> &row) override;
    void finish() override {}
    qint64 rowCount() const override { return m_given ? m_counted : m_rows->size(); }
    std::unique_ptr<ReportRowReader> reader() const override;

private:
    QList<QVector<QVariant>> m_own;
    const QList<QVector<QVariant>> *m_rows;
    bool m_given = false;
    qint64 m_counted = 0;
};
