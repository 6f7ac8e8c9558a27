// The costs server under clients that misbehave or wait, with real sockets:
// a request stalled on a slow database does not hold up other clients; a
// connection that sends no request in time is closed; the longest-idle
// connection makes room for a newcomer; a client that does not read its
// replies is cut off; error replies quote little of what was sent; the
// shared secret (token) is asked for when set.
#include "CostsTestSupport.h"
#include "costs/CostsServer.h"
#include "remote/CostTypes.h"
#include "remote/TNetConnection.h"
#include "session/ShellContext.h"
#include "support/ServerThread.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QTest>

class TestCostsLimits : public QObject {
    Q_OBJECT

    MemoryTypes shared;
    std::unique_ptr<ServerThread> live;

    CostsServer *server() const { return static_cast<CostsServer *>(live->object()); }

    void start(int workers, const CostsServer::Limits &limits, const QString &token = {})
    {
        live = std::make_unique<ServerThread>([this, workers, limits, token](quint16 &port) {
            auto *s = new CostsServer([this] { return std::make_unique<MemorySource>(&shared); }, workers);
            s->setLimits(limits);
            s->setToken(token);
            s->listen(QHostAddress::LocalHost, 0);
            port = s->port();
            return s;
        });
        QVERIFY(live->port() > 0);
    }

    int clients()
    {
        int n = 0;
        live->run([&] { n = server()->clientCount(); });
        return n;
    }

    std::unique_ptr<TNetConnection> connection(const QString &token = {})
    {
        auto c = std::make_unique<TNetConnection>();
        c->setServerName(QStringLiteral("Vbr.rdmCustProd"));
        c->setThrowException(false);
        c->setHost(QStringLiteral("127.0.0.1"));
        c->setPort(live->port());
        c->setToken(token);
        return c;
    }

private slots:
    void cleanup()
    {
        shared.release(); // a stalled read must not outlive its case
        live.reset();
        shared.stall = false;
        shared.reads = 0;
        while (shared.stalled.tryAcquire()) {
        }
        while (shared.released.tryAcquire()) {
        }
        ShellContext::instance().costsToken.clear();
    }

    void slowRequestDoesNotHoldUpOthers()
    {
        start(2, {});
        shared.stall = true;
        RawClient slow(live->port());
        slow.send(1, QStringLiteral("Open"));
        QVERIFY(slow.reply().value(QStringLiteral("ok")).toBool());
        slow.send(2, QStringLiteral("ListaTipoCusto"));
        QVERIFY(shared.stalled.tryAcquire(1, 5000)); // a worker is stuck on it

        auto other = connection();
        QElapsedTimer t;
        t.start();
        other->Open();
        const QStringList names = ListaTipoCusto(other.get());
        const qint64 ms = t.elapsed();
        QCOMPARE(names, QStringList({"Custo Médio", "Custo Padrão", "Última Entrada"}));
        QVERIFY2(ms < 1000, qPrintable(QString::number(ms)));
        QVERIFY(slow.reply(200).isEmpty()); // still waiting

        shared.release();
        const QJsonObject late = slow.reply();
        QCOMPARE(late.value(QStringLiteral("id")).toInt(), 2);
        QCOMPARE(late.value(QStringLiteral("result")).toArray().size(), 3);
    }

    void pipelinedRequestsWaitTheirTurn()
    {
        // One worker: a client's second request is answered after its first,
        // in order, even when the first stalls.
        start(1, {});
        shared.stall = true;
        RawClient c(live->port());
        c.send(1, QStringLiteral("ListaTipoCusto"));
        c.send(2, QStringLiteral("Open"));
        c.send(3, QStringLiteral("ListaTipoCusto"));
        QVERIFY(shared.stalled.tryAcquire(1, 5000));
        QVERIFY(c.reply(300).isEmpty()); // "Open" waits behind the stalled read
        shared.release();
        QList<int> ids;
        for (int i = 0; i < 3; ++i)
            ids << c.reply().value(QStringLiteral("id")).toInt();
        QCOMPARE(ids, QList<int>({1, 2, 3}));
    }

    void connectionWithoutRequestIsClosed()
    {
        CostsServer::Limits l;
        l.firstRequestTimeoutMs = 300;
        start(1, l);
        RawClient silent(live->port());
        RawClient trickle(live->port());
        trickle.socket.write(QByteArray("\0\0", 2)); // half a header, then nothing
        RawClient good(live->port());
        good.send(1, QStringLiteral("Open"));
        QVERIFY(good.reply().value(QStringLiteral("ok")).toBool());
        QElapsedTimer t;
        t.start();
        QVERIFY(silent.closedWithin(5000));
        QVERIFY(trickle.closedWithin(5000));
        QVERIFY2(t.elapsed() >= 150, qPrintable(QString::number(t.elapsed())));
        // One that sent a whole request is not held to it.
        QTest::qWait(400);
        QCOMPARE(good.socket.state(), QAbstractSocket::ConnectedState);
        good.send(2, QStringLiteral("ListaTipoCusto"));
        QCOMPARE(good.reply().value(QStringLiteral("result")).toArray().size(), 3);
    }

    void longestIdleConnectionMakesRoom()
    {
        CostsServer::Limits l;
        l.maxClients = 2;
        start(1, l);
        RawClient oldest(live->port());
        oldest.send(1, QStringLiteral("Open"));
        QVERIFY(oldest.reply().value(QStringLiteral("ok")).toBool());
        QTest::qWait(100);
        RawClient recent(live->port());
        recent.send(1, QStringLiteral("Open"));
        QVERIFY(recent.reply().value(QStringLiteral("ok")).toBool());
        QTRY_COMPARE_WITH_TIMEOUT(clients(), 2, 3000);

        RawClient newcomer(live->port());
        newcomer.send(1, QStringLiteral("ListaTipoCusto"));
        QCOMPARE(newcomer.reply().value(QStringLiteral("result")).toArray().size(), 3);
        QVERIFY(oldest.closedWithin(3000));
        QCOMPARE(recent.socket.state(), QAbstractSocket::ConnectedState);
        QCOMPARE(clients(), 2);
    }

    void connectionWaitingForAReplyIsNotIdle()
    {
        CostsServer::Limits l;
        l.maxClients = 1;
        start(1, l);
        shared.stall = true;
        RawClient waiting(live->port());
        waiting.send(1, QStringLiteral("ListaTipoCusto"));
        QVERIFY(shared.stalled.tryAcquire(1, 5000));
        RawClient newcomer(live->port());
        QVERIFY(newcomer.closedWithin(3000));
        shared.release();
        QCOMPARE(waiting.reply().value(QStringLiteral("id")).toInt(), 1);
    }

    void clientThatDoesNotReadIsCutOff()
    {
        CostsServer::Limits l;
        l.maxUnsentBytes = 64 * 1024;
        start(1, l);
        RawClient greedy(live->port());
        greedy.socket.setReadBufferSize(1024); // Qt must not read the replies either
        const QByteArray open = RemoteProtocol::frame(RemoteProtocol::request(1, "Vbr.rdmCustProd", "Open"));
        QByteArray chunk;
        for (int i = 0; i < 1000; ++i)
            chunk += open;
        // Requests without end, replies never read: the system's buffers
        // fill, then the server's own, and the server hangs up.
        qint64 sent = 0;
        while (greedy.socket.state() == QAbstractSocket::ConnectedState && sent < 400LL * 1024 * 1024) {
            greedy.socket.write(chunk);
            sent += chunk.size();
            greedy.socket.waitForBytesWritten(100);
        }
        QCOMPARE(greedy.socket.state(), QAbstractSocket::UnconnectedState);
        QTRY_COMPARE_WITH_TIMEOUT(clients(), 0, 5000);
        // Everyone else is still served.
        auto c = connection();
        c->Open();
        QCOMPARE(ListaTipoCusto(c.get()).size(), 3);
    }

    void errorRepliesQuoteLittle()
    {
        start(1, {});
        RawClient c(live->port());
        const QString longName = QString(5000, QLatin1Char('x')) + QStringLiteral("\x01");
        c.send(1, QStringLiteral("Open"), {}, longName);
        QJsonObject r = c.reply();
        QCOMPARE(RawClient::code(r), QStringLiteral("unknown-object"));
        QVERIFY(RawClient::message(r).contains(QString(100, QLatin1Char('x'))));
        QVERIFY(!RawClient::message(r).contains(QString(101, QLatin1Char('x'))));
        QVERIFY2(RawClient::message(r).size() < 200, qPrintable(RawClient::message(r)));
        c.send(2, QString(300, QLatin1Char('m')));
        r = c.reply();
        QCOMPARE(RawClient::code(r), QStringLiteral("unknown-method"));
        QVERIFY(!RawClient::message(r).contains(QString(101, QLatin1Char('m'))));
        QCOMPARE(RemoteProtocol::clip(QString(101, QLatin1Char('y'))), QString(100, QLatin1Char('y')) + QChar(0x2026));
        // Controls are shown, escaped, and never cut the message: a NUL would
        // end it where C strings are written.
        QCOMPARE(RemoteProtocol::clip(QStringLiteral("a\nb\tc\rd") + QChar(0) + QStringLiteral("e\x1b[2J\x7f\u0085")),
                 QStringLiteral("a\\nb\\tc\\rd\\0e\\x1B[2J\\x7F\\x85"));
        QCOMPARE(RemoteProtocol::clip(QStringLiteral("abc\u202edef\u2028ção")), QStringLiteral("abc\\u202Edef\\u2028ção"));
        // The bound counts what is shown: an escape is never split.
        QCOMPARE(RemoteProtocol::clip(QString(99, QLatin1Char('z')) + QChar(0)), QString(99, QLatin1Char('z')) + QChar(0x2026));
        QCOMPARE(RemoteProtocol::clip(QString(98, QLatin1Char('z')) + QChar(0)), QString(98, QLatin1Char('z')) + QStringLiteral("\\0"));
        QCOMPARE(RemoteProtocol::clip(QString(99, QLatin1Char('z')) + QStringLiteral("\U0001F600")),
                 QString(99, QLatin1Char('z')) + QChar(0x2026));
        c.send(3, QStringLiteral("Open"), {}, QStringLiteral("Vbr") + QChar(0) + QStringLiteral("\u202e"));
        r = c.reply();
        QVERIFY2(RawClient::message(r).contains(QStringLiteral("\"Vbr\\0\\u202E\"")), qPrintable(RawClient::message(r)));
    }

    void tokenIsAskedForWhenSet()
    {
        start(1, {}, QStringLiteral("s3gredo"));
        // Without it, or with a wrong one: refused, clearly, and not served.
        for (const QString &token : {QString(), QStringLiteral("s3gred"), QStringLiteral("s3gredo!")}) {
            auto c = connection(token);
            c->setConnected(true);
            QVERIFY(!c->Connected());
            QVERIFY2(c->LastError().contains(QLatin1String("unauthorized"))
                         && c->LastError().contains(QLatin1String("[costs] token=")),
                     qPrintable(c->LastError()));
        }
        // Skipping "Open" does not get round it.
        RawClient sneaky(live->port());
        sneaky.send(1, QStringLiteral("ListaTipoCusto"));
        QCOMPARE(RawClient::code(sneaky.reply()), QStringLiteral("unauthorized"));
        QVERIFY(sneaky.closedWithin(3000));
        QCOMPARE(shared.reads, 0);

        auto given = connection(QStringLiteral("s3gredo"));
        given->Open();
        QVERIFY2(given->Connected(), qPrintable(given->LastError()));
        QCOMPARE(ListaTipoCusto(given.get()).size(), 3);
        // The shell's configured token, when the connection has none of its own.
        ShellContext::instance().costsToken = QStringLiteral("s3gredo");
        auto configured = connection();
        configured->Open();
        QVERIFY(configured->Connected());
        QCOMPARE(ListaTipoCusto(configured.get()).size(), 3);
    }

    void withoutTokenNoneIsAskedFor()
    {
        start(1, {});
        auto c = connection(QStringLiteral("sobra"));
        c->Open();
        QVERIFY(c->Connected());
        QCOMPARE(ListaTipoCusto(c.get()).size(), 3);
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestCostsLimits)
#include "test_costs_limits.moc"
