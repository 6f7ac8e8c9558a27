// The shell's own costs server kept running (CostsServerSupervisor over
// CostsServerProcess, with the real program): killed, it comes back at a new
// address and serves; killed a fourth time within a minute, it stays down
// with a notice until restart(); its address, read before its end is
// handled, is already a new server's. Its token travels in its environment, never
// on its command line, and what it writes to its error output is held
// bounded.
#include "appdata/CostsServerProcess.h"
#include "appdata/CostsServerSupervisor.h"
#include "appdata/dtmDBGeral.h"
#include "remote/CostTypes.h"
#include "remote/TNetConnection.h"
#include "session/ShellContext.h"
#include "session/ShellFunctions.h"

#include <QFile>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

namespace {
constexpr int kDeadline = 30000; // only so that a broken build does not hang

QStringList listFrom(const QString &host, int port, const QString &token = QString(), QString *error = nullptr)
{
    TNetConnection c;
    c.setServerName(QStringLiteral("Vbr.rdmCustProd"));
    c.setThrowException(false);
    c.setHost(host);
    c.setPort(port);
    c.setToken(token);
    c.setConnected(true);
    const QStringList names = ListaTipoCusto(&c, nullptr);
    if (error)
        *error = c.LastError();
    return names;
}

QByteArray procFile(qint64 pid, const char *name)
{
    QFile f(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name)));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Kills the supervised server and waits until it is up again as another process.
bool killAndWaitForReturn(CostsServerSupervisor &s)
{
    const qint64 old = s.processId();
    ::kill(pid_t(old), SIGKILL);
    return QTest::qWaitFor(
        [&] {
            return s.state() != CostsServerSupervisor::State::Running
                   || (s.processId() != old && s.processId() > 0 && s.port() > 0);
        },
        kDeadline)
           && s.state() == CostsServerSupervisor::State::Running;
}
} // namespace

class TestCostsSupervisor : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_db;

    void prepare(CostsServerSupervisor &s)
    {
        s.process().setProgram(QStringLiteral(COSTS_SERVER_PATH));
        s.setDatabase(QStringLiteral("sqlite:") + m_db);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_db = m_dir.filePath(QStringLiteral("demo.sqlite"));
        DemoSizes small;
        small.costRows = 0;
        TdtmDBGeral::createSqliteFile(m_db, small);
        qputenv("COSTS_TOKEN", ""); // the test's own environment hands nothing over
    }

    void aKilledServerComesBackAndServes()
    {
        CostsServerSupervisor s;
        prepare(s);
        QSignalSpy states(&s, &CostsServerSupervisor::stateChanged);
        QSignalSpy notices(&s, &CostsServerSupervisor::notice);
        QString error;
        QVERIFY2(s.start(&error), qPrintable(error));
        QCOMPARE(s.state(), CostsServerSupervisor::State::Running);
        const QStringList names = listFrom(s.host(), s.port());
        QVERIFY(!names.isEmpty());
        const qint64 first = s.processId();

        QVERIFY(killAndWaitForReturn(s));
        QVERIFY(s.processId() != first);
        QCOMPARE(listFrom(s.host(), s.port(), QString(), &error), names);
        QCOMPARE(s.stateText(), QStringLiteral("%1:%2 (próprio)").arg(s.host()).arg(s.port()));
        QVERIFY(states.size() >= 2);
        QCOMPARE(notices.size(), 1);
        const QString notice = notices.first().first().toString();
        QVERIFY2(notice.contains(QStringLiteral("parou (foi encerrado à força) e foi iniciado de novo em %1:%2")
                                     .arg(s.host()).arg(s.port())),
                 qPrintable(notice));
    }

    // Killed, and its address read before the event loop has heard of the
    // end (a screen opened at that moment): what is read is the address of
    // a server that answers, and the end is handled once, not twice.
    void theAddressReadIsOfAServerThatAnswers()
    {
        CostsServerSupervisor s;
        prepare(s);
        QSignalSpy notices(&s, &CostsServerSupervisor::notice);
        QObject::connect(&s, &CostsServerSupervisor::stateChanged, &s, [&s] {
            ShellContext::instance().webHost = s.host();
            ShellContext::instance().webPort = s.port();
        });
        ShellContext::instance().confirmCostsServer = [&s] { s.confirmRunning(); };
        QVERIFY(s.start());
        const int old = s.port();
        ::kill(pid_t(s.processId()), SIGKILL);
        // Until its port refuses, without a turn of the event loop.
        QElapsedTimer t;
        t.start();
        for (;;) {
            QTcpSocket probe;
            probe.connectToHost(QStringLiteral("127.0.0.1"), quint16(old));
            if (!probe.waitForConnected(1000) || t.elapsed() > kDeadline)
                break;
        }
        const QString host = WebURL();
        const int port = WebPort();
        ShellContext::instance().confirmCostsServer = nullptr;
        QVERIFY(port != old);
        QVERIFY(!listFrom(host, port).isEmpty());
        QTest::qWait(500); // the queued end arrives: already handled
        QCOMPARE(s.port(), port);
        QCOMPARE(s.recentRestarts(), 1);
        QCOMPARE(notices.size(), 1);
        QVERIFY2(notices.first().first().toString().contains(QStringLiteral("não atendia em 127.0.0.1:%1").arg(old)),
                 qPrintable(notices.first().first().toString()));
    }

    void killedTooOftenItStaysDownUntilRestarted()
    {
        CostsServerSupervisor s;
        prepare(s);
        QSignalSpy notices(&s, &CostsServerSupervisor::notice);
        QVERIFY(s.start());
        for (int i = 0; i < CostsServerSupervisor::kMaxRestarts; ++i)
            QVERIFY2(killAndWaitForReturn(s), qPrintable(QString::number(i)));
        QCOMPARE(s.recentRestarts(), CostsServerSupervisor::kMaxRestarts);

        const qint64 last = s.processId();
        ::kill(pid_t(last), SIGKILL);
        QTRY_COMPARE_WITH_TIMEOUT(s.state(), CostsServerSupervisor::State::Down, kDeadline);
        // It stays down: nothing starts it behind the person's back.
        QTest::qWait(500);
        QCOMPARE(s.state(), CostsServerSupervisor::State::Down);
        QVERIFY(!s.process().isRunning());
        QVERIFY2(s.stateText().startsWith(QStringLiteral("parado")), qPrintable(s.stateText()));
        const QString notice = notices.last().first().toString();
        QVERIFY2(notice.contains(QStringLiteral("3 vezes em 1 minuto; ele fica parado")), qPrintable(notice));

        // The entry a "try again" command uses.
        QString error;
        QVERIFY2(s.restart(&error), qPrintable(error));
        QCOMPARE(s.state(), CostsServerSupervisor::State::Running);
        QCOMPARE(s.recentRestarts(), 0);
        QVERIFY(!listFrom(s.host(), s.port()).isEmpty());
        QVERIFY(s.ensureRunning());
        QCOMPARE(s.processId(), s.process().processId());
        s.stop();
        QCOMPARE(s.state(), CostsServerSupervisor::State::Stopped);
        QVERIFY(s.ensureRunning());
        QVERIFY(!listFrom(s.host(), s.port()).isEmpty());
    }

    void theTokenTravelsInTheEnvironmentNotTheCommandLine()
    {
        const QString token = QStringLiteral("chave-%1").arg(QString(3000, QLatin1Char('x')));
        CostsServerProcess p;
        p.setProgram(QStringLiteral(COSTS_SERVER_PATH));
        p.setToken(token);
        QString error;
        QVERIFY2(p.start(QStringLiteral("sqlite:") + m_db, {}, kDeadline, &error), qPrintable(error));
        const QByteArray cmdline = procFile(p.processId(), "cmdline");
        QVERIFY(cmdline.contains("--db"));
        QVERIFY(!cmdline.contains("chave-"));
        QVERIFY(procFile(p.processId(), "environ").contains("COSTS_TOKEN=" + token.toUtf8()));
        QVERIFY(!listFrom(p.host(), p.port(), token).isEmpty());
        QVERIFY(listFrom(p.host(), p.port(), QStringLiteral("outra")).isEmpty());

        // One no request could carry is refused before anything starts.
        CostsServerProcess tooLong;
        tooLong.setProgram(QStringLiteral(COSTS_SERVER_PATH));
        tooLong.setToken(QString(200 * 1024, QLatin1Char('y')));
        QVERIFY(!tooLong.start(QStringLiteral("sqlite:") + m_db, {}, kDeadline, &error));
        QVERIFY2(error.contains(QStringLiteral("o limite é 4096")) && !error.contains(QStringLiteral("yyyy")),
                 qPrintable(error.left(300)));
    }

    void errorOutputIsHeldBounded()
    {
        // A program that says a lot on its error output, listens, says more,
        // then marks that it is done.
        const QString program = m_dir.filePath(QStringLiteral("talkative"));
        const QString done = m_dir.filePath(QStringLiteral("talkative.done"));
        QFile f(program);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("#!/bin/sh\nhead -c 3000000 /dev/zero | tr '\\0' e >&2\necho 'LISTENING 127.0.0.1 9'\n"
                               "head -c 3000000 /dev/zero | tr '\\0' f >&2\necho ultima linha >&2\n"
                               "touch '%1'\nexec sleep 60\n").arg(done).toUtf8());
        f.close();
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
        CostsServerProcess p;
        p.setProgram(program);
        QString error;
        QVERIFY2(p.start(QStringLiteral("sqlite:") + m_db, {}, kDeadline, &error), qPrintable(error));
        QVERIFY(QTest::qWaitFor([&] { return QFileInfo::exists(done); }, kDeadline));
        // Read only now, after 6 MB went by: what is held is the last part.
        qsizetype largest = 0;
        QVERIFY(QTest::qWaitFor([&] {
            const QString held = p.errorOutput();
            largest = qMax(largest, held.size());
            return held.endsWith(QStringLiteral("ultima linha\n"));
        }, kDeadline));
        QVERIFY2(largest <= CostsServerProcess::kErrorTail, qPrintable(QString::number(largest)));
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestCostsSupervisor)
#include "test_costs_supervisor.moc"
