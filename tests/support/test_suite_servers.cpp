// The suite's servers (suite_servers, SuiteServers) as ctest uses them: a
// start leaves a Firebird server and a PostgreSQL cluster listening and
// described, a stop ends them and removes the folder, a start after a run
// that never stopped ends the old keeper first; fixtures that join them
// start and stop nothing and keep their databases apart. And the programs
// that group an area's tests name what they hold when asked for another.
#include "support/FirebirdServer.h"
#include "support/PostgresCluster.h"
#include "support/SuiteServers.h"

#include <QDir>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

namespace {

bool listens(int port)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, quint16(port));
    return socket.waitForConnected(2000);
}

int run(const QString &program, const QStringList &arguments, QString *output = nullptr)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, arguments);
    if (!p.waitForFinished(120000))
        return -1;
    if (output)
        *output = QString::fromLocal8Bit(p.readAll());
    return p.exitCode();
}

qint64 keeperOf(const QString &folder)
{
    QFile record(QDir(folder).filePath(QStringLiteral("keeper.pid")));
    return record.open(QIODevice::ReadOnly) ? record.readAll().trimmed().toLongLong() : 0;
}

bool alive(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    return stat.open(QIODevice::ReadOnly) && !stat.readAll().contains(") Z ");
}

} // namespace

class TestSuiteServers : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString folder() const { return m_dir.filePath(QStringLiteral("servers")); }
    QString start(QString *output = nullptr)
    {
        QString out;
        const int code = run(QStringLiteral(SUITE_SERVERS_PROGRAM), {QStringLiteral("start"), folder()}, &out);
        if (output)
            *output = out;
        return code == 0 ? QDir(folder()).filePath(QStringLiteral("servers.ini")) : QString();
    }

private slots:
    void cleanup()
    {
        run(QStringLiteral(SUITE_SERVERS_PROGRAM), {QStringLiteral("stop"), folder()});
        qunsetenv(SuiteServers::Variable);
    }

    void startedServersListenAndAStopEndsThem()
    {
        QString output;
        const QString description = start(&output);
        QVERIFY2(!description.isEmpty(), qPrintable(output));
        qputenv(SuiteServers::Variable, QFile::encodeName(description));
        int ports[2] = {};
        for (int i = 0; i < 2; ++i) {
            const auto server = SuiteServers::find(i ? QStringLiteral("postgresql") : QStringLiteral("firebird"));
            QVERIFY(server);
            if (!server->error.isEmpty())
                QSKIP(qPrintable(server->error));
            QVERIFY2(listens(server->port), qPrintable(QString::number(server->port)));
            ports[i] = server->port;
        }
        QCOMPARE(run(QStringLiteral(SUITE_SERVERS_PROGRAM), {QStringLiteral("stop"), folder()}), 0);
        QVERIFY(!QFileInfo::exists(folder()));
        QVERIFY(!listens(ports[0]));
        QVERIFY(!listens(ports[1]));
    }

    void aStartEndsTheKeeperOfARunThatNeverStopped()
    {
        QVERIFY(!start().isEmpty());
        const qint64 first = keeperOf(folder());
        QVERIFY(first > 0 && alive(first));
        QVERIFY(!start().isEmpty());
        const qint64 second = keeperOf(folder());
        QVERIFY(second > 0 && second != first && alive(second));
        QVERIFY(!alive(first));
    }

    void joinedFixturesStartNothingAndKeepTheirDatabasesApart()
    {
        const QString description = start();
        QVERIFY(!description.isEmpty());
        qputenv(SuiteServers::Variable, QFile::encodeName(description));
        const auto suite = SuiteServers::find(QStringLiteral("firebird"));
        QVERIFY(suite);
        if (!suite->error.isEmpty())
            QSKIP(qPrintable(suite->error));
        {
            FirebirdServer joined;
            QString why;
            QVERIFY2(joined.start(&why), qPrintable(why));
            QCOMPARE(joined.port(), suite->port);
            QVERIFY(QDir(joined.folder()).exists());
        }
        QVERIFY2(listens(suite->port), "a joined fixture stopped the suite's server as it went");
        PostgresCluster one, other;
        QString why;
        if (!one.start(&why) || !other.start(&why))
            QSKIP(qPrintable(why));
        QVERIFY(one.database(QStringLiteral("demo")) != other.database(QStringLiteral("demo")));
        QCOMPARE(one.database(QStringLiteral("postgres")), QStringLiteral("postgres"));
        QVERIFY(one.location(QStringLiteral("demo")).endsWith(QLatin1Char('/') + one.database(QStringLiteral("demo"))));
    }

    void aProgramOfTestsNamesTheOnesItHolds()
    {
        QString output;
        QCOMPARE(run(QCoreApplication::applicationFilePath(), {QStringLiteral("test_no_such_thing")}, &output), 2);
        QVERIFY2(output.contains(QLatin1String("test_suite_servers")), qPrintable(output));
    }
};

#include "support/TestPrograms.h"
REGISTER_GUILESS_TEST(TestSuiteServers)
#include "test_suite_servers.moc"
