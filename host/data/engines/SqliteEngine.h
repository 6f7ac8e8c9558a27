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
// - failureText(): the file busy past the timeout, a WAL database in a
//   folder this user cannot write, a text of more than one statement, a
//   write refused to a report.
#pragma once

#include "DatabaseEngine.h"

struct sqlite3;

class SqliteEngine : public DatabaseEngine {
public:
    static constexpr int kBusyTimeoutMs = 5000;

    SqlEngine kind() const override { return SqlEngine::SQLite; }
    QString driverName() const override { return QStringLiteral("QSQLITE"); }
    QString scriptFolder() const override { return QStringLiteral("sqlite"); }

    bool canOpenAgain(const QSqlDatabase &db) const override;
    void registerRoutines(const QSqlDatabase &db) const override;
    void registerForeignRoutines(const QSqlDatabase &db) const override;
    std::function<void()> interrupter(const QSqlDatabase &db) const override;
    bool onlyReads(const QSqlDatabase &db, const QString &sql) const override;
    QString failureText(const QSqlDatabase &db, const QSqlError &error) const override;
    bool drop(const ConnectionDescription &description) const override;

    // SQLite's "database is locked" (busy or locked).
    static bool isBusy(const QSqlError &error);
    // The sqlite3 handle of an open SQLite connection; throws EHostError for
    // a connection that is not one.
    static sqlite3 *handle(const QSqlDatabase &db);

protected:
    bool toCreate(const ConnectionDescription &description) const override;
    void create(const ConnectionDescription &description) const override;
    QString tableQuery() const override;
    QSqlDatabase add(const ConnectionDescription &description) const override;
    void openReadOnly(QSqlDatabase &db) const override;
};
