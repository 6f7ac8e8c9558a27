// bench/data/gendata on Firebird: more cost rows than one transaction
// holds (it commits every 50,000) on an embedded database; a run that fails
// half-way, or is killed while it writes, leaves no database under the
// target's name; on a server started on 127.0.0.1, a database a failed run
// made is dropped.
#include "appdata/dtmDBGeral.h"
#include "support/FirebirdServer.h"

#include <QProcess>
#include <QSqlQuery>
#include <QtTest>

#include <csignal>

class TestGendata : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    struct Run {
        int exitCode = -1;
        QString output;
    };

    static Run gendata(const QStringList &args)
    {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start(QStringLiteral(GENDATA_PROGRAM), args);
        Run r;
        if (!p.waitForFinished(240000)) {
            p.kill();
            p.waitForFinished();
            r.output = QStringLiteral("gendata did not finish");
            return r;
        }
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.output = QString::fromLocal8Bit(p.readAll());
        return r;
    }

    static qint64 count(const QString &location, const char *table)
    {
        qint64 n = -1;
        {
            const QSqlDatabase db = TdtmDBGeral::openConnection({DatabaseLocation::parse(location), QStringLiteral("SYSDBA"),
                                                                 QStringLiteral("masterkey"), QStringLiteral("count")});
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table))) && q.next())
                n = q.value(0).toLongLong();
        }
        TdtmDBGeral::closeConnection(QStringLiteral("count"));
        return n;
    }

private slots:
    void initTestCase()
    {
        if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QIBASE")))
            QSKIP("Qt's Firebird driver (QIBASE) is not installed");
        QVERIFY(m_dir.isValid());
    }

    void moreRowsThanOneCommit()
    {
        const QString path = m_dir.filePath(QStringLiteral("costs-60k.fdb"));
        const Run r = gendata({QStringLiteral("--database"), QStringLiteral("firebird:") + path,
                               QStringLiteral("--cost-rows"), QStringLiteral("60000"), QStringLiteral("--services"),
                               QStringLiteral("1500")});
        QVERIFY2(r.exitCode == 0, qPrintable(r.output));
        QVERIFY(QFileInfo::exists(path));
        QVERIFY(!QFileInfo::exists(path + QStringLiteral(".part")));
        QCOMPARE(count(QStringLiteral("firebird:") + path, "CUSTREAL"), qint64(60000));
        QCOMPARE(count(QStringLiteral("firebird:") + path, "SERVICO"), qint64(1500 + 42)); // and the other branches'
    }

    void aFailureLeavesNoFile()
    {
        // A branch code longer than the column: the services fail after the
        // schema and the reference rows are in.
        const QString path = m_dir.filePath(QStringLiteral("failed.fdb"));
        const Run r = gendata({QStringLiteral("--database"), QStringLiteral("firebird:") + path,
                               QStringLiteral("--services"), QStringLiteral("10"), QStringLiteral("--branch"),
                               QStringLiteral("01010")});
        QVERIFY2(r.exitCode == 1, qPrintable(r.output));
        QVERIFY2(r.output.contains(QLatin1String("truncation")), qPrintable(r.output));
        QVERIFY(!QFileInfo::exists(path));
        QVERIFY(!QFileInfo::exists(path + QStringLiteral(".part")));
    }

    void killedWhileWritingLeavesNoDatabase()
    {
        const QString path = m_dir.filePath(QStringLiteral("killed.fdb"));
        const QString part = path + QStringLiteral(".part");
        QProcess p;
        p.start(QStringLiteral(GENDATA_PROGRAM), {QStringLiteral("--database"), QStringLiteral("firebird:") + path,
                                                  QStringLiteral("--cost-rows"), QStringLiteral("1000000")});
        QVERIFY(p.waitForStarted());
        // Killed once the cost rows are being written.
        QElapsedTimer t;
        t.start();
        while (QFileInfo(part).size() < 4 * 1024 * 1024 && p.state() == QProcess::Running && t.elapsed() < 120000)
            QThread::msleep(50);
        QVERIFY2(p.state() == QProcess::Running, "gendata ended before it could be killed");
        ::kill(pid_t(p.processId()), SIGKILL);
        QVERIFY(p.waitForFinished());
        QVERIFY(!QFileInfo::exists(path));
        // The next run starts afresh over the leftover part.
        const Run again = gendata({QStringLiteral("--database"), QStringLiteral("firebird:") + path,
                                   QStringLiteral("--cost-rows"), QStringLiteral("100")});
        QVERIFY2(again.exitCode == 0, qPrintable(again.output));
        QCOMPARE(count(QStringLiteral("firebird:") + path, "CUSTREAL"), qint64(100));
        QVERIFY(!QFileInfo::exists(part));
    }

    void aFailureOnAServerDropsWhatItMade()
    {
        FirebirdServer server;
        QString why;
        if (!server.start(&why))
            QSKIP(qPrintable(QStringLiteral("no Firebird server to start: ") + why));
        const QString path = QDir(server.folder()).filePath(QStringLiteral("failed.fdb"));
        const Run r = gendata({QStringLiteral("--database"),
                               QStringLiteral("firebird://127.0.0.1:%1%2").arg(server.port()).arg(path),
                               QStringLiteral("--services"), QStringLiteral("10"), QStringLiteral("--branch"),
                               QStringLiteral("01010")});
        QVERIFY2(r.exitCode == 1, qPrintable(r.output));
        QVERIFY(!QFileInfo::exists(path));
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestGendata)
#include "test_gendata.moc"
