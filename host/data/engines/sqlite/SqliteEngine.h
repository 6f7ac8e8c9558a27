// The SQLite engine: a database is a file ("sqlite:PATH").
//
// - A missing file, or an empty (0-byte) one, is made only with create; it is
//   built in PATH.part and renamed to PATH only when complete (folders made
//   as needed), so an interrupted run leaves no half database behind. The
//   databases it makes use write-ahead logging (WAL): readers and one writer
//   of other programs never wait for each other. Without create, a missing
//   file (folder included) or an empty one throws EHostError naming the path
//   and what to do; nothing is made there.
// - A statement waits kBusyTimeoutMs for a file another program is writing
//   (the busy timeout), then fails with a text that names the file and,
//   when the kernel tells, the program (FileLockHolder).
// - The routines the statements call (PARAM, NVLSTR, INSTR, UPPER, LOWER,
//   FOLD, FOLD_INSTR: SqliteRoutines) are registered on every connection.
// - A read-only connection (reports) is opened read-only, with
//   query_only set and an authorizer that allows reading alone (no ATTACH,
//   no PRAGMA, no writing).
// - interrupter(): sqlite3_interrupt on the connection's handle.
// - Its statements, values and failures: SqliteDialect.
#pragma once

#include "SqliteDialect.h"
#include "data/engines/DatabaseEngine.h"

struct sqlite3;

class SqliteEngine : public DatabaseEngine {
public:
    static constexpr int kBusyTimeoutMs = 5000;

    const SqlDialect &dialect() const override { return m_dialect; }
    QString driverName() const override { return QStringLiteral("QSQLITE"); }
    QString scriptFolder() const override { return QStringLiteral("sqlite"); }
    QStringList schemes() const override { return {QStringLiteral("sqlite")}; }
    QString locationForms() const override { return QStringLiteral("sqlite:ARQUIVO"); }
    bool readLocation(const QString &rest, DatabaseLocation &location) const override;
    QString locationText(const DatabaseLocation &location) const override;
    bool isLocalFile(const DatabaseLocation &) const override { return true; }

    bool canOpenAgain(const QSqlDatabase &db) const override;
    void registerRoutines(const QSqlDatabase &db) const override;
    // Search-index triggers that call FOLD (which only this program
    // registers, so no other program could write the tables) become the
    // script's plain ones; INDICEPESQ learns each index's table.
    void upgrade(const QSqlDatabase &db, const QString &schemaScript) const override;
    std::function<void()> interrupter(const QSqlDatabase &db) const override;
    bool onlyReads(const QSqlDatabase &db, const QString &sql) const override;
    bool drop(const ConnectionDescription &description) const override;

    // The sqlite3 handle of an open SQLite connection; throws EHostError for
    // a connection that is not one.
    static sqlite3 *handle(const QSqlDatabase &db);

protected:
    bool toCreate(const ConnectionDescription &description) const override;
    void create(const ConnectionDescription &description) const override;
    QString tableQuery() const override;
    QSqlDatabase add(const ConnectionDescription &description) const override;
    void openReadOnly(QSqlDatabase &db) const override;

private:
    SqliteDialect m_dialect;
};
