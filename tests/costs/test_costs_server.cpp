// The costs server and its client: TNetConnection, ListaTipoCusto and
// NumeroTipoCusto against a live server, a refused port, a server that
// accepts and never answers, garbage, oversized and malformed replies, an
// unknown server object; and the server's own limits and timeouts.
#include "core/Errors.h"
#include "costs/CostsServer.h"
#include "costs/CostTypeSource.h"
#include "remote/CostTypes.h"
#include "remote/RemoteProtocol.h"
#include "remote/TNetConnection.h"
#include "support/FakeCostsServer.h"
#include "support/ServerThread.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QMutex>
#include <QSignalSpy>
#include <QTest>
#include <QtEndian>

namespace {

// Cost types kept in memory; shared with the test thread under a lock.
struct FakeTypes {
    QMutex lock;
    QList<CostType> types;
    QString failure; // non-empty: reads fail with this text
    int reads = 0;
};

class FakeSource : public CostTypeSource {
public:
    explicit FakeSource(FakeTypes *shared) : m_shared(shared) {}
    bool read(QList<CostType> &out, QString &error) override
    {
        QMutexLocker l(&m_shared->lock);
        ++m_shared->reads;
        if (!m_shared->failure.isEmpty()) {
            error = m_shared->failure;
            return false;
        }
        out = m_shared->types;
        return true;
    }

private:
    FakeTypes *m_shared;
};

// A port on which nothing listens.
quint16 closedPort()
{
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    const quint16 p = s.serverPort();
    s.close();
    return p;
}

// Blocks the test thread's client for at most this long.
constexpr int kTimeout = 400;
// Generous bound for "returned after about one timeout, not hung".
constexpr int kNoHang = 5000;

} // namespace

class TestCostsServer : public QObject {
    Q_OBJECT

    FakeTypes shared;
    std::unique_ptr<ServerThread> live;

    std::unique_ptr<ServerThread> fake(FakeCostsServer::Responder r) { return fakeCostsServerThread(std::move(r)); }

    // A connection as the screen sets it up: address filled in BeforeConnect.
    std::unique_ptr<TNetConnection> connection(quint16 port, const QString &object = "Vbr.rdmCustProd")
    {
        auto c = std::make_unique<TNetConnection>();
        c->setServerName(object);
        c->setThrowException(false);
        c->setTimeout(kTimeout);
        connect(c.get(), &TNetConnection::BeforeConnect, c.get(), [raw = c.get(), port](QObject *) {
            raw->setHost(QStringLiteral("127.0.0.1"));
            raw->setPort(port);
        });
        return c;
    }

    // ListaTipoCusto through a misbehaving server after a sound "Open".
    QStringList listThrough(FakeCostsServer::Responder afterOpen, TNetConnection **keep = nullptr)
    {
        auto srv = fake([afterOpen](const QJsonObject &req) {
            return FakeCostsServer::isOpen(req) ? FakeCostsServer::openReply(req) : afterOpen(req);
        });
        auto c = connection(srv->port());
        c->setConnected(true);
        if (!c->Connected())
            return {QStringLiteral("<not connected: %1>").arg(c->LastError())};
        QElapsedTimer t;
        t.start();
        const QStringList names = ListaTipoCusto(c.get(), nullptr);
        lastElapsed = t.elapsed();
        lastError = c->LastError();
        lastConnected = c->Connected();
        Q_UNUSED(keep);
        return names;
    }
    qint64 lastElapsed = 0;
    QString lastError;
    bool lastConnected = false;

private slots:
    void init()
    {
        QMutexLocker l(&shared.lock);
        shared.types = {{3, QStringLiteral("Custo Médio")}, {1, QStringLiteral("Custo Padrão")},
                        {7, QStringLiteral("Última Entrada")}};
        shared.failure.clear();
        shared.reads = 0;
        live = std::make_unique<ServerThread>([this](quint16 &port) {
            auto *s = new CostsServer(std::make_unique<FakeSource>(&shared));
            s->listen(QHostAddress::LocalHost, 0);
            port = s->port();
            return s;
        });
        QVERIFY(live->port() > 0);
    }
    void cleanup() { live.reset(); }

    // --- a live server -----------------------------------------------------

    void liveServerListsCostTypes()
    {
        auto c = connection(live->port());
        QStringList events;
        connect(c.get(), &TNetConnection::BeforeConnect, this, [&] { events << "before"; });
        connect(c.get(), &TNetConnection::AfterConnect, this, [&] { events << "after"; });
        connect(c.get(), &TNetConnection::AfterDisconnect, this, [&] { events << "disconnected"; });
        QVERIFY(!c->Connected());
        c->setProperty("Connected", true);
        QVERIFY2(c->Connected(), qPrintable(c->LastError()));
        QCOMPARE(c->Host(), QStringLiteral("127.0.0.1"));
        const QStringList names = ListaTipoCusto(c.get(), nullptr);
        QCOMPARE(names, QStringList({"Custo Médio", "Custo Padrão", "Última Entrada"}));
        QCOMPARE(NumeroTipoCusto(0), 3);
        QCOMPARE(NumeroTipoCusto(1), 1);
        QCOMPARE(NumeroTipoCusto(2), 7);
        QCOMPARE(NumeroTipoCusto(3), -1);
        QCOMPARE(NumeroTipoCusto(-1), -1);
        c->setProperty("Connected", false);
        QVERIFY(!c->Connected());
        QCOMPARE(events, QStringList({"before", "after", "disconnected"}));
    }

    void eachListIsReadAfresh()
    {
        auto c = connection(live->port());
        c->Open();
        QCOMPARE(ListaTipoCusto(c.get()).size(), 3);
        live->run([this] { shared.types = {{9, QStringLiteral("Novo")}}; });
        QCOMPARE(ListaTipoCusto(c.get()), QStringList{"Novo"});
        QCOMPARE(NumeroTipoCusto(0), 9);
        QCOMPARE(NumeroTipoCusto(1), -1);
        QCOMPARE(shared.reads, 2);
    }

    void reconnectAfterDisconnect()
    {
        auto c = connection(live->port());
        for (int i = 0; i < 3; ++i) {
            c->setConnected(true);
            QVERIFY(c->Connected());
            QCOMPARE(ListaTipoCusto(c.get()).size(), 3);
            c->setConnected(false);
            QVERIFY(!c->Connected());
        }
    }

    void databaseFailureGivesEmptyListAndKeepsConnection()
    {
        auto c = connection(live->port());
        c->Open();
        QCOMPARE(ListaTipoCusto(c.get()).size(), 3);
        live->run([this] { shared.failure = QStringLiteral("tabela TIPOCUSTO não existe"); });
        QCOMPARE(ListaTipoCusto(c.get()), QStringList());
        QVERIFY(c->LastError().contains(QStringLiteral("TIPOCUSTO")));
        QVERIFY(c->LastError().contains(QStringLiteral("server-error")));
        QCOMPARE(NumeroTipoCusto(0), -1); // the numbers of the earlier list are gone
        QVERIFY(c->Connected());
        live->run([this] { shared.failure.clear(); });
        QCOMPARE(ListaTipoCusto(c.get()).size(), 3);
    }

    void listWithoutConnection()
    {
        QCOMPARE(ListaTipoCusto(nullptr), QStringList());
        auto c = connection(live->port());
        QCOMPARE(ListaTipoCusto(c.get()), QStringList()); // never connected
        QCOMPARE(NumeroTipoCusto(0), -1);
        QCOMPARE(shared.reads, 0);
    }

    void unknownServerObject()
    {
        auto c = connection(live->port(), QStringLiteral("Vbr.rdmOutro"));
        c->setConnected(true);
        QVERIFY(!c->Connected());
        QVERIFY2(c->LastError().contains(QStringLiteral("unknown-object")), qPrintable(c->LastError()));
        QVERIFY(c->LastError().contains(QStringLiteral("Vbr.rdmOutro")));
        QCOMPARE(ListaTipoCusto(c.get()), QStringList());
        c->setThrowException(true);
        QVERIFY_THROWS_EXCEPTION(EHostError, c->setConnected(true));
        QVERIFY(!c->Connected());
    }

    void unknownMethodKeepsConnection()
    {
        auto c = connection(live->port());
        c->Open();
        QJsonValue result;
        QVERIFY(!c->call(QStringLiteral("ApagaTudo"), {}, result));
        QVERIFY(c->LastError().contains(QStringLiteral("unknown-method")));
        QVERIFY(c->Connected());
        QVERIFY(c->call(QStringLiteral("ListaTipoCusto"), {}, result));
        QCOMPARE(result.toArray().size(), 3);
    }

    void connectFailureRaisesOnlyWhenAsked()
    {
        auto c = connection(closedPort());
        QElapsedTimer t;
        t.start();
        c->setConnected(true); // ThrowException false: no exception
        QVERIFY(t.elapsed() < kNoHang);
        QVERIFY(!c->Connected());
        QVERIFY(!c->LastError().isEmpty());
        QCOMPARE(ListaTipoCusto(c.get()), QStringList());
        c->setThrowException(true);
        try {
            c->setConnected(true);
            QFAIL("no exception");
        } catch (const EHostError &e) {
            QVERIFY(e.text().contains(QStringLiteral("127.0.0.1")));
        }
    }

    void missingAddressIsAFailedConnect()
    {
        TNetConnection c;
        c.setThrowException(false);
        c.setHost(QString());
        c.setConnected(true);
        QVERIFY(!c.Connected());
        QVERIFY(c.LastError().contains(QStringLiteral("não configurado")));
    }

    // --- servers that misbehave ---------------------------------------------

    void serverThatNeverAnswers()
    {
        auto srv = fake([](const QJsonObject &) { return QByteArray(); });
        auto c = connection(srv->port());
        QElapsedTimer t;
        t.start();
        c->setConnected(true);
        const qint64 ms = t.elapsed();
        QVERIFY(!c->Connected());
        QVERIFY2(ms >= kTimeout - 50 && ms < kNoHang, qPrintable(QString::number(ms)));
        QVERIFY(c->LastError().contains(QStringLiteral("Tempo esgotado")));
    }

    void listFromServerThatStopsAnswering()
    {
        const QStringList names = listThrough([](const QJsonObject &) { return QByteArray(); });
        QCOMPARE(names, QStringList());
        QVERIFY2(lastElapsed >= kTimeout - 50 && lastElapsed < kNoHang, qPrintable(QString::number(lastElapsed)));
        QVERIFY(lastError.contains(QStringLiteral("Tempo esgotado")));
        QVERIFY(!lastConnected);
        QCOMPARE(NumeroTipoCusto(0), -1);
    }

    void garbageReply()
    {
        QCOMPARE(listThrough([](const QJsonObject &) {
                     const QByteArray body("this is no json at all");
                     QByteArray h(4, '\0');
                     qToBigEndian<quint32>(quint32(body.size()), h.data());
                     return h + body;
                 }),
                 QStringList());
        QVERIFY(lastError.contains(QStringLiteral("ilegível")));
        QVERIFY(!lastConnected);
    }

    void plainTextReply()
    {
        // Something that is not our server at all: its first bytes read as
        // a huge length, refused at once.
        QCOMPARE(listThrough([](const QJsonObject &) { return QByteArray("HTTP/1.1 400 Bad Request\r\n\r\n"); }),
                 QStringList());
        QVERIFY(lastElapsed < kTimeout);
        QVERIFY(!lastConnected);
    }

    void oversizedReply()
    {
        QCOMPARE(listThrough([](const QJsonObject &) {
                     QByteArray h(4, '\0');
                     qToBigEndian<quint32>(RemoteProtocol::kMaxReply + 1, h.data());
                     return h + QByteArray(64 * 1024, 'x');
                 }),
                 QStringList());
        QVERIFY(lastError.contains(QStringLiteral("grande demais")));
        QVERIFY(lastElapsed < kTimeout); // refused from the header, not read
        QVERIFY(!lastConnected);
    }

    void malformedLists_data()
    {
        QTest::addColumn<QJsonValue>("result");
        QTest::newRow("object, not a list") << QJsonValue(QJsonObject{{"nome", "x"}});
        QTest::newRow("name missing") << QJsonValue(QJsonArray{QJsonObject{{"numero", 1}}});
        QTest::newRow("number as text") << QJsonValue(QJsonArray{QJsonObject{{"numero", "1"}, {"nome", "x"}}});
        QTest::newRow("fractional number") << QJsonValue(QJsonArray{QJsonObject{{"numero", 1.5}, {"nome", "x"}}});
        QTest::newRow("number beyond any integer") << QJsonValue(QJsonArray{QJsonObject{{"numero", 1e30}, {"nome", "x"}}});
        QTest::newRow("number beyond int") << QJsonValue(QJsonArray{QJsonObject{{"numero", 2147483648.0}, {"nome", "x"}}});
        QTest::newRow("bare strings") << QJsonValue(QJsonArray{"a", "b"});
        QTest::newRow("one bad entry of two")
            << QJsonValue(QJsonArray{QJsonObject{{"numero", 1}, {"nome", "a"}}, QJsonObject{{"nome", "b"}}});
    }
    void malformedLists()
    {
        QFETCH(QJsonValue, result);
        QCOMPARE(listThrough([result](const QJsonObject &req) {
                     return RemoteProtocol::frame(
                         RemoteProtocol::okReply(req.value(QStringLiteral("id")).toInteger(), result));
                 }),
                 QStringList());
        QCOMPARE(NumeroTipoCusto(0), -1);
    }

    void replyToAnotherRequest()
    {
        QCOMPARE(listThrough([](const QJsonObject &req) {
                     return RemoteProtocol::frame(
                         RemoteProtocol::okReply(req.value(QStringLiteral("id")).toInteger() + 100, QJsonArray{}));
                 }),
                 QStringList());
        QVERIFY(!lastConnected);
    }

    void serverClosesMidReply()
    {
        auto srv = fake([](const QJsonObject &req) {
            if (FakeCostsServer::isOpen(req))
                return FakeCostsServer::openReply(req);
            return QByteArray();
        });
        auto c = connection(srv->port());
        c->Open();
        QVERIFY(c->Connected());
        // Close every connection of the fake server after half a reply.
        srv->run([&] {
            for (QTcpSocket *s : srv->object()->findChildren<QTcpSocket *>()) {
                s->write(QByteArray("\0\0\0\x20{\"id\":", 10));
                s->flush();
                s->disconnectFromHost();
            }
        });
        QElapsedTimer t;
        t.start();
        QCOMPARE(ListaTipoCusto(c.get()), QStringList());
        QVERIFY(t.elapsed() < kNoHang);
        QVERIFY(!c->Connected());
    }

    // --- the server's own limits ----------------------------------------------

    void oversizedRequestIsRefusedAndClosed()
    {
        QTcpSocket s;
        s.connectToHost(QHostAddress::LocalHost, live->port());
        QVERIFY(s.waitForConnected(2000));
        QByteArray h(4, '\0');
        qToBigEndian<quint32>(RemoteProtocol::kMaxRequest + 1, h.data());
        s.write(h);
        RemoteProtocol::FrameReader r(RemoteProtocol::kMaxReply);
        QByteArray body;
        QByteArray got;
        QTRY_VERIFY_WITH_TIMEOUT((got += s.readAll(), s.state() == QAbstractSocket::UnconnectedState), 3000);
        r.append(got);
        QCOMPARE(r.next(body), RemoteProtocol::FrameReader::Ready);
        QJsonObject reply;
        QVERIFY(RemoteProtocol::parseObject(body, reply));
        QCOMPARE(reply.value("error").toObject().value("code").toString(), QStringLiteral("too-large"));
        QTRY_COMPARE_WITH_TIMEOUT(s.state(), QAbstractSocket::UnconnectedState, 3000);
    }

    void malformedRequestsGetClearErrors()
    {
        QTcpSocket s;
        s.connectToHost(QHostAddress::LocalHost, live->port());
        QVERIFY(s.waitForConnected(2000));
        const QByteArray notJson("\0\0\0\x05hello", 9);
        s.write(notJson);
        s.write(RemoteProtocol::frame(QJsonObject{{"id", 5}, {"method", "Open"}})); // no object
        s.write(RemoteProtocol::frame(QJsonObject{{"id", 6}, {"object", 1}, {"method", "Open"}}));
        s.write(RemoteProtocol::frame(RemoteProtocol::request(7, "Vbr.rdmCustProd", "Open")));
        RemoteProtocol::FrameReader r(RemoteProtocol::kMaxReply);
        QList<QJsonObject> replies;
        QTRY_VERIFY_WITH_TIMEOUT(([&] {
                                     r.append(s.readAll());
                                     QByteArray body;
                                     while (r.next(body) == RemoteProtocol::FrameReader::Ready) {
                                         QJsonObject o;
                                         RemoteProtocol::parseObject(body, o);
                                         replies << o;
                                     }
                                     return replies.size() == 4;
                                 }()),
                                 3000);
        QCOMPARE(replies[0].value("error").toObject().value("code").toString(), QStringLiteral("bad-request"));
        QCOMPARE(replies[1].value("id").toInt(), 5);
        QCOMPARE(replies[1].value("error").toObject().value("code").toString(), QStringLiteral("bad-request"));
        QCOMPARE(replies[2].value("error").toObject().value("code").toString(), QStringLiteral("bad-request"));
        QCOMPARE(replies[3].value("id").toInt(), 7);
        QVERIFY(replies[3].value("ok").toBool());
        QCOMPARE(s.state(), QAbstractSocket::ConnectedState);
    }

    void incompleteFrameTimesOut()
    {
        live->run([this] {
            auto *srv = static_cast<CostsServer *>(live->object());
            CostsServer::Limits l;
            l.readTimeoutMs = 200;
            l.idleTimeoutMs = 60000;
            srv->setLimits(l);
        });
        QTcpSocket s;
        s.connectToHost(QHostAddress::LocalHost, live->port());
        QVERIFY(s.waitForConnected(2000));
        s.write(QByteArray("\0\0", 2)); // half a header, then nothing
        QElapsedTimer t;
        t.start();
        QTRY_COMPARE_WITH_TIMEOUT(s.state(), QAbstractSocket::UnconnectedState, 5000);
        QVERIFY(t.elapsed() >= 150);
    }

    void idleConnectionIsClosed()
    {
        live->run([this] {
            auto *srv = static_cast<CostsServer *>(live->object());
            CostsServer::Limits l;
            l.idleTimeoutMs = 250;
            srv->setLimits(l);
        });
        QTcpSocket s;
        s.connectToHost(QHostAddress::LocalHost, live->port());
        QVERIFY(s.waitForConnected(2000));
        QTRY_COMPARE_WITH_TIMEOUT(s.state(), QAbstractSocket::UnconnectedState, 5000);
    }

    void manyClientsAtOnce()
    {
        constexpr int kClients = 40;
        std::vector<std::unique_ptr<QTcpSocket>> sockets;
        // One client that sends half a frame and stalls must not hold up the rest.
        auto stalled = std::make_unique<QTcpSocket>();
        stalled->connectToHost(QHostAddress::LocalHost, live->port());
        QVERIFY(stalled->waitForConnected(2000));
        stalled->write(QByteArray("\0\0\0\x40{\"id\"", 10));
        for (int i = 0; i < kClients; ++i) {
            auto s = std::make_unique<QTcpSocket>();
            s->connectToHost(QHostAddress::LocalHost, live->port());
            sockets.push_back(std::move(s));
        }
        for (int i = 0; i < kClients; ++i) {
            QVERIFY(sockets[i]->waitForConnected(2000));
            QByteArray out;
            for (int k = 0; k < 3; ++k)
                out += RemoteProtocol::frame(RemoteProtocol::request(i * 10 + k, "Vbr.rdmCustProd", "ListaTipoCusto"));
            sockets[i]->write(out);
        }
        std::vector<RemoteProtocol::FrameReader> readers(kClients, RemoteProtocol::FrameReader(RemoteProtocol::kMaxReply));
        std::vector<QList<qint64>> ids(kClients);
        auto allAnswered = [&] {
            int done = 0;
            for (int i = 0; i < kClients; ++i) {
                readers[i].append(sockets[i]->readAll());
                QByteArray body;
                while (readers[i].next(body) == RemoteProtocol::FrameReader::Ready) {
                    QJsonObject o;
                    RemoteProtocol::parseObject(body, o);
                    if (o.value("ok").toBool() && o.value("result").toArray().size() == 3)
                        ids[i] << o.value("id").toInteger();
                }
                done += ids[i].size() == 3 ? 1 : 0;
            }
            return done == kClients;
        };
        QTRY_VERIFY_WITH_TIMEOUT(allAnswered(), 10000);
        for (int i = 0; i < kClients; ++i)
            QCOMPARE(ids[i], QList<qint64>({i * 10, i * 10 + 1, i * 10 + 2}));
        QCOMPARE(shared.reads, kClients * 3);
    }

    void clientsBeyondTheLimitTakeTheIdlestPlace()
    {
        live->run([this] {
            auto *srv = static_cast<CostsServer *>(live->object());
            CostsServer::Limits l;
            l.maxClients = 2;
            srv->setLimits(l);
        });
        QTcpSocket a, b, c;
        for (QTcpSocket *s : {&a, &b}) {
            s->connectToHost(QHostAddress::LocalHost, live->port());
            QVERIFY(s->waitForConnected(2000));
            QTest::qWait(50);
        }
        int count = 0;
        QTRY_VERIFY_WITH_TIMEOUT((live->run([&] { count = static_cast<CostsServer *>(live->object())->clientCount(); }),
                                  count == 2),
                                 3000);
        // Idle connections cannot lock a newcomer out: the longest idle goes.
        c.connectToHost(QHostAddress::LocalHost, live->port());
        QVERIFY(c.waitForConnected(2000));
        QTRY_COMPARE_WITH_TIMEOUT(a.state(), QAbstractSocket::UnconnectedState, 3000);
        QCOMPARE(b.state(), QAbstractSocket::ConnectedState);
        c.write(RemoteProtocol::frame(RemoteProtocol::request(1, "Vbr.rdmCustProd", "ListaTipoCusto")));
        RemoteProtocol::FrameReader r(RemoteProtocol::kMaxReply);
        QByteArray body;
        bool answered = false;
        QTRY_VERIFY_WITH_TIMEOUT(answered || (r.append(c.readAll()), answered = r.next(body) == RemoteProtocol::FrameReader::Ready),
                                 3000);
        QJsonObject reply;
        QVERIFY(RemoteProtocol::parseObject(body, reply));
        QCOMPARE(reply.value("result").toArray().size(), 3);
        b.disconnectFromHost();
        QTRY_VERIFY_WITH_TIMEOUT((live->run([&] { count = static_cast<CostsServer *>(live->object())->clientCount(); }),
                                  count == 1),
                                 3000);
        // A place came free: a new client is served.
        auto conn = connection(live->port());
        conn->Open();
        QVERIFY(conn->Connected());
        QCOMPARE(ListaTipoCusto(conn.get()).size(), 3);
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestCostsServer)
#include "test_costs_server.moc"
