// A connection of a report's own thread to the database that another
// connection uses: Qt SQL connections belong to the thread that opened them,
// so a run on a worker thread opens its own, to the same database with the
// same engine, user, password and options, its routines registered
// (DatabaseEngine::openAgain), in the source's dialect. A report only reads: the
// connection cannot change the database (DatabaseEngine::Access::ReadOnly:
// SQLite read-only with writes and ATTACH refused, Firebird in a transaction
// that is rolled back when the connection closes).
//
// interrupter() stops the statement running on the connection, from any
// thread (DatabaseEngine::interrupter); with an engine that has none, runs
// stop between rows.
#pragma once

#include <QSqlDatabase>
#include <functional>

class ReportConnection {
public:
    // Whether the database behind db can be opened a second time (a SQLite
    // database in memory cannot: it belongs to its one connection).
    static bool canOpenAgain(const QSqlDatabase &db);

    // Opens, on the calling thread, a new connection to the database of the
    // connection named source. Throws EHostError with the driver's text.
    explicit ReportConnection(const QString &source);
    // Closes and removes the connection (on the thread that opened it).
    ~ReportConnection();
    ReportConnection(const ReportConnection &) = delete;
    ReportConnection &operator=(const ReportConnection &) = delete;

    QSqlDatabase database() const;
    std::function<void()> interrupter() const;

private:
    QString m_name;
};
