// Reports run under the database's report role, and the database holds them
// there: on Firebird (embedded and on a server) and PostgreSQL, every
// statement that writes, moves a generator, ends other sessions, reads the
// server's files or takes another role is refused by the database on a
// report's connection, for want of the right, and nothing has changed
// afterwards (rows, generators, the other session alive). The writing
// objects are made after the database, and the role's script is run again
// over them, as on an existing database.
#include "appdata/DemoData.h"
#include "core/Errors.h"
#include "data/HostDatabase.h"
#include "data/SqlScript.h"
#include "data/SqlStatement.h"
#include "data/engines/DatabaseEngine.h"
#include "data/engines/ReportAccess.h"
#include "report/query/ReportConnection.h"
#include "report/query/ReportRunner.h"
#include "support/EngineDatabases.h"
#include "support/PostgresCluster.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

namespace {

const QStringList kEngines{QStringLiteral("firebird"), QStringLiteral("firebird-server"), QStringLiteral("postgresql")};

bool isFirebird(const QString &engine) { return engine.startsWith(QLatin1String("firebird")); }

// Objects a report must not reach, made by the database's owner.
const char *const kFirebirdObjects = R"(
CREATE TABLE REGISTRO (N INTEGER);
CREATE SEQUENCE G_TESTE;
SET TERM ^ ;
CREATE PROCEDURE P_AUTONOMA RETURNS (N INTEGER) AS
BEGIN
  IN AUTONOMOUS TRANSACTION DO INSERT INTO REGISTRO VALUES (1);
  N = 1;
  SUSPEND;
END^
CREATE PROCEDURE P_DINAMICA RETURNS (N INTEGER) AS
BEGIN
  EXECUTE STATEMENT 'INSERT INTO REGISTRO VALUES (2)' WITH AUTONOMOUS TRANSACTION;
  N = 2;
  SUSPEND;
END^
CREATE PROCEDURE P_GERADOR RETURNS (N BIGINT) AS
BEGIN
  N = GEN_ID(G_TESTE, 1);
  SUSPEND;
END^
CREATE PROCEDURE P_GRAVA_LE RETURNS (N INTEGER) AS
BEGIN
  UPDATE FILIAL SET NMFILIAL = 'x';
  N = 1;
  SUSPEND;
END^
CREATE PROCEDURE P_GRAVA AS
BEGIN
  UPDATE FILIAL SET NMFILIAL = 'x';
END^
SET TERM ; ^
)";

QStringList firebirdEscapes()
{
    return {QStringLiteral("SELECT N FROM P_AUTONOMA"), QStringLiteral("SELECT N FROM P_DINAMICA"),
            QStringLiteral("SELECT N FROM P_GERADOR"), QStringLiteral("SELECT GEN_ID(G_TESTE, 1) FROM RDB$DATABASE"),
            QStringLiteral("EXECUTE PROCEDURE P_GRAVA"),
            QStringLiteral("EXECUTE BLOCK RETURNS (N INTEGER) AS BEGIN EXECUTE STATEMENT 'INSERT INTO REGISTRO VALUES (3)' "
                           "WITH AUTONOMOUS TRANSACTION; N = 3; SUSPEND; END")};
}

QStringList postgresEscapes(const QSqlDatabase &db)
{
    // The owner's own login, as a report that learnt it would write it.
    const QString owner = QStringLiteral("host=%1 port=%2 dbname=%3 user=%4 password=%5")
                              .arg(db.hostName())
                              .arg(db.port())
                              .arg(db.databaseName(), QLatin1String(PostgresCluster::User), QLatin1String(PostgresCluster::Password));
    return {QStringLiteral("SELECT dblink_exec('%1', 'INSERT INTO registro VALUES (1)')").arg(owner),
            QStringLiteral("SELECT nextval('g_teste')"),
            QStringLiteral("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE usename = current_user "
                           "AND pid <> pg_backend_pid()"),
            QStringLiteral("SELECT pg_cancel_backend(pid) FROM pg_stat_activity WHERE usename = current_user"),
            QStringLiteral("SELECT pg_read_file('/etc/hostname')"), QStringLiteral("SELECT pg_ls_dir('.')"),
            QStringLiteral("SELECT lo_import('/etc/hostname')"),
            QStringLiteral("SELECT set_config('role', '%1', false)").arg(QLatin1String(PostgresCluster::User)),
            QStringLiteral("SET ROLE %1").arg(QLatin1String(PostgresCluster::User)),
            QStringLiteral("SET SESSION AUTHORIZATION %1").arg(QLatin1String(PostgresCluster::User)),
            QStringLiteral("SELECT escreve()")};
}

// Runs sql on the host's (owner's) connection; the first column of its first row.
QVariant ownerValue(const QString &sql)
{
    QSqlQuery q(HostDatabase::instance().database());
    if (!q.exec(sql) || !q.next())
        return QVariant(q.lastError().text());
    return q.value(0);
}

} // namespace

class TestReportRole : public QObject {
    Q_OBJECT

    EngineDatabases m_engines{small()};
    QStringList m_prepared;

    static DemoSizes small()
    {
        DemoSizes s;
        s.costRows = 0;
        return s;
    }

    // The objects above, then the role's script again over them.
    void prepare(const QString &engine)
    {
        if (m_prepared.contains(engine))
            return;
        QSqlDatabase db = HostDatabase::instance().database();
        if (isFirebird(engine))
            SqlScript::run(db, QString::fromUtf8(kFirebirdObjects));
        else
            SqlScript::run(db, QStringLiteral(
                                   "CREATE TABLE REGISTRO (N INTEGER);\nCREATE SEQUENCE G_TESTE;\n"
                                   "CREATE EXTENSION IF NOT EXISTS dblink;\n"
                                   "CREATE FUNCTION ESCREVE() RETURNS INTEGER LANGUAGE sql SECURITY DEFINER AS "
                                   "'INSERT INTO REGISTRO VALUES (9) RETURNING N';\n"
                                   "REVOKE EXECUTE ON FUNCTION ESCREVE() FROM PUBLIC;\n"));
        DemoData::makeReportRole(db);
        ReportAccess::learn(db, DatabaseEngine::of(db));
        m_prepared << engine;
    }

private slots:
    void reportsRunAsTheReportRole_data() { EngineDatabases::addColumn(kEngines); }
    void reportsRunAsTheReportRole()
    {
        USE_ENGINE(m_engines);
        QFETCH(QString, engine);
        prepare(engine);
        const QString source = HostDatabase::instance().connectionName();
        const auto login = ReportAccess::loginFor(source);
        QVERIFY2(login.has_value(), "the database has no report login");
        QVERIFY(ReportAccess::warning(source).isEmpty());
        ReportConnection own(source);
        QSqlQuery q(own.database());
        QVERIFY2(q.exec(isFirebird(engine) ? QStringLiteral("SELECT TRIM(CURRENT_USER), COUNT(*) FROM FILIAL")
                                           : QStringLiteral("SELECT current_user, COUNT(*) FROM filial")),
                 qPrintable(q.lastError().text()));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toString().toUpper(), login->user.toUpper());
        QCOMPARE(q.value(1).toInt(), 15);
        // The login itself is out of the role's reach, and the refusal is
        // said in Portuguese, the engine's words after it.
        QString said;
        try {
            SqlStatement s(own.database());
            s.exec(QStringLiteral("SELECT SENHA FROM ACESSO_RELATORIO"));
        } catch (const EHostError &e) {
            said = e.text();
        }
        QVERIFY2(said.startsWith(QStringLiteral("O banco de dados ")), qPrintable(said));
        QVERIFY2(said.contains(QStringLiteral("por falta de permissão")), qPrintable(said));
        QVERIFY2(said.contains(QStringLiteral("permission for")) || said.contains(QStringLiteral("permission denied")),
                 qPrintable(said));
    }

    // A report's query refused by the role names the query and why.
    void aRefusedReportSaysWhyInPortuguese_data() { EngineDatabases::addColumn(kEngines); }
    void aRefusedReportSaysWhyInPortuguese()
    {
        USE_ENGINE(m_engines);
        QFETCH(QString, engine);
        prepare(engine);
        ReportDefinition def;
        ReportQuery query;
        query.name = QStringLiteral("custos");
        query.sql[ReportQuery::Default] = isFirebird(engine) ? QStringLiteral("SELECT N AS A FROM P_GRAVA_LE")
                                                             : QStringLiteral("SELECT pg_ls_dir('.') AS A");
        def.queries << query;
        QString said;
        try {
            ReportConnection own(HostDatabase::instance().connectionName());
            ReportRunner::Sink sink{[](const QStringList &, const QHash<QString, QVariant> &) {}, [](const QVector<QVariant> &) {}};
            ReportRunner::stream(def, TParams(), own.database(), {}, sink);
        } catch (const EHostError &e) {
            said = e.text();
        }
        QVERIFY2(said.startsWith(QStringLiteral("O banco de dados ")), qPrintable(said));
        QVERIFY2(said.contains(QStringLiteral("a consulta 'custos' do relatório")), qPrintable(said));
        QVERIFY2(said.contains(QStringLiteral("por falta de permissão")), qPrintable(said));
        QVERIFY2(said.contains(QStringLiteral("disse: ")), qPrintable(said));
    }

    void everyWayOutIsRefused_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<int>("escape");
        for (const QString &engine : kEngines)
            for (int i = 0; i < (isFirebird(engine) ? 6 : 11); ++i)
                QTest::addRow("%s %d", qPrintable(engine), i) << engine << i;
    }
    void everyWayOutIsRefused()
    {
        USE_ENGINE(m_engines);
        QFETCH(QString, engine);
        QFETCH(int, escape);
        prepare(engine);
        const QString source = HostDatabase::instance().connectionName();
        const QString sql = isFirebird(engine)
            ? firebirdEscapes().at(escape)
            : postgresEscapes(HostDatabase::instance().database()).at(escape);
        {
            ReportConnection victim(source);
            ReportConnection own(source);
            QSqlQuery alive(victim.database());
            QVERIFY(alive.exec(QStringLiteral("SELECT COUNT(*) FROM FILIAL")));
            alive.finish();
            QSqlQuery q(own.database());
            const bool ran = q.exec(sql) && q.next();
            const DatabaseFailure failure = SqlDialect::of(own.database()).failure(own.database(), q.lastError());
            QVERIFY2(!ran, qPrintable(sql + QStringLiteral(" ran")));
            QVERIFY2(failure.is(DatabaseFailure::Kind::Permission), qPrintable(q.lastError().text()));
            q.finish();
            QVERIFY2(alive.exec(QStringLiteral("SELECT COUNT(*) FROM FILIAL")) && alive.next(),
                     qPrintable(alive.lastError().text()));
        }
        QCOMPARE(ownerValue(QStringLiteral("SELECT COUNT(*) FROM REGISTRO")).toInt(), 0);
        QCOMPARE(ownerValue(QStringLiteral("SELECT COUNT(*) FROM FILIAL WHERE NMFILIAL = 'x'")).toInt(), 0);
        QCOMPARE(ownerValue(isFirebird(engine) ? QStringLiteral("SELECT GEN_ID(G_TESTE, 0) FROM RDB$DATABASE")
                                               : QStringLiteral("SELECT last_value + CASE WHEN is_called THEN 1 ELSE 0 END FROM g_teste"))
                     .toString(),
                 isFirebird(engine) ? QStringLiteral("0") : QStringLiteral("1"));
    }

    // Without a report login, an administrator's reports are named.
    void anAdministratorsReportsAreWarnedOf_data() { EngineDatabases::addColumn(kEngines); }
    void anAdministratorsReportsAreWarnedOf()
    {
        USE_ENGINE(m_engines);
        QFETCH(QString, engine);
        prepare(engine);
        QSqlDatabase db = HostDatabase::instance().database();
        QSqlQuery q(db);
        QVERIFY(q.exec(QStringLiteral("DELETE FROM ACESSO_RELATORIO")));
        ReportAccess::learn(db, DatabaseEngine::of(db));
        const QString warning = ReportAccess::warning(db.connectionName());
        DemoData::makeReportRole(db);
        ReportAccess::learn(db, DatabaseEngine::of(db));
        QVERIFY2(warning.contains(isFirebird(engine) ? QStringLiteral("SYSDBA") : QStringLiteral("superusuário merenda")),
                 qPrintable(warning));
        QVERIFY(warning.contains(QStringLiteral("report-role.sql")));
        QVERIFY(ReportAccess::warning(db.connectionName()).isEmpty());
    }
};

QTEST_MAIN(TestReportRole)
#include "test_report_role.moc"
