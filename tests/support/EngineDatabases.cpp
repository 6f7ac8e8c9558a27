#include "EngineDatabases.h"

#include <csignal>
#include "data/engines/SqlDialect.h"
#include "FirebirdServer.h"
#include "PostgresCluster.h"
#include "appdata/dtmDBGeral.h"
#include "core/Errors.h"
#include "data/HostDatabase.h"
#include "data/engines/DatabaseEngine.h"
#include "session/ShellContext.h"

#include <QDir>
#include <QElapsedTimer>
#include <QtTest>

EngineDatabases::EngineDatabases(const DemoSizes &sizes, SuiteServers::Sharing servers)
    : m_sizes(sizes), m_servers(servers)
{
}

EngineDatabases::~EngineDatabases()
{
    HostDatabase::instance().uninstall();
    for (const QString &engine : std::as_const(m_made))
        DatabaseEngine::close(connectionName(engine));
}

QStringList EngineDatabases::names()
{
    return {QStringLiteral("sqlite"), QStringLiteral("firebird"), QStringLiteral("firebird-server"),
            QStringLiteral("postgresql")};
}

QStringList EngineDatabases::otherThanSqlite()
{
    QStringList out = names();
    out.removeAll(QStringLiteral("sqlite"));
    return out;
}

void EngineDatabases::addColumn(const QStringList &engines)
{
    QTest::addColumn<QString>("engine");
    for (const QString &engine : engines)
        QTest::newRow(qPrintable(engine)) << engine;
}

QString EngineDatabases::location(const QString &engine) const
{
    const QDir dir(m_dir.path());
    if (engine == QLatin1String("sqlite"))
        return QStringLiteral("sqlite:") + dir.filePath(QStringLiteral("demo.sqlite"));
    if (engine == QLatin1String("firebird"))
        return QStringLiteral("firebird:") + dir.filePath(QStringLiteral("demo.fdb"));
    if (engine == QLatin1String("firebird-server") && m_firebird)
        return QStringLiteral("firebird://127.0.0.1:%1%2")
            .arg(m_firebird->port())
            .arg(QDir(m_firebird->folder()).filePath(QStringLiteral("demo.fdb")));
    if (engine == QLatin1String("postgresql") && m_postgres)
        return m_postgres->location(QStringLiteral("demo"));
    return QString();
}

bool EngineDatabases::make(const QString &engine, QString *why)
{
    if (engine == QLatin1String("firebird") || engine == QLatin1String("firebird-server")) {
        if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QIBASE"))) {
            *why = QStringLiteral("Qt's Firebird driver (QIBASE) is not installed");
            return false;
        }
    }
    if (engine == QLatin1String("firebird-server")) {
        m_firebird = std::make_unique<FirebirdServer>(m_servers);
        if (!m_firebird->start(why)) {
            m_firebird.reset();
            *why = QStringLiteral("no Firebird server to start: ") + *why;
            return false;
        }
    }
    if (engine == QLatin1String("postgresql") && !startPostgres(why))
        return false;
    ConnectionDescription description;
    description.location = DatabaseLocation::parse(location(engine));
    description.user = QLatin1String(FirebirdServer::User);
    description.password = QLatin1String(FirebirdServer::Password);
    if (engine == QLatin1String("postgresql"))
        description.password = QLatin1String(PostgresCluster::Password);
    description.name = connectionName(engine);
    description.create = true;
    description.fill = DemoData::filler(m_sizes);
    QElapsedTimer timer;
    timer.start();
    try {
        TdtmDBGeral::openConnection(description);
    } catch (const EHostError &e) {
        *why = e.text();
        return false;
    }
    qInfo("%s: demo database made in %lld ms", qPrintable(engine), timer.elapsed());
    return true;
}

QSqlDatabase EngineDatabases::database(const QString &engine)
{
    if (!m_made.contains(engine) && !m_failed.contains(engine)) {
        QString why;
        if (make(engine, &why))
            m_made << engine;
        else
            m_failed.insert(engine, why);
    }
    if (!m_made.contains(engine))
        return QSqlDatabase();
    return QSqlDatabase::database(connectionName(engine), false);
}

bool EngineDatabases::use(const QString &engine, QString *why)
{
    if (!database(engine).isValid()) {
        *why = m_failed.value(engine, QStringLiteral("unknown engine"));
        return false;
    }
    // The engine's own texts, whatever the row before ran.
    SqlDialect::use(connectionName(engine), nullptr);
    HostDatabase::instance().install(connectionName(engine));
    ShellContext::instance().branch = m_sizes.branch;
    return true;
}

bool EngineDatabases::startPostgres(QString *why)
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
        *why = QStringLiteral("Qt's PostgreSQL driver (QPSQL) is not installed");
        return false;
    }
    m_postgres = std::make_unique<PostgresCluster>(m_servers);
    if (!m_postgres->start(why)) {
        m_postgres.reset();
        *why = QStringLiteral("no PostgreSQL cluster to start: ") + *why;
        return false;
    }
    return true;
}

QStringList EngineDatabases::servers() { return {QStringLiteral("firebird-server"), QStringLiteral("postgresql")}; }

void EngineDatabases::killServer(const QString &engine)
{
    if (engine == QLatin1String("firebird-server") && m_firebird)
        m_firebird->kill();
    if (engine == QLatin1String("postgresql") && m_postgres)
        m_postgres->kill();
}

void EngineDatabases::pauseServer(const QString &engine, bool paused)
{
    const int sig = paused ? SIGSTOP : SIGCONT;
    if (engine == QLatin1String("firebird-server") && m_firebird)
        m_firebird->signal(sig);
    if (engine == QLatin1String("postgresql") && m_postgres)
        m_postgres->signalAll(sig);
}

bool EngineDatabases::startServer(const QString &engine, QString *why)
{
    if (engine == QLatin1String("firebird-server") && m_firebird)
        return m_firebird->start(why);
    if (engine == QLatin1String("postgresql") && m_postgres)
        return m_postgres->start(why);
    *why = QStringLiteral("no server of engine ") + engine;
    return false;
}

QString EngineDatabases::endlessQuery(const QSqlDatabase &db)
{
    const QString engine = SqlDialect::of(db).name();
    if (engine.startsWith(QLatin1String("Firebird")))
        return QStringLiteral("SELECT COUNT(*) AS A FROM RDB$FIELDS A1, RDB$FIELDS A2, RDB$FIELDS A3, RDB$FIELDS A4, "
                              "RDB$FIELDS A5");
    if (engine.startsWith(QLatin1String("PostgreSQL")))
        return QStringLiteral("SELECT COUNT(*) AS A FROM pg_catalog.pg_attribute A1, pg_catalog.pg_attribute A2, "
                              "pg_catalog.pg_attribute A3, pg_catalog.pg_attribute A4");
    return QStringLiteral("WITH RECURSIVE N(I) AS (SELECT 1 UNION ALL SELECT I + 1 FROM N) "
                          "SELECT COUNT(*) AS A FROM N");
}

QStringList EngineDatabases::dialects(const QString &engine)
{
    if (engine == QLatin1String("sqlite"))
        return {QStringLiteral("SQL"), QStringLiteral("SQL_ORACLE"), QStringLiteral("SQL_MSSQL"), QStringLiteral("SQL_IB")};
    if (engine.startsWith(QLatin1String("firebird")))
        return {QStringLiteral("SQL_IB"), QStringLiteral("SQL")};
    return {QStringLiteral("SQL")};
}
