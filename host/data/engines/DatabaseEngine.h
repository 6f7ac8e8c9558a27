// One database engine as the host uses it: how a database is found, made,
// opened and checked, the routines its statements call, how a running
// statement is stopped from another thread, and the engine's own failures
// told in the user's words. Every call into an engine's client library
// (sqlite3, fbclient, libpq) lives behind this interface, in its implementation
// (SqliteEngine, FirebirdEngine, PostgresEngine); the layers above see Qt SQL connections
// and this interface only.
//
// Engines register themselves (Registration, one line in the engine's own
// folder); of(location) and of(db) give the engine of a location or of an
// open connection (by its Qt driver); of(db) throws EHostError for a driver
// no engine serves, find(db) returns nullptr. The engines live as long as the
// process.
#pragma once

#include "ConnectionDescription.h"
#include "SqlDialect.h"

#include <QList>
#include <QSqlDatabase>
#include <functional>
#include <memory>

class QSqlError;

class DatabaseEngine {
public:
    static const DatabaseEngine &of(const DatabaseLocation &location);
    static const DatabaseEngine &of(const QSqlDatabase &db);
    static const DatabaseEngine *find(const QSqlDatabase &db);
    // The engine whose locations start with scheme ("sqlite"), nullptr when none.
    static const DatabaseEngine *forScheme(const QString &scheme);
    // Every engine, in the order of their ranks.
    static QList<const DatabaseEngine *> all();

    // Adds an engine to all() for the life of the process: a static object of
    // the engine's own source file, e.g.
    //   static const DatabaseEngine::Registration registered(std::make_unique<SqliteEngine>(), 1);
    struct Registration {
        Registration(std::unique_ptr<DatabaseEngine> engine, int rank);
    };

    virtual ~DatabaseEngine() = default;

    // The statements, values and failures of this engine.
    virtual const SqlDialect &dialect() const = 0;
    // The Qt SQL driver ("QSQLITE", "QIBASE", "QPSQL").
    virtual QString driverName() const = 0;
    // The folder of its scripts under db/ ("sqlite", "firebird", "postgresql").
    virtual QString scriptFolder() const = 0;

    // Locations: the schemes that name this engine ("postgresql", "postgres";
    // the first is the one written), how its locations are written for the
    // user ("sqlite:ARQUIVO"), reading the text after "SCHEME:" into location
    // (false when it is not one of this engine's), and writing one back.
    virtual QStringList schemes() const = 0;
    virtual QString locationForms() const = 0;
    virtual bool readLocation(const QString &rest, DatabaseLocation &location) const = 0;
    virtual QString locationText(const DatabaseLocation &location) const = 0;
    // How to write what a location of this engine could not hold, for the
    // message about one that does not read; "" when nothing is to be said.
    virtual QString locationHint() const { return QString(); }
    // Who connects to the database described: its user, else the one the
    // engine takes when none is named.
    virtual QString userOf(const ConnectionDescription &description) const { return description.user; }
    // Whether a database of this engine is a file of this machine that must
    // exist before it is opened (without --create-database).
    virtual bool isLocalFile(const DatabaseLocation &) const { return false; }

    // Gets the client library ready for the process's first connection;
    // children started afterwards inherit what it set. Throws EHostError.
    virtual void prepareClient() const {}

    // Opens the database described as the Qt connection description.name,
    // making it first when description.create is set and it is missing.
    // Throws EHostError with a text that names the location and says what to
    // do; no connection of that name is left behind.
    QSqlDatabase open(const ConnectionDescription &description) const;
    // Closes and removes a connection by name (nothing when there is none);
    // what its engine left open on it is ended first (beforeClose).
    static void close(const QString &connectionName);
    // Removes the database described (its file included); false when it
    // cannot be removed. Nothing may be connected to it.
    virtual bool drop(const ConnectionDescription &description) const = 0;

    // Whether the database of db can be opened a second time (a SQLite
    // database in memory cannot: it belongs to its one connection).
    virtual bool canOpenAgain(const QSqlDatabase &) const { return true; }
    // What a second connection may do: ReadOnly cannot change the database
    // (openReadOnly), for the statements of a report definition.
    enum class Access { ReadWrite, ReadOnly };
    // A second connection, named name, to the database of the connection
    // named source (which may belong to another thread), on the calling
    // thread: same engine and settings, routines registered. Throws
    // EHostError with the driver's text; nothing is left behind.
    static QSqlDatabase openAgain(const QString &source, const QString &name, Access access = Access::ReadWrite);

    // Brings a database made by an older schema script of this engine up to
    // schemaScript (the present one): what the script adds that the database
    // lacks. Without the right to change the schema the database stays as
    // it is; nothing is thrown.
    virtual void upgrade(const QSqlDatabase &, const QString &) const {}
    // Makes the database's report role (ReportAccess) with script, the
    // engine's report-role.sql. Throws EHostError with the engine's text
    // (most often: the user may not make roles or users).
    virtual void makeReportRole(const QSqlDatabase &db, const QString &script) const;
    // Who db's user is when it has administrative rights on the database (a
    // superuser, SYSDBA, the owner of its tables), in Portuguese ("o
    // superusuário ana"); "" when it has none or the engine cannot tell.
    virtual QString privilegeOf(const QSqlDatabase &) const { return QString(); }

    // Registers on an open connection the routines the statements call
    // (engines that keep them in their schema have nothing to do).
    virtual void registerRoutines(const QSqlDatabase &) const {}
    // Whether sql, prepared on db, only reads: a query, not a statement
    // that changes the database (a report's texts must be queries). True
    // when the engine cannot tell or sql does not prepare (running it then
    // says what is wrong).
    virtual bool onlyReads(const QSqlDatabase &, const QString &) const { return true; }
    // Something that stops the statement running on db, callable from any
    // thread; empty when the engine cannot (the run then stops between rows).
    virtual std::function<void()> interrupter(const QSqlDatabase &) const { return {}; }
    // For a connection to a server (StatementWatch): abort closes its client
    // side from any thread, so that a call waiting in the client library
    // returns with an error; answers(ms) asks the server for a sign of life
    // on a connection of its own, false when none came within ms. Made on
    // the connection's thread; both empty for a database without a server.
    struct ServerProbe {
        std::function<void()> abort;
        std::function<bool(int timeoutMs)> answers;
    };
    virtual ServerProbe serverProbe(const QSqlDatabase &) const { return {}; }

    // Where db is, for messages: the location text of a server, the file of
    // an embedded database.
    virtual QString where(const QSqlDatabase &db) const { return db.databaseName(); }
    // A connection's settings as a description (no password), for messages.
    ConnectionDescription describe(const QSqlDatabase &db) const;
    // The user's text for a connection to the database described that could
    // not be made: driverText is what the client said, elapsedMs how long
    // the attempt took (a server that accepted it and never answered is
    // named as such).
    virtual QString connectFailureText(const ConnectionDescription &description, const QString &driverText,
                                       qint64 elapsedMs) const;

protected:
    // Runs the statements of script that hold one of the given texts.
    // Throws EHostError with the engine's text.
    static void runStatementsHolding(const QSqlDatabase &db, const QString &script, const QStringList &texts);
    // For upgrade(): runs the script's statement holding createText when
    // existsQuery gives no row (a table added after older databases were
    // made). Without the right to, the database stays as it is.
    static void addWhenMissing(const QSqlDatabase &db, const QString &script, const QString &existsQuery,
                               const QString &createText);
    // "HOST[:PORT]" into location (the port kept when none is written);
    // false when the port is not one or the host is missing.
    static bool readHostPort(const QString &hostPort, DatabaseLocation &location);
    // True when the database is to be made; throws EHostError when it is
    // missing and description.create is not set, or cannot be there at all.
    virtual bool toCreate(const ConnectionDescription &description) const = 0;
    // Makes the database, filled by description.fill. Throws EHostError.
    virtual void create(const ConnectionDescription &description) const = 0;
    // Adds the Qt connection with the description's settings (not opened).
    virtual QSqlDatabase add(const ConnectionDescription &description) const;
    // Opens an added connection; throws EHostError naming the location.
    virtual void connect(QSqlDatabase &db, const ConnectionDescription &description) const;
    // A statement that returns a row when the system's table FILIAL exists.
    virtual QString tableQuery() const = 0;
    // Opens an added connection so that nothing run on it can change the
    // database: the engine's read-only mode, or a transaction that is never
    // committed. Throws EHostError.
    virtual void openReadOnly(QSqlDatabase &db) const = 0;
    // Ends what the engine keeps open on a connection about to close.
    virtual void beforeClose(QSqlDatabase &) const {}

private:
    void checkTables(const QSqlDatabase &db, const QString &where) const;
};
