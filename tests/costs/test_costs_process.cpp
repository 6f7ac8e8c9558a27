// The costs_server program as the shell runs it (CostsServerProcess): on a
// SQLite database, on an embedded Firebird file the test itself holds open
// (the shell's situation), its options, and how it ends.
#include "appdata/CostsServerProcess.h"
#include "appdata/dtmDBGeral.h"
#include "core/Errors.h"
#include "data/engines/firebird/FirebirdSharing.h"
#include "remote/CostTypes.h"
#include "remote/TNetConnection.h"
#include "support/FirebirdServer.h"

#include <QDir>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QStringList kNames = {"Reposição", "Médio Ponderado", "Padrão"};
const QList<int> kNumbers = {5, 2, 9};

// Replaces the demo cost types with the test's, in list order.
void fillCostTypes(const QSqlDatabase &db)
{
    QSqlQuery q(db);
    QVERIFY2(q.exec("DELETE FROM TIPOCUSTO"), qPrintable(q.lastError().text()));
    // Inserted last first, numbers unsorted: only NRORDEM gives the list order.
    for (int i = int(kNames.size()) - 1; i >= 0; --i) {
        QVERIFY(q.prepare("INSERT INTO TIPOCUSTO (NRTIPOCUSTO, NMTIPOCUSTO, NRORDEM) VALUES (?, ?, ?)"));
        q.addBindValue(kNumbers[i]);
        q.addBindValue(kNames[i]);
        q.addBindValue(i + 1);
        QVERIFY2(q.exec(), qPrintable(q.lastError().text()));
    }
}

QStringList listFrom(const CostsServerProcess &p, QString *error = nullptr)
{
    TNetConnection c;
    c.setServerName(QStringLiteral("Vbr.rdmCustProd"));
    c.setThrowException(false);
    c.setHost(p.host());
    c.setPort(p.port());
    c.setConnected(true);
    const QStringList names = ListaTipoCusto(&c, nullptr);
    if (error)
        *error = c.LastError();
    c.setConnected(false);
    return names;
}

} // namespace

class TestCostsProcess : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString sqlitePath;

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        sqlitePath = dir.filePath("shell.sqlite");
        DemoSizes small;
        small.costRows = 0;
        TdtmDBGeral::createSqliteFile(sqlitePath, small);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "fill");
            db.setDatabaseName(sqlitePath);
            QVERIFY(db.open());
            fillCostTypes(db);
            db.close();
        }
        QSqlDatabase::removeDatabase("fill");
    }

    void helpListsOptions()
    {
        QProcess p;
        p.start(QStringLiteral(COSTS_SERVER_PATH), QStringList{"--help"});
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), 0);
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        for (const char *opt : {"--db", "--listen", "--config", "--help"})
            QVERIFY2(out.contains(QLatin1String(opt)), opt);
    }

    void badOptionsExitWithTwo()
    {
        QProcess p;
        p.start(QStringLiteral(COSTS_SERVER_PATH), QStringList{"--db", "postgres:x"});
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), 2);
        QVERIFY(!p.readAllStandardError().isEmpty());
    }

    void shellStartsAndStopsItsServer()
    {
        CostsServerProcess server;
        server.setProgram(COSTS_SERVER_PATH);
        QString error;
        QVERIFY2(server.start("sqlite:" + sqlitePath, {}, 10000, &error), qPrintable(error));
        QVERIFY(server.isRunning());
        QCOMPARE(server.host(), QStringLiteral("127.0.0.1"));
        QVERIFY(server.port() > 0);
        QCOMPARE(listFrom(server), kNames);
        QCOMPARE(NumeroTipoCusto(0), kNumbers[0]);
        QCOMPARE(NumeroTipoCusto(2), kNumbers[2]);
        const int port = server.port();
        server.stop();
        QVERIFY(!server.isRunning());
        QTcpSocket s;
        s.connectToHost(QHostAddress::LocalHost, quint16(port));
        QVERIFY(!s.waitForConnected(2000));
    }

    void twoServersGetTheirOwnPorts()
    {
        CostsServerProcess a, b;
        a.setProgram(COSTS_SERVER_PATH);
        b.setProgram(COSTS_SERVER_PATH);
        QVERIFY(a.start("sqlite:" + sqlitePath));
        QVERIFY(b.start("sqlite:" + sqlitePath));
        QVERIFY(a.port() != b.port());
        QCOMPARE(listFrom(a), kNames);
        QCOMPARE(listFrom(b), kNames);
    }

    void missingDatabaseIsReportedNotCreated()
    {
        const QString missing = dir.filePath("missing.sqlite");
        CostsServerProcess server;
        server.setProgram(COSTS_SERVER_PATH);
        QVERIFY(server.start("sqlite:" + missing));
        QString error;
        QCOMPARE(listFrom(server, &error), QStringList());
        QVERIFY2(error.contains("server-error") && error.contains("missing.sqlite"), qPrintable(error));
        QVERIFY(!QFileInfo::exists(missing));
        QVERIFY(server.isRunning());
    }

    void programMissing()
    {
        CostsServerProcess server;
        server.setProgram(dir.filePath("no-such-program"));
        QString error;
        QVERIFY(!server.start("sqlite:" + sqlitePath, {}, 2000, &error));
        QVERIFY(error.contains("no-such-program"));
        QVERIFY(!server.isRunning());
    }

    void serverThatCannotListenReportsIt()
    {
        // A port already taken: the server says why, and start() gives up.
        QTcpServer taken;
        QVERIFY(taken.listen(QHostAddress::LocalHost, 0));
        QProcess p;
        p.start(QStringLiteral(COSTS_SERVER_PATH), QStringList{"--db", "sqlite:" + sqlitePath, "--listen",
                                    QStringLiteral("127.0.0.1:%1").arg(taken.serverPort())});
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), 1);
        QVERIFY(QString::fromLocal8Bit(p.readAllStandardError()).contains(QString::number(taken.serverPort())));
    }

    void configFileAndListenLine()
    {
        const QString ini = dir.filePath("costs.ini");
        QFile f(ini);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("[costs]\ndb=sqlite:%1\nlisten=127.0.0.1:0\n").arg(sqlitePath).toUtf8());
        f.close();
        QProcess p;
        p.start(QStringLiteral(COSTS_SERVER_PATH), QStringList{"--config", ini});
        QVERIFY(p.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(p.canReadLine(), 10000);
        const QList<QByteArray> parts = p.readLine().trimmed().split(' ');
        QCOMPARE(parts.size(), 3);
        QCOMPARE(parts[0], QByteArray("LISTENING"));
        QCOMPARE(parts[1], QByteArray("127.0.0.1"));
        QVERIFY(parts[2].toInt() > 0);
        // SIGTERM ends it cleanly.
        p.terminate();
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
    }

    void endsWhenItsStarterGoes()
    {
        QProcess p;
        p.start(QStringLiteral(COSTS_SERVER_PATH), QStringList{"--db", "sqlite:" + sqlitePath, "--exit-with-stdin"});
        QVERIFY(p.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(p.canReadLine(), 10000);
        p.closeWriteChannel(); // what the shell's death does to the pipe
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitCode(), 0);
    }

    // The shell on embedded Firebird holds its file open for as long as it
    // runs; its costs server must read the same file meanwhile.
    void embeddedFirebirdSharedWithTheShell()
    {
        if (!QSqlDatabase::isDriverAvailable("QIBASE"))
            QSKIP("Qt's Firebird driver (QIBASE) is not installed");
        QString why;
        QVERIFY2(FirebirdSharing::prepare(&why), qPrintable(why));
        QVERIFY(!FirebirdSharing::configRoot().isEmpty());
        const QString path = dir.filePath("shell.fdb");
        const DatabaseLocation location = DatabaseLocation::parse("firebird:" + path);
        DemoSizes small;
        small.costRows = 0;
        {
            QSqlDatabase shellDb;
            try {
                shellDb = TdtmDBGeral::openConnection({location, "SYSDBA", "masterkey", "shell", true, DemoData::filler(small)});
            } catch (const EHostError &e) {
                QFAIL(qPrintable(e.text()));
            }
            fillCostTypes(shellDb);
            QVERIFY(shellDb.commit() || true);

            CostsServerProcess server;
            server.setProgram(COSTS_SERVER_PATH);
            server.setCredentials("SYSDBA", "masterkey");
            QVERIFY2(server.start("firebird:" + path, {}, 20000, &why), qPrintable(why));
            QString error;
            QCOMPARE(listFrom(server, &error), kNames);
            QVERIFY2(error.isEmpty(), qPrintable(error));

            // The shell changes a name while both hold the file: the server
            // sees it at its next read.
            QSqlQuery q(shellDb);
            QVERIFY2(q.exec("UPDATE TIPOCUSTO SET NMTIPOCUSTO = 'Reposição (nova)' WHERE NRTIPOCUSTO = 5"),
                     qPrintable(q.lastError().text()));
            shellDb.commit();
            QStringList expected = kNames;
            expected[0] = QStringLiteral("Reposição (nova)");
            QCOMPARE(listFrom(server, &error), expected);
            server.stop();
        }
        TdtmDBGeral::closeConnection("shell");
    }

    // The shell on a Firebird server: its costs server reads through the
    // same server, with the shell's user and password.
    void throughAFirebirdServer()
    {
        if (!QSqlDatabase::isDriverAvailable("QIBASE"))
            QSKIP("Qt's Firebird driver (QIBASE) is not installed");
        FirebirdServer fb;
        QString why;
        if (!fb.start(&why))
            QSKIP(qPrintable("no Firebird server to start: " + why));
        const QString location = QStringLiteral("firebird://127.0.0.1:%1%2").arg(fb.port()).arg(QDir(fb.folder()).filePath("srv.fdb"));
        DemoSizes small;
        small.costRows = 0;
        try {
            QSqlDatabase db = TdtmDBGeral::openConnection({DatabaseLocation::parse(location), FirebirdServer::User,
                                                           FirebirdServer::Password, "fbserver", true,
                                                           DemoData::filler(small)});
            fillCostTypes(db);
            db.commit();
        } catch (const EHostError &e) {
            QFAIL(qPrintable(e.text()));
        }
        TdtmDBGeral::closeConnection("fbserver");

        CostsServerProcess server;
        server.setProgram(COSTS_SERVER_PATH);
        server.setCredentials(FirebirdServer::User, FirebirdServer::Password);
        QVERIFY2(server.start(location, {}, 20000, &why), qPrintable(why));
        QString error;
        QCOMPARE(listFrom(server, &error), kNames);
        QCOMPARE(NumeroTipoCusto(1), kNumbers[1]);

        // A wrong password is the server's to refuse: an empty list and its reason.
        CostsServerProcess refused;
        refused.setProgram(COSTS_SERVER_PATH);
        refused.setCredentials(FirebirdServer::User, "wrong");
        QVERIFY(refused.start(location, {}, 20000, &why));
        QCOMPARE(listFrom(refused, &error), QStringList());
        QVERIFY2(error.contains("server-error"), qPrintable(error));
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestCostsProcess)
#include "test_costs_process.moc"
