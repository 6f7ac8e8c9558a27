// The shell's own costs server as its user meets it, through a scripted
// session of the real program fed line by line: the server is killed
// (SIGKILL) under the running shell; the shell starts it again, the status
// bar names its new address, a notice says what happened, and the screen
// opened afterwards gets its cost types from it. Left down after too many
// ends, it is started again by a click on the status bar's notice.
#include "appdata/dtmDBGeral.h"
#include "support/ProcessRun.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

namespace {
constexpr int kDeadline = 60000; // only so that a broken build does not hang

// The shell's child process running the costs server; 0 when there is none.
qint64 ownCostsServer(qint64 shell)
{
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(shell));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile children(tasks.filePath(task + QStringLiteral("/children")));
        if (!children.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &pid : children.readAll().split(' ')) {
            QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(QString::fromLatin1(pid.trimmed())));
            if (!pid.trimmed().isEmpty() && cmdline.open(QIODevice::ReadOnly)
                && cmdline.readAll().split('\0').value(0).endsWith("costs_server"))
                return pid.trimmed().toLongLong();
        }
    }
    return 0;
}
} // namespace

// A scripted session of the shell fed one line at a time.
class LiveSession {
public:
    LiveSession(const QString &db, const QString &home)
    {
        QProcessEnvironment env = ProcessRun::noDisplay(home + QStringLiteral("/config"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
        env.remove(QStringLiteral("COSTS_TOKEN"));
        m_shell.setProcessEnvironment(env);
        m_shell.start(QStringLiteral(SHELL_PROGRAM),
                      {QStringLiteral("--script"), QStringLiteral("-"), QStringLiteral("--db"),
                       QStringLiteral("sqlite:") + db, QStringLiteral("--out"), home + QStringLiteral("/out")});
    }
    ~LiveSession()
    {
        if (m_shell.state() != QProcess::NotRunning) {
            m_shell.kill();
            m_shell.waitForFinished();
        }
    }

    qint64 pid() const { return m_shell.processId(); }

    // Runs one line; the values it printed by control name. Each line ends
    // with its "focus" event.
    QHash<QString, QString> run(const QString &line)
    {
        m_shell.write(line.toUtf8() + '\n');
        QHash<QString, QString> values;
        const QDeadlineTimer deadline(kDeadline);
        while (!deadline.hasExpired()) {
            if (!m_shell.canReadLine()) {
                if (m_shell.state() == QProcess::NotRunning)
                    break;
                m_shell.waitForReadyRead(100);
                continue;
            }
            const QJsonObject o = QJsonDocument::fromJson(m_shell.readLine()).object();
            const QString event = o.value("event").toString();
            if (event == QLatin1String("value"))
                values.insert(o.value("control").toString(), o.value("value").toString());
            if (event == QLatin1String("focus") || event == QLatin1String("error"))
                break;
        }
        return values;
    }

    // Ends the session; what it wrote to standard error.
    QString finish()
    {
        m_shell.closeWriteChannel();
        m_shell.waitForFinished(kDeadline);
        return QString::fromUtf8(m_shell.readAllStandardError());
    }

private:
    QProcess m_shell;
};

class TestShellOwnCosts : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_db;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_db = m_dir.filePath(QStringLiteral("demo.sqlite"));
        TdtmDBGeral::createSqliteFile(m_db);
    }

    void aKilledOwnServerComesBackAndTheScreenReadsFromIt()
    {
        LiveSession session(m_db, m_dir.filePath(QStringLiteral("user")));
        const QString status = session.run(QStringLiteral("get lblStatusCustos")).value(QStringLiteral("lblStatusCustos"));
        QVERIFY2(status.endsWith(QStringLiteral("(próprio)")), qPrintable(status));
        const qint64 first = ownCostsServer(session.pid());
        QVERIFY(first > 0);

        ::kill(pid_t(first), SIGKILL);
        // The shell notices between the lines it runs.
        QString now;
        qint64 second = 0;
        QVERIFY2(QTest::qWaitFor(
                     [&] {
                         now = session.run(QStringLiteral("get lblStatusCustos")).value(QStringLiteral("lblStatusCustos"));
                         second = ownCostsServer(session.pid());
                         return second > 0 && second != first && now.endsWith(QStringLiteral("(próprio)"));
                     },
                     kDeadline),
                 qPrintable(now));

        // A screen opened now reads the cost types from the new server.
        session.run(QStringLiteral("open XEV01700"));
        QCOMPARE(session.run(QStringLiteral("get cbbTipoCusto")).value(QStringLiteral("cbbTipoCusto")),
                 QStringLiteral("Custo de Reposição"));
        const QString errors = session.finish();
        QVERIFY2(errors.contains(QStringLiteral("O servidor de custos próprio parou (foi encerrado à força) e foi "
                                                "iniciado de novo em 127.0.0.1:")),
                 qPrintable(errors));
        QVERIFY2(!errors.contains(QStringLiteral("tipos de custo ficou vazia")), qPrintable(errors));
    }

    // Killed more often than it is restarted within a minute, the own server
    // stays down; a click on the notice starts it again and the open screen
    // reads its cost types, without restarting the shell.
    void anOwnServerLeftDownStartsAgainOnRetry()
    {
        LiveSession session(m_db, m_dir.filePath(QStringLiteral("user2")));
        for (int i = 0; i <= 3; ++i) { // the first start, then 3 restarts
            qint64 pid = 0;
            QVERIFY(QTest::qWaitFor(
                [&] {
                    session.run(QStringLiteral("get lblStatusCustos"));
                    pid = ownCostsServer(session.pid());
                    return pid > 0;
                },
                kDeadline));
            ::kill(pid_t(pid), SIGKILL);
            QVERIFY(QTest::qWaitFor(
                [&] {
                    session.run(QStringLiteral("get lblStatusCustos"));
                    return ownCostsServer(session.pid()) != pid;
                },
                kDeadline));
        }
        QTest::qWait(500);
        session.run(QStringLiteral("get lblStatusCustos"));
        QCOMPARE(ownCostsServer(session.pid()), 0);

        session.run(QStringLiteral("open XEV01700"));
        QCOMPARE(session.run(QStringLiteral("get cbbTipoCusto")).value(QStringLiteral("cbbTipoCusto")), QString());
        QVERIFY(!session.run(QStringLiteral("get lblStatusAviso")).value(QStringLiteral("lblStatusAviso")).isEmpty());

        session.run(QStringLiteral("click lblStatusAviso"));
        QVERIFY(ownCostsServer(session.pid()) > 0);
        QCOMPARE(session.run(QStringLiteral("get cbbTipoCusto")).value(QStringLiteral("cbbTipoCusto")),
                 QStringLiteral("Custo de Reposição"));
        QCOMPARE(session.run(QStringLiteral("get lblStatusAviso")).value(QStringLiteral("lblStatusAviso")), QString());
        const QString status = session.run(QStringLiteral("get lblStatusCustos")).value(QStringLiteral("lblStatusCustos"));
        QVERIFY2(status.endsWith(QStringLiteral("(próprio)")), qPrintable(status));
        session.finish();
    }
};

#include "support/TestPrograms.h"
REGISTER_GUILESS_TEST(TestShellOwnCosts)
#include "test_shell_own_costs.moc"
