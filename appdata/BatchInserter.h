// Writes many rows into one table quickly, for the demo data and the large
// data sets of the benchmarks and tests.
//
// As many rows go in one statement as the engine's dialect takes
// (SqlDialect::valuesPerInsert, insertRows), so that a server is not asked
// once a row; dates go as the engine keeps them. Rows are written in
// transactions of commitEvery rows; each one starts with statements
// prepared anew, because Qt's Firebird driver keeps the transaction a
// statement was prepared in, and that one is gone after a commit.
// add() and finish() throw EHostError with the database's text; rows not
// committed when the object goes without finish() are rolled back.
#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QVariantList>
#include <memory>

class SqlDialect;

class BatchInserter {
public:
    static constexpr int DefaultCommitEvery = 50000;

    BatchInserter(const QSqlDatabase &db, const QString &table, const QStringList &columns,
                  int commitEvery = DefaultCommitEvery);
    ~BatchInserter();
    BatchInserter(const BatchInserter &) = delete;
    BatchInserter &operator=(const BatchInserter &) = delete;

    // One row: a value per column, in the columns' order.
    void add(const QVariantList &values);
    // Writes what is pending and commits.
    void finish();
    qint64 written() const { return m_written; }
    // Rows one statement carries.
    int rowsPerStatement() const { return m_rowsPerStatement; }

private:
    QString statementText(int rows) const;
    void begin();
    void commit();
    void flush();
    void run(QSqlQuery &query, int rows);

    QSqlDatabase m_db;
    const SqlDialect *m_dialect;
    QString m_table;
    QStringList m_columns;
    int m_commitEvery;
    int m_rowsPerStatement = 1;
    bool m_open = false;
    std::unique_ptr<QSqlQuery> m_full; // prepared for m_rowsPerStatement rows
    QVariantList m_pending;           // values of rows not written yet
    qint64 m_written = 0;
    qint64 m_inTransaction = 0;
};
