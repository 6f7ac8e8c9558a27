// Test fixture for the suites that run the same checks on every database
// engine: one column "engine" whose rows name the engines, the demo data
// made once per engine (sizes as the suite asks), and the host's database
// switched to the row's engine before each check.
//
// Engines: "sqlite" (a file), "firebird" (embedded), "firebird-server" (a
// Firebird server on 127.0.0.1, FirebirdServer), "postgresql" (a cluster on
// 127.0.0.1, PostgresCluster): within a suite run the suite's server and
// cluster, else (or when made Private, as a test that kills them must be)
// ones the fixture starts. A new engine is one more name here and one more
// case in EngineDatabases.cpp.
//
//   void check_data() { EngineDatabases::addColumn(); }
//   void check() { USE_ENGINE(m_engines); ... }
//
// USE_ENGINE makes the row's database on first use, installs it as the
// host's (HostDatabase: queries, data sets, the local cache and the shell
// functions run there) and skips the row, saying why, when the engine cannot
// run here (its Qt driver or server missing). Statement texts for the
// engine's own SQL (a query that never ends, ...) come from the fixture too.
#pragma once

#include "SuiteServers.h"
#include "appdata/DemoData.h"

#include <QMap>
#include <QSqlDatabase>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

class FirebirdServer;
class PostgresCluster;

class EngineDatabases {
public:
    explicit EngineDatabases(const DemoSizes &sizes = DemoSizes(),
                             SuiteServers::Sharing servers = SuiteServers::Sharing::JoinSuite);
    ~EngineDatabases();
    EngineDatabases(const EngineDatabases &) = delete;
    EngineDatabases &operator=(const EngineDatabases &) = delete;

    static QStringList names();
    // Every engine but SQLite, for checks against SQLite's rows.
    static QStringList otherThanSqlite();
    // The QTest column "engine" with one row per name.
    static void addColumn(const QStringList &engines = names());

    // Makes (first time) and installs the engine's database; false with
    // *why when the engine cannot run here.
    bool use(const QString &engine, QString *why);
    // The engine's connection (made on first use); invalid when it cannot run.
    QSqlDatabase database(const QString &engine);
    QString connectionName(const QString &engine) const { return QStringLiteral("engine-") + engine; }
    // The location text of the engine's database ("sqlite:...", ...).
    QString location(const QString &engine) const;
    QString folder() const { return m_dir.path(); }
    // A SELECT that runs for hours on the engine (a cross join of its
    // catalogue, a recursive count), one column A, for Cancel.
    static QString endlessQuery(const QSqlDatabase &db);
    // The engines whose database is on a server the fixture started.
    static QStringList servers();
    // Kills the engine's server at once, as a crash would; starts it again
    // on the same port and folder (false with *why when it cannot). Only
    // for servers of the fixture's own (Private).
    void killServer(const QString &engine);
    bool startServer(const QString &engine, QString *why);
    // Holds the engine's server still (SIGSTOP: the system still accepts
    // its connections, nothing answers) or lets it go on (SIGCONT).
    void pauseServer(const QString &engine, bool paused);
    // The statement texts ("SQL", "SQL_IB", ...) that run on the engine, its
    // own first (ForeignDialects::runOn runs the others).
    static QStringList dialects(const QString &engine);

private:
    bool make(const QString &engine, QString *why);
    bool startPostgres(QString *why);

    DemoSizes m_sizes;
    SuiteServers::Sharing m_servers;
    QTemporaryDir m_dir;
    std::unique_ptr<FirebirdServer> m_firebird;
    std::unique_ptr<PostgresCluster> m_postgres;
    QMap<QString, QString> m_failed; // engine -> why it cannot run
    QStringList m_made;
};

#define USE_ENGINE(engines)                                                                                            \
    do {                                                                                                               \
        QFETCH(QString, engine);                                                                                       \
        QString why_;                                                                                                  \
        if (!(engines).use(engine, &why_))                                                                             \
            QSKIP(qPrintable(engine + QStringLiteral(": ") + why_));                                                   \
    } while (false)
