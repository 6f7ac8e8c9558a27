// The shell's shared database as the host's components see it: the Qt
// connection that the shell's data module opened, the engine behind it, and
// the statement dialect that queries run on it.
//
// The shell installs its connection by name when it opens the database and
// uninstalls it before closing; queries close themselves on closing().
//
// Reconnecting: a statement that fails because the connection itself is gone
// (a Firebird server killed or restarted: isConnectionLoss) marks the
// connection lost (noteFailure) and throws a text that says so. The next
// database() emits closing(), closes the connection and opens it again with
// the same settings; when that fails it throws the reason and tries again at
// the call after. So once the server is back the next action works, without
// restarting the shell.
#pragma once

#include <QObject>
#include <QSqlDatabase>
#include <QSqlError>

class SqlDialect;

class HostDatabase : public QObject {
    Q_OBJECT
public:
    static HostDatabase &instance();

    void install(const QString &connectionName);
    // Emits closing() first, so that open queries let go of the connection.
    void uninstall();
    bool isInstalled() const { return !m_connection.isEmpty(); }
    QString connectionName() const { return m_connection; }

    // The connection; throws EHostError when none is open, or when it was
    // lost and cannot be opened again yet.
    QSqlDatabase database();
    // The dialect of the connection (SqlDialect::of). Throws as database().
    const SqlDialect &dialect();

    // True when error, on db, says the connection itself is gone (network
    // errors, connection shut down: SqlDialect::failure), not that one
    // statement failed.
    static bool isConnectionLoss(const QSqlDatabase &db, const QSqlError &error);
    // Called by the statement that saw error on db: a loss on the installed
    // connection marks it lost. True when it did.
    bool noteFailure(const QSqlDatabase &db, const QSqlError &error);
    // Called when db's connection was closed under a statement (its server
    // did not answer: StatementWatch): the installed connection is lost.
    void noteLost(const QSqlDatabase &db);
    bool isLost() const { return m_lost; }
    // Where db is, for messages (DatabaseEngine::where): "firebird://HOST:PORT/PATH"
    // of a server connection, the file of any other.
    static QString where(const QSqlDatabase &db);

signals:
    void closing();
    // The lost connection was opened again.
    void reconnected();

private:
    HostDatabase() = default;
    void reconnect();

    QString m_connection;
    bool m_lost = false;
};
