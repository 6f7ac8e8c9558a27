// The costs server unreachable, as the person at the shell meets it: a
// scripted session of the real program, fed line by line, against a real
// costs server started on 127.0.0.1 and killed, and a silent fake one. The
// status bar keeps the whole notice (with the server's address and cause)
// until the server answers; F5 says the cost types could not be read from
// that server, and why; a click on the notice reads the list again without
// a restart.
#include "appdata/CostsServerProcess.h"
#include "appdata/dtmDBGeral.h"
#include "support/ProcessRun.h"
#include "support/SilentServer.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

namespace {
constexpr int kDeadline = 60000; // only so that a broken build does not hang

quint16 closedPort()
{
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    const quint16 p = s.serverPort();
    s.close();
    return p;
}

// A scripted session of the shell fed one line at a time.
class Session {
public:
    Session(const QString &db, const QString &home, quint16 costsPort)
    {
        QProcessEnvironment env = ProcessRun::noDisplay(home + QStringLiteral("/config"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
        env.remove(QStringLiteral("COSTS_TOKEN"));
        m_shell.setProcessEnvironment(env);
        m_shell.start(QStringLiteral(SHELL_PROGRAM),
                      {QStringLiteral("--script"), QStringLiteral("-"), QStringLiteral("--db"),
                       QStringLiteral("sqlite:") + db, QStringLiteral("--costs"),
                       QStringLiteral("127.0.0.1:%1").arg(costsPort)});
    }
    ~Session()
    {
        m_shell.closeWriteChannel();
        if (!m_shell.waitForFinished(10000)) {
            m_shell.kill();
            m_shell.waitForFinished();
        }
    }

    // Runs one line; what it printed, one JSON object a line. Each line ends
    // with its "focus" event.
    QList<QJsonObject> run(const QString &line)
    {
        m_shell.write(line.toUtf8() + '\n');
        QList<QJsonObject> events;
        const QDeadlineTimer deadline(kDeadline);
        while (!deadline.hasExpired()) {
            if (!m_shell.canReadLine()) {
                if (m_shell.state() == QProcess::NotRunning)
                    break;
                m_shell.waitForReadyRead(100);
                continue;
            }
            const QJsonObject o = QJsonDocument::fromJson(m_shell.readLine()).object();
            events << o;
            if (o.value("event").toString() == QLatin1String("focus"))
                break;
        }
        return events;
    }
    QString value(const QString &control)
    {
        for (const QJsonObject &o : run(QStringLiteral("get ") + control))
            if (o.value("event").toString() == QLatin1String("value"))
                return o.value("value").toVariant().toString();
        return QStringLiteral("<none>");
    }
    // The messages a line showed.
    QStringList messages(const QString &line)
    {
        QStringList out;
        for (const QJsonObject &o : run(line))
            if (o.value("event").toString() == QLatin1String("message"))
                out << o.value("text").toString();
        return out;
    }

private:
    QProcess m_shell;
};
} // namespace

class TestCostsRetry : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_db;

    // F5's message and the notice name the server and the cause.
    static void checkUnreachable(Session &s, quint16 port, const QString &cause)
    {
        const QString address = QStringLiteral("127.0.0.1:%1").arg(port);
        QCOMPARE(s.value(QStringLiteral("cbbTipoCusto")), QString());
        const QString notice = s.value(QStringLiteral("lblStatusAviso"));
        QVERIFY2(notice.contains(address) && notice.contains(cause), qPrintable(notice));
        const QStringList shown = s.messages(QStringLiteral("key F5"));
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].contains(QStringLiteral("Não foi possível ler os tipos de custo do servidor de custos em ")
                                   + address),
                 qPrintable(shown[0]));
        QVERIFY2(shown[0].contains(cause) && shown[0].contains(QStringLiteral("Tentar novamente")), qPrintable(shown[0]));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_db = m_dir.filePath(QStringLiteral("demo.sqlite"));
        TdtmDBGeral::createSqliteFile(m_db);
    }

    void aServerStartedLaterIsReachedByTryingAgain()
    {
        const quint16 port = closedPort();
        Session s(m_db, m_dir.filePath(QStringLiteral("a")), port);
        s.run(QStringLiteral("open XEV01700"));
        checkUnreachable(s, port, QStringLiteral("recusad"));

        // The server comes up at that address: one click, no restart.
        CostsServerProcess server;
        server.setProgram(QStringLiteral(COSTS_PROGRAM));
        QString why;
        QVERIFY2(server.start(QStringLiteral("sqlite:") + m_db,
                              {QStringLiteral("--listen"), QStringLiteral("127.0.0.1:%1").arg(port)}, 10000, &why),
                 qPrintable(why));
        s.run(QStringLiteral("click lblStatusAviso"));
        QVERIFY(!s.value(QStringLiteral("cbbTipoCusto")).isEmpty());
        QCOMPARE(s.value(QStringLiteral("lblStatusAviso")), QString());

        // Killed under the shell: the screen opened next says so, and the
        // server started again is reached by the next click.
        QCOMPARE(::kill(pid_t(server.processId()), SIGKILL), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!server.isRunning(), 10000);
        s.run(QStringLiteral("close"));
        s.run(QStringLiteral("open XEV01700"));
        checkUnreachable(s, port, QStringLiteral("recusad"));
        QVERIFY2(server.start(QStringLiteral("sqlite:") + m_db,
                              {QStringLiteral("--listen"), QStringLiteral("127.0.0.1:%1").arg(port)}, 10000, &why),
                 qPrintable(why));
        s.run(QStringLiteral("click lblStatusAviso"));
        QVERIFY(!s.value(QStringLiteral("cbbTipoCusto")).isEmpty());
        QCOMPARE(s.value(QStringLiteral("lblStatusAviso")), QString());
    }

    void aSilentServerIsToldAsSilent()
    {
        SilentServer silent;
        Session s(m_db, m_dir.filePath(QStringLiteral("b")), silent.port());
        s.run(QStringLiteral("open XEV01700"));
        checkUnreachable(s, silent.port(), QStringLiteral("não respondeu em 5 s"));
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestCostsRetry)
#include "test_costs_retry.moc"
