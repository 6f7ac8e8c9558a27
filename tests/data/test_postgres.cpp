// What only PostgreSQL does (the checks every engine passes are in the
// per-engine suites): the location text, who connects and with which
// password (given, PGPASSWORD, ~/.pgpass), a refused login, a missing
// database or user, a server that accepts and stays silent, a database made
// by --create-database and one dropped, the report's connection that cannot
// write, NUMERIC with every digit, and the look-up filter served by the
// trigram index. Against a cluster this test starts on 127.0.0.1
// (PostgresCluster).
#include "appdata/DemoData.h"
#include "appdata/dtmDBGeral.h"
#include "core/Errors.h"
#include "core/FixedDecimal.h"
#include "data/HostDatabase.h"
#include "data/SqlStatement.h"
#include "data/TADOIBDataSet.h"
#include "data/TADOIBQuery.h"
#include "data/TADOIBStringField.h"
#include "data/engines/DatabaseEngine.h"
#include "data/engines/SqlDialect.h"
#include "support/PostgresCluster.h"
#include "support/SilentServer.h"

#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <QTcpServer>
#include <QtTest>

class TestPostgres : public QObject {
    Q_OBJECT

    PostgresCluster m_cluster{PostgresCluster::Sharing::Private}; // killed mid-session
    QTemporaryDir m_home;
    QString m_skip;

    static QString hostError(const std::function<void()> &f)
    {
        try {
            f();
        } catch (const EHostError &e) {
            return e.text();
        }
        return QStringLiteral("<no error>");
    }

    ConnectionDescription description(const QString &database, const QString &password,
                                      const QString &name = QStringLiteral("pg"))
    {
        ConnectionDescription d;
        d.location = DatabaseLocation::parse(m_cluster.location(database));
        d.password = password;
        d.name = name;
        return d;
    }

    // Opens, counts the branches, closes; the error text when it cannot.
    QString branches(const ConnectionDescription &d)
    {
        QString out;
        try {
            QSqlDatabase db = TdtmDBGeral::openConnection(d);
            QSqlQuery q(db);
            out = q.exec(QStringLiteral("SELECT COUNT(*) FROM FILIAL")) && q.next() ? q.value(0).toString()
                                                                                     : q.lastError().text();
        } catch (const EHostError &e) {
            out = e.text();
        }
        DatabaseEngine::close(d.name);
        return out;
    }

#define NEEDS_CLUSTER()                                                                                                \
    do {                                                                                                               \
        if (!m_skip.isEmpty())                                                                                         \
            QSKIP(qPrintable(m_skip));                                                                                 \
    } while (false)

private slots:
    void initTestCase()
    {
        // No password but the ones a check hands over.
        qunsetenv("PGPASSWORD");
        qputenv("PGPASSFILE", QFile::encodeName(m_home.filePath(QStringLiteral("none"))));
        if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
            m_skip = QStringLiteral("Qt's PostgreSQL driver (QPSQL) is not installed");
        else if (QString why; !m_cluster.start(&why))
            m_skip = why;
        else {
            DemoData::Sizes sizes;
            sizes.costRows = 0;
            ConnectionDescription d = description(QStringLiteral("demo"), QLatin1String(PostgresCluster::Password));
            d.create = true;
            d.fill = DemoData::filler(sizes);
            TdtmDBGeral::openConnection(d);
            DatabaseEngine::close(d.name);
        }
    }

    void locations()
    {
        DatabaseLocation s = DatabaseLocation::parse(QStringLiteral("postgresql://ana@db.escola:5433/merenda"));
        QCOMPARE(s.scheme, QStringLiteral("postgresql"));
        QCOMPARE(s.user, QStringLiteral("ana"));
        QCOMPARE(s.host, QStringLiteral("db.escola"));
        QCOMPARE(s.port, 5433);
        QCOMPARE(s.path, QStringLiteral("merenda"));
        QCOMPARE(DatabaseLocation::parse(s.toString()).toString(), s.toString());
        s = DatabaseLocation::parse(QStringLiteral("postgres://db/merenda"));
        QCOMPARE(s.scheme, QStringLiteral("postgresql"));
        QCOMPARE(s.port, 5432);
        QVERIFY(s.user.isEmpty());
        QCOMPARE(&s.engine(), DatabaseEngine::forScheme(QStringLiteral("postgresql")));
        QCOMPARE(s.engine().driverName(), QStringLiteral("QPSQL"));
        for (const char *bad : {"postgresql://", "postgresql://h", "postgresql://h/", "postgresql://@h/db",
                                "postgresql://h:0/db", "postgresql://h:abc/db", "postgresql://h/a/b", "postgresql:db"})
            QVERIFY_THROWS_EXCEPTION(EHostError, DatabaseLocation::parse(QLatin1String(bad)));
    }

    void passwordFromEachPlace()
    {
        NEEDS_CLUSTER();
        const QString right = QLatin1String(PostgresCluster::Password);
        QCOMPARE(branches(description(QStringLiteral("demo"), right)), QStringLiteral("15"));

        // None given, none found: refused, saying what to do.
        QString err = branches(description(QStringLiteral("demo"), QString()));
        QVERIFY2(err.contains(QStringLiteral("recusou o acesso do usuário merenda")), qPrintable(err));
        QVERIFY2(err.contains(QLatin1String("~/.pgpass")), qPrintable(err));

        // PGPASSWORD.
        qputenv("PGPASSWORD", right.toUtf8());
        QCOMPARE(branches(description(QStringLiteral("demo"), QString())), QStringLiteral("15"));
        qunsetenv("PGPASSWORD");

        // A password file (~/.pgpass; PGPASSFILE names it here), readable by its owner only.
        QFile pgpass(m_home.filePath(QStringLiteral("pgpass")));
        QVERIFY(pgpass.open(QIODevice::WriteOnly));
        pgpass.write(QStringLiteral("127.0.0.1:%1:*:%2:%3\n").arg(m_cluster.port()).arg(QLatin1String(PostgresCluster::User), right).toUtf8());
        pgpass.close();
        pgpass.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        qputenv("PGPASSFILE", QFile::encodeName(pgpass.fileName()));
        QCOMPARE(branches(description(QStringLiteral("demo"), QString())), QStringLiteral("15"));
        qputenv("PGPASSFILE", QFile::encodeName(m_home.filePath(QStringLiteral("none"))));
    }

    void refusalsInTheUsersWords()
    {
        NEEDS_CLUSTER();
        QString err = branches(description(QStringLiteral("demo"), QStringLiteral("errada")));
        QVERIFY2(err.contains(QStringLiteral("recusou o acesso do usuário merenda")), qPrintable(err));
        QVERIFY2(err.contains(QStringLiteral("127.0.0.1:%1").arg(m_cluster.port())), qPrintable(err));
        QVERIFY2(!err.contains(QLatin1String("password authentication failed")), qPrintable(err));

        err = branches(description(QStringLiteral("nao_existe"), QLatin1String(PostgresCluster::Password)));
        QVERIFY2(err.contains(QStringLiteral("O banco de dados nao_existe não existe")), qPrintable(err));
        QVERIFY2(err.contains(QLatin1String("--create-database")), qPrintable(err));

        // Nothing listens there.
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 port = probe.serverPort();
        probe.close();
        ConnectionDescription d;
        d.location = DatabaseLocation::parse(QStringLiteral("postgresql://ana@127.0.0.1:%1/merenda").arg(port));
        d.name = QStringLiteral("nobody-there");
        err = branches(d);
        QVERIFY2(err.contains(QStringLiteral("não há servidor ouvindo")), qPrintable(err));
        QVERIFY(!QSqlDatabase::contains(d.name));
    }

    void aSilentServerIsNamedWithinTenSeconds()
    {
        SilentServer silent;
        QVERIFY(silent.port() != 0);
        ConnectionDescription d;
        d.location = DatabaseLocation::parse(QStringLiteral("postgresql://ana@127.0.0.1:%1/merenda").arg(silent.port()));
        d.name = QStringLiteral("silent");
        QElapsedTimer timer;
        timer.start();
        const QString err = branches(d);
        QVERIFY2(timer.elapsed() < 15000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY2(err.contains(QStringLiteral("O servidor PostgreSQL em 127.0.0.1:%1 não respondeu em").arg(silent.port())),
                 qPrintable(err));
    }

    void createDatabaseMakesAndFillsIt()
    {
        NEEDS_CLUSTER();
        DemoData::Sizes sizes;
        sizes.costRows = 100;
        ConnectionDescription d = description(QStringLiteral("nova"), QLatin1String(PostgresCluster::Password));
        d.fill = DemoData::filler(sizes);
        // Without create, a missing database stays missing.
        QVERIFY(branches(d).contains(QStringLiteral("não existe")));
        d.create = true;
        QCOMPARE(branches(d), QStringLiteral("15"));
        // Made once: a second run keeps what is there.
        QCOMPARE(m_cluster.psql(QStringLiteral("nova"), {QStringLiteral("-c"), QStringLiteral("DELETE FROM FILIAL WHERE CDFILIAL = '0900'")}), 0);
        QCOMPARE(branches(d), QStringLiteral("14"));
        QString out;
        QCOMPARE(m_cluster.psql(QStringLiteral("nova"), {QStringLiteral("-Atc"), QStringLiteral("SELECT COUNT(*) FROM CUSTREAL")}, &out), 0);
        QCOMPARE(out.trimmed(), QStringLiteral("100"));
    }

    void theReportsConnectionCannotWrite_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::newRow("DELETE in WITH") << "WITH D AS (DELETE FROM GRUPSERV RETURNING CDGRUPSERV) SELECT * FROM D";
        QTest::newRow("read-write again") << "SELECT set_config('transaction_read_only', 'off', false)";
        QTest::newRow("large object") << "SELECT lo_create(4242)";
        QTest::newRow("UPDATE RETURNING") << "UPDATE GRUPSERV SET NMGRUPSERV = 'x' RETURNING CDGRUPSERV";
        QTest::newRow("DROP TABLE") << "DROP TABLE GRUPSERV";
    }
    void theReportsConnectionCannotWrite()
    {
        NEEDS_CLUSTER();
        QFETCH(QString, sql);
        ConnectionDescription d = description(QStringLiteral("demo"), QLatin1String(PostgresCluster::Password));
        TdtmDBGeral::openConnection(d);
        QString refused;
        {
            QSqlDatabase own = DatabaseEngine::openAgain(d.name, QStringLiteral("own"), DatabaseEngine::Access::ReadOnly);
            QSqlQuery q(own);
            // Refused: read only (25006), or read-write refused once a query
            // ran (25001); what the server lets through is rolled back.
            if (!q.exec(sql)) {
                refused = q.lastError().nativeErrorCode();
                QVERIFY2(refused == QLatin1String("25006") || refused == QLatin1String("25001"), qPrintable(refused));
                if (refused == QLatin1String("25006"))
                    QVERIFY(SqlDialect::of(own).failure(own, q.lastError()).advice.contains(QStringLiteral("só pode ser consultado")));
            }
        }
        DatabaseEngine::close(QStringLiteral("own"));
        DatabaseEngine::close(d.name);
        QString out;
        QCOMPARE(m_cluster.psql(QStringLiteral("demo"), {QStringLiteral("-Atc"),
                                QStringLiteral("SELECT COUNT(*) FROM GRUPSERV WHERE NMGRUPSERV <> 'x' "
                                               "AND NOT EXISTS (SELECT 1 FROM pg_largeobject_metadata)")}, &out), 0);
        QCOMPARE(out.trimmed(), QStringLiteral("10"));
    }

    // NUMERIC comes through as the server holds it: more digits than a
    // double keeps, exactly.
    void moneyKeepsEveryDigit()
    {
        NEEDS_CLUSTER();
        ConnectionDescription d = description(QStringLiteral("demo"), QLatin1String(PostgresCluster::Password));
        QSqlDatabase db = TdtmDBGeral::openConnection(d);
        QVariant value;
        {
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("SELECT CAST('1234567890123456.78' AS NUMERIC(18,2)) + 0.01")) && q.next());
            value = q.value(0);
        }
        DatabaseEngine::close(d.name);
        QCOMPARE(FixedDecimal::fromVariant(value, 2).value_or(FixedDecimal(0, 2)).text(),
                 QStringLiteral("1234567890123456.79"));
    }

    // A database dropped is gone; dropping one that is not there is no failure.
    void dropRemovesTheDatabase()
    {
        NEEDS_CLUSTER();
        QCOMPARE(m_cluster.psql(QStringLiteral("postgres"), {QStringLiteral("-c"), QStringLiteral("CREATE DATABASE descartavel")}), 0);
        const ConnectionDescription d = description(QStringLiteral("descartavel"), QLatin1String(PostgresCluster::Password));
        QVERIFY(d.location.engine().drop(d));
        QString out;
        QCOMPARE(m_cluster.psql(QStringLiteral("postgres"), {QStringLiteral("-Atc"),
                                QStringLiteral("SELECT COUNT(*) FROM pg_database WHERE datname = 'descartavel'")}, &out), 0);
        QCOMPARE(out.trimmed(), QStringLiteral("0"));
        QVERIFY(d.location.engine().drop(d));
        // Refused while someone is connected to it.
        const ConnectionDescription demo = description(QStringLiteral("demo"), QLatin1String(PostgresCluster::Password));
        TdtmDBGeral::openConnection(demo);
        QVERIFY(!demo.location.engine().drop(demo));
        DatabaseEngine::close(demo.name);
    }

    // Killed (every server process at once) while the shell's data module is
    // open: the next action says the connection fell, each action while it
    // is down says so at once, and once it is back the same module carries on.
    void killedMidSessionAndBack()
    {
        NEEDS_CLUSTER();
        ShellConfig c;
        c.database = m_cluster.location(QStringLiteral("demo"));
        c.password = QLatin1String(PostgresCluster::Password);
        TdtmDBGeral dm;
        dm.open(c);
        auto count = [] {
            SqlStatement s(HostDatabase::instance().database());
            s.exec(QStringLiteral("SELECT COUNT(*) FROM FILIAL"));
            return s.next() ? s.value(0).toInt() : -1;
        };
        QCOMPARE(count(), 15);
        TADOIBQuery open;
        open.setSQL({QStringLiteral("SELECT CDFILIAL FROM FILIAL ORDER BY CDFILIAL")});
        open.Open();
        QVERIFY(open.Active());

        m_cluster.kill();
        QElapsedTimer t;
        t.start();
        QString err = hostError([&] { count(); });
        QVERIFY2(err.contains(QLatin1String("caiu")), qPrintable(err));
        QVERIFY(HostDatabase::instance().isLost());
        err = hostError([&] { count(); });
        QVERIFY2(err.contains(QStringLiteral("ainda não pôde ser refeita")) && err.contains(QString::number(m_cluster.port())),
                 qPrintable(err));
        QVERIFY2(t.elapsed() < 10000, qPrintable(QString::number(t.elapsed())));

        QString why;
        QVERIFY2(m_cluster.start(&why), qPrintable(why));
        QCOMPARE(count(), 15);
        QVERIFY(!HostDatabase::instance().isLost());
        open.Open();
        QVERIFY(open.Active());
        QCOMPARE(open.FieldByName(QStringLiteral("CDFILIAL"))->AsString(), QStringLiteral("0001"));
        open.Close();
    }

    // A look-up's filter, as the data set writes it, is served by the
    // trigram index of the folded names (the other scans priced out, the
    // index's own count of scans goes up) and finds "Feijão" from "feijao".
    void theFilterGoesThroughTheTrigramIndex()
    {
        NEEDS_CLUSTER();
        ShellConfig c;
        c.database = m_cluster.location(QStringLiteral("demo"));
        c.password = QLatin1String(PostgresCluster::Password);
        TdtmDBGeral dm;
        dm.open(c);
        auto scalar = [](const QString &sql) {
            SqlStatement s(HostDatabase::instance().database());
            s.exec(sql);
            return s.next() ? s.value(0) : QVariant();
        };
        auto scans = [&] {
            scalar(QStringLiteral("SELECT pg_stat_force_next_flush()"));
            return scalar(QStringLiteral("SELECT idx_scan FROM pg_stat_user_indexes "
                                         "WHERE indexrelname = 'ix_produto_fold_nome'")).toLongLong();
        };
        scalar(QStringLiteral("SELECT set_config('enable_seqscan', 'off', false), "
                              "set_config('enable_indexscan', 'off', false)"));
        const qint64 before = scans();
        TADOIBQuery q;
        q.setSQL({QStringLiteral("SELECT CDARVPROD, NMPRODUTO FROM PRODUTO ORDER BY CDARVPROD")});
        q.Open();
        RowFilter filter;
        filter.text = QStringLiteral("feijao");
        filter.columns = QStringList{QStringLiteral("NMPRODUTO")};
        const QList<QVariantList> rows = q.dataSet()->FetchPage(filter, 0, 100);
        QCOMPARE(rows.size(), 10);
        for (const QVariantList &r : rows)
            QVERIFY2(r.value(1).toString().contains(QStringLiteral("Feijão")), qPrintable(r.value(1).toString()));
        QVERIFY2(scans() > before, "the filter did not go through ix_produto_fold_nome");
        q.Close();
        QString folded;
        QCOMPARE(m_cluster.psql(QStringLiteral("demo"), {QStringLiteral("-Atc"), QStringLiteral("SELECT FOLD('Ação ÇÃO Über ǅ')")}, &folded), 0);
        QCOMPARE(folded.trimmed(), QStringLiteral("acao cao uber ǆ"));
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestPostgres)
#include "test_postgres.moc"
