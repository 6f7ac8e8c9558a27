// The cost types at the screen's start-up when the costs server is not
// what it should be (a closed port, a server that accepts and stays silent,
// one that answers garbage or stalls after "Open"): an empty list, a notice
// naming the server's address and the cause, and at most one Timeout (5 s)
// of waiting in all; a server that closes at once is told as closing. Names
// with control characters are cleaned. The costs server on a Firebird
// address that never answers gives up within 15 s and keeps serving other
// clients meanwhile. The shell itself on a silent costs
// server: the screen opens, the report check says the cost types could not
// be read from that server and why, and the notice goes to standard error.
#include "CostsTestSupport.h"
#include "appdata/CostsServerProcess.h"
#include "appdata/dtmDBGeral.h"
#include "remote/CostTypes.h"
#include "remote/TNetConnection.h"
#include "session/ShellNotices.h"
#include "support/FakeCostsServer.h"
#include "support/ServerThread.h"
#include "support/SilentServer.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QTest>
#include <QtEndian>

namespace {

std::unique_ptr<ServerThread> fake(FakeCostsServer::Responder r) { return fakeCostsServerThread(std::move(r)); }

// As the screen does it: connect, ask for the list, disconnect.
QStringList screenStartUp(quint16 port, int timeoutMs, qint64 *elapsed)
{
    TNetConnection c;
    c.setServerName(QStringLiteral("Vbr.rdmCustProd"));
    c.setThrowException(false);
    if (timeoutMs > 0)
        c.setTimeout(timeoutMs);
    c.setHost(QStringLiteral("127.0.0.1"));
    c.setPort(port);
    QElapsedTimer t;
    t.start();
    c.setConnected(true);
    const QStringList names = ListaTipoCusto(&c, nullptr);
    c.setConnected(false);
    *elapsed = t.elapsed();
    return names;
}

// A server that closes every connection as soon as it accepts it (one
// that is shutting down, or a program that is not a costs server).
std::unique_ptr<ServerThread> closingServer()
{
    return std::make_unique<ServerThread>([](quint16 &port) {
        auto *s = new QTcpServer;
        QObject::connect(s, &QTcpServer::newConnection, s, [s] {
            while (QTcpSocket *c = s->nextPendingConnection()) {
                c->disconnectFromHost();
                c->deleteLater();
            }
        });
        s->listen(QHostAddress::LocalHost, 0);
        port = s->serverPort();
        return s;
    });
}

QByteArray garbage()
{
    const QByteArray body("<html>not a costs server</html>");
    QByteArray h(4, '\0');
    qToBigEndian<quint32>(quint32(body.size()), h.data());
    return h + body;
}

} // namespace

class TestCostsStartup : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    // Runs the shell on a demo database with a script that opens the screen,
    // prints the cost type chosen and runs a report check.
    QString demoDatabase()
    {
        const QString db = m_dir.filePath(QStringLiteral("demo.sqlite"));
        if (!QFileInfo::exists(db)) {
            DemoSizes small;
            small.costRows = 0;
            TdtmDBGeral::createSqliteFile(db, small);
        }
        return db;
    }

    void runShell(const QStringList &extra, QString *out, QString *err)
    {
        const QString db = demoDatabase();
        const QString script = m_dir.filePath(QStringLiteral("check.script"));
        QFile f(script);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("open XEV01700\nget cbbTipoCusto\ncommand preview\n");
        f.close();
        QProcess shell;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
        env.remove(QStringLiteral("COSTS_TOKEN"));
        shell.setProcessEnvironment(env);
        shell.start(QStringLiteral(SHELL_PROGRAM), QStringList{QStringLiteral("--script"), script, QStringLiteral("--db"),
                                                               QStringLiteral("sqlite:") + db, QStringLiteral("--out"),
                                                               m_dir.path()} + extra);
        QVERIFY(shell.waitForFinished(120000));
        *out = QString::fromUtf8(shell.readAllStandardOutput());
        *err = QString::fromUtf8(shell.readAllStandardError());
    }

    QString writeIni(const QString &token)
    {
        const QString ini = m_dir.filePath(QStringLiteral("shell.ini"));
        QFile f(ini);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(QStringLiteral("[costs]\ntoken=%1\n").arg(token).toUtf8());
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner); // it holds a token
        return ini;
    }

    QString lastNotice(QSignalSpy &spy)
    {
        return spy.isEmpty() ? QStringLiteral("<no notice>") : spy.last().at(0).toString();
    }

private slots:
    void failuresGiveAnEmptyListAndANotice_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("cause");
        QTest::newRow("closed port") << 0 << QStringLiteral("conexão recusada");
        QTest::newRow("silent") << 1 << QStringLiteral("não respondeu em 2 s");
        QTest::newRow("garbage") << 2 << QStringLiteral("ilegível");
        QTest::newRow("stalls after Open") << 3 << QStringLiteral("não respondeu em 2 s");
        QTest::newRow("refuses the object") << 4 << QStringLiteral("unknown-object");
    }
    void failuresGiveAnEmptyListAndANotice()
    {
        QFETCH(int, kind);
        QFETCH(QString, cause);
        std::unique_ptr<ServerThread> srv;
        quint16 port = closedPort();
        if (kind > 0) {
            srv = fake([kind](const QJsonObject &req) {
                if (kind == 1)
                    return QByteArray();
                if (kind == 2)
                    return garbage();
                if (kind == 4)
                    return RemoteProtocol::frame(RemoteProtocol::errorReply(
                        req.value(QStringLiteral("id")).toInteger(), QStringLiteral("unknown-object"), "?"));
                // "Open" answered late, the list never.
                if (!FakeCostsServer::isOpen(req))
                    return QByteArray();
                QThread::msleep(1600);
                return FakeCostsServer::openReply(req);
            });
            port = srv->port();
        }
        QSignalSpy spy(&ShellNotices::instance(), &ShellNotices::notice);
        qint64 ms = 0;
        QCOMPARE(screenStartUp(port, 2000, &ms), QStringList());
        QCOMPARE(spy.size(), 1);
        const QString notice = lastNotice(spy);
        QVERIFY2(notice.contains(QStringLiteral("127.0.0.1:%1").arg(port)) && notice.contains(cause)
                     && notice.contains(QLatin1String("tipos de custo")),
                 qPrintable(notice));
        // One Timeout in all (two would be 3.6 s), also when "Open" was
        // answered late and the list not at all.
        QVERIFY2(ms < 3000, qPrintable(QString::number(ms)));
        QCOMPARE(NumeroTipoCusto(0), -1);
    }

    // Whether the close reaches the client before or after it sends "Open"
    // is a race; every attempt must be told as a close.
    void aServerThatClosesAtOnceIsToldAsClosing()
    {
        const auto srv = closingServer();
        for (int attempt = 0; attempt < 20; ++attempt) {
            QSignalSpy spy(&ShellNotices::instance(), &ShellNotices::notice);
            qint64 ms = 0;
            QCOMPARE(screenStartUp(srv->port(), 2000, &ms), QStringList());
            QCOMPARE(spy.size(), 1);
            const QString notice = lastNotice(spy);
            QVERIFY2(notice.startsWith(QStringLiteral("O servidor de custos em 127.0.0.1:%1 fechou a conexão sem "
                                                      "responder. Confira se ele está no ar")
                                           .arg(srv->port()))
                         && notice.endsWith(QStringLiteral("a lista de tipos de custo fica vazia.")),
                     qPrintable(notice));
        }
    }

    void startUpWaitsAtMostFiveSeconds()
    {
        // The screen's own Timeout: "Open" answered after 3 s, the list never
        // (two waits of their own would take 8 s).
        auto srv = fake([](const QJsonObject &req) {
            if (!FakeCostsServer::isOpen(req))
                return QByteArray();
            QThread::msleep(3000);
            return FakeCostsServer::openReply(req);
        });
        QSignalSpy spy(&ShellNotices::instance(), &ShellNotices::notice);
        qint64 ms = 0;
        QCOMPARE(screenStartUp(srv->port(), 0, &ms), QStringList());
        QVERIFY2(ms >= 4500 && ms < 6500, qPrintable(QString::number(ms)));
        QVERIFY2(lastNotice(spy).contains(QStringLiteral("não respondeu em 5 s")), qPrintable(lastNotice(spy)));
    }

    void namesAreCleanedOfControlCharacters()
    {
        auto srv = fake([](const QJsonObject &req) {
            if (FakeCostsServer::isOpen(req))
                return FakeCostsServer::openReply(req);
            const QJsonArray list{
                QJsonObject{{"numero", 1}, {"nome", QStringLiteral("Custo\x07 Médio\r\nnovo")}},
                QJsonObject{{"numero", 2}, {"nome", QStringLiteral("\x1b[2JReposi\u202e\u00e7\u00e3o\t")}},
                QJsonObject{{"numero", 3}, {"nome", QStringLiteral("Padr\u00e3o\u0085\u2067")}},
            };
            return RemoteProtocol::frame(RemoteProtocol::okReply(req.value(QStringLiteral("id")).toInteger(), list));
        });
        qint64 ms = 0;
        QCOMPARE(screenStartUp(srv->port(), 2000, &ms),
                 QStringList({QStringLiteral("Custo Médio novo"), QStringLiteral("[2JReposição"),
                              QStringLiteral("Padrão")}));
        QCOMPARE(NumeroTipoCusto(1), 2);
        QCOMPARE(CleanCostTypeName(QStringLiteral("  Última\u0000 Entrada  ")), QStringLiteral("Última Entrada"));
    }

    void costsServerGivesUpOnASilentFirebird()
    {
        SilentServer silent;
        QVERIFY(silent.port() > 0);
        CostsServerProcess server;
        server.setProgram(QStringLiteral(COSTS_SERVER_PATH));
        QString why;
        QVERIFY2(server.start(QStringLiteral("firebird://127.0.0.1:%1/var/db/custos.fdb").arg(silent.port()), {},
                              20000, &why),
                 qPrintable(why));
        RawClient waiting(quint16(server.port()));
        waiting.send(1, QStringLiteral("ListaTipoCusto"));
        QTest::qWait(300); // its worker is now waiting on the database

        // Another client is answered meanwhile.
        TNetConnection other;
        other.setServerName(QStringLiteral("Vbr.rdmCustProd"));
        other.setThrowException(false);
        other.setHost(server.host());
        other.setPort(server.port());
        QElapsedTimer t;
        t.start();
        other.setConnected(true);
        QVERIFY2(other.Connected(), qPrintable(other.LastError()));
        QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));

        const QJsonObject reply = waiting.reply(16000);
        QCOMPARE(RawClient::code(reply), QStringLiteral("server-error"));
        QVERIFY2(RawClient::message(reply).contains(QStringLiteral("127.0.0.1:%1 não respondeu em 10 s").arg(silent.port())),
                 qPrintable(RawClient::message(reply)));
        QVERIFY(server.isRunning());
    }

    void shellOnASilentCostsServer()
    {
        SilentServer silent;
        QString out, err;
        runShell({QStringLiteral("--costs"), QStringLiteral("127.0.0.1:%1").arg(silent.port())}, &out, &err);
        // The report check names the server and the cause, not the configuration.
        QVERIFY2(out.contains(QStringLiteral("Não foi possível ler os tipos de custo do servidor de custos em "
                                             "127.0.0.1:%1: não respondeu em 5 s")
                                  .arg(silent.port())),
                 qPrintable(out + err));
        QVERIFY2(!out.contains(QStringLiteral("Não há tipo de custo parametrizado.")), qPrintable(out));
        QVERIFY2(err.contains(QStringLiteral("Servidor de custos 127.0.0.1:%1: não respondeu em 5 s").arg(silent.port()))
                     && err.contains(QStringLiteral("não respondeu em 5 s")),
                 qPrintable(err));
    }

    // The token of the shell's configuration goes to the costs server the
    // shell starts itself, and the screen's connection presents it.
    void shellSharesItsTokenWithItsOwnServer()
    {
        QString out, err;
        runShell({QStringLiteral("--config"), writeIni(QStringLiteral("s3gredo"))}, &out, &err);
        QVERIFY2(out.contains(QStringLiteral("\"control\":\"cbbTipoCusto\",\"event\":\"value\",\"value\":\"Custo de Reposição\"")),
                 qPrintable(out + err));
        QVERIFY2(!err.contains(QLatin1String("Servidor de custos")), qPrintable(err));
    }

    void shellWithoutTheServersTokenIsRefused()
    {
        CostsServerProcess server;
        server.setProgram(QStringLiteral(COSTS_SERVER_PATH));
        server.setToken(QStringLiteral("s3gredo"));
        QVERIFY(server.start(QStringLiteral("sqlite:") + demoDatabase()));
        const QString address = QStringLiteral("%1:%2").arg(server.host()).arg(server.port());
        QString out, err;
        runShell({QStringLiteral("--costs"), address, QStringLiteral("--config"), writeIni(QStringLiteral("errado"))},
                 &out, &err);
        QVERIFY2(err.contains(QStringLiteral("Servidor de custos %1: recusou").arg(address))
                     && err.contains(QLatin1String("token")),
                 qPrintable(err));
        QVERIFY2(out.contains(QStringLiteral("Não foi possível ler os tipos de custo do servidor de custos em %1: recusou")
                                  .arg(address)),
                 qPrintable(out));
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestCostsStartup)
#include "test_costs_startup.moc"
