// Framing of the remote protocol and the costs server's options.
#include "costs/CostsOptions.h"
#include "remote/RemoteProtocol.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

using RemoteProtocol::FrameReader;

class TestRemoteProtocol : public QObject {
    Q_OBJECT

    static QByteArray header(quint32 n)
    {
        QByteArray h(4, '\0');
        qToBigEndian<quint32>(n, h.data());
        return h;
    }

private slots:
    void frameRoundTripByteByByte()
    {
        const QJsonObject msg = RemoteProtocol::request(42, QStringLiteral("Vbr.rdmCustProd"),
                                                        QStringLiteral("ListaTipoCusto"),
                                                        {{QStringLiteral("x"), QStringLiteral("ção")}});
        const QByteArray wire = RemoteProtocol::frame(msg);
        QCOMPARE(qFromBigEndian<quint32>(wire.constData()), quint32(wire.size() - 4));
        FrameReader r(RemoteProtocol::kMaxRequest);
        QByteArray body;
        for (int i = 0; i < wire.size() - 1; ++i) {
            r.append(wire.mid(i, 1));
            QCOMPARE(r.next(body), FrameReader::Incomplete);
        }
        r.append(wire.right(1));
        QCOMPARE(r.next(body), FrameReader::Ready);
        QJsonObject back;
        QVERIFY(RemoteProtocol::parseObject(body, back));
        QCOMPARE(back, msg);
        QCOMPARE(r.pending(), 0);
    }

    void severalFramesInOneChunk()
    {
        FrameReader r(RemoteProtocol::kMaxReply);
        QByteArray chunk;
        for (int i = 1; i <= 3; ++i)
            chunk += RemoteProtocol::frame(RemoteProtocol::okReply(i, i * 10));
        chunk += RemoteProtocol::frame(RemoteProtocol::okReply(4, 40)).left(6);
        r.append(chunk);
        QByteArray body;
        for (int i = 1; i <= 3; ++i) {
            QCOMPARE(r.next(body), FrameReader::Ready);
            QJsonObject o;
            QVERIFY(RemoteProtocol::parseObject(body, o));
            QCOMPARE(o.value("id").toInt(), i);
            QCOMPARE(o.value("result").toInt(), i * 10);
        }
        QCOMPARE(r.next(body), FrameReader::Incomplete);
        QCOMPARE(r.pending(), 6);
    }

    void limitIsCheckedBeforeTheBody()
    {
        FrameReader r(100);
        r.append(header(100) + QByteArray(100, 'x'));
        QByteArray body;
        QCOMPARE(r.next(body), FrameReader::Ready);
        QCOMPARE(body.size(), 100);
        // Announcing one byte more is refused from the header alone.
        r.append(header(101));
        QCOMPARE(r.next(body), FrameReader::TooLarge);
        QCOMPARE(r.announced(), 101u);
        FrameReader huge(RemoteProtocol::kMaxReply);
        huge.append(QByteArray("HTTP/1.1 200 OK\r\n"));
        QCOMPARE(huge.next(body), FrameReader::TooLarge);
    }

    void emptyFrameIsMalformed()
    {
        FrameReader r(100);
        r.append(header(0));
        QByteArray body;
        QCOMPARE(r.next(body), FrameReader::Empty);
    }

    void parseObjectRefusesOtherJson()
    {
        QJsonObject o;
        QVERIFY(!RemoteProtocol::parseObject("[1,2]", o));
        QVERIFY(!RemoteProtocol::parseObject("\"text\"", o));
        QVERIFY(!RemoteProtocol::parseObject("{\"a\":", o));
        QVERIFY(!RemoteProtocol::parseObject("\xff\xfe garbage", o));
        QVERIFY(RemoteProtocol::parseObject("{\"a\":1}", o));
        QCOMPARE(o.value("a").toInt(), 1);
    }

    void errorReplyShape()
    {
        const QJsonObject e = RemoteProtocol::errorReply(9, "unknown-object", "nope");
        QCOMPARE(e.value("id").toInt(), 9);
        QCOMPARE(e.value("ok").toBool(true), false);
        QCOMPARE(e.value("error").toObject().value("code").toString(), QStringLiteral("unknown-object"));
    }

    void optionsFromCommandLine()
    {
        CostsOptions o;
        QString error;
        QVERIFY2(o.parse({"costs_server", "--db", "sqlite:/tmp/a.db", "--listen", "127.0.0.1:4567"}, error),
                 qPrintable(error));
        QCOMPARE(o.db.scheme, QStringLiteral("sqlite"));
        QCOMPARE(o.database, QStringLiteral("sqlite:/tmp/a.db"));
        QCOMPARE(o.address, QHostAddress(QHostAddress::LocalHost));
        QCOMPARE(o.port, quint16(4567));
        QVERIFY(!o.help);
    }

    void optionsDefaultToLoopbackAndFreePort()
    {
        CostsOptions o;
        QString error;
        QVERIFY(o.parse({"costs_server", "--db", "sqlite:/tmp/a.db"}, error));
        QCOMPARE(o.address, QHostAddress(QHostAddress::LocalHost));
        QCOMPARE(o.port, quint16(0));
    }

    void optionsFromConfigFileAndPrecedence()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath("costs.ini");
        QFile f(ini);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[costs]\ndb=firebird:/data/x.fdb\nlisten=0.0.0.0:7000\nuser=ana\nread_timeout_ms=1500\nmax_clients=3\n");
        f.close();
        CostsOptions o;
        QString error;
        QVERIFY2(o.parse({"costs_server", "--config", ini, "--listen", "127.0.0.1:7001"}, error), qPrintable(error));
        QCOMPARE(o.db.scheme, QStringLiteral("firebird"));
        QVERIFY(!o.db.isServer());
        QCOMPARE(o.db.path, QStringLiteral("/data/x.fdb"));
        QCOMPARE(o.port, quint16(7001)); // the command line wins
        QCOMPARE(o.user, QStringLiteral("ana"));
        QCOMPARE(o.readTimeoutMs, 1500);
        QCOMPARE(o.maxClients, 3);
    }

    void badOptions_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no database") << QStringList{"costs_server"};
        QTest::newRow("bad database") << QStringList{"costs_server", "--db", "mysql:x"};
        QTest::newRow("listen without port") << QStringList{"costs_server", "--db", "sqlite:x", "--listen", "127.0.0.1"};
        QTest::newRow("listen bad host") << QStringList{"costs_server", "--db", "sqlite:x", "--listen", "nohost:1"};
        QTest::newRow("listen bad port") << QStringList{"costs_server", "--db", "sqlite:x", "--listen", "127.0.0.1:70000"};
        QTest::newRow("unknown option") << QStringList{"costs_server", "--db", "sqlite:x", "--nope"};
        QTest::newRow("stray argument") << QStringList{"costs_server", "--db", "sqlite:x", "extra"};
        QTest::newRow("missing config") << QStringList{"costs_server", "--config", "/nonexistent/costs.ini"};
    }
    void badOptions()
    {
        QFETCH(QStringList, args);
        CostsOptions o;
        QString error;
        QVERIFY(!o.parse(args, error));
        QVERIFY(!error.isEmpty());
    }

    void helpListsOptions()
    {
        CostsOptions o;
        QString error;
        QVERIFY(o.parse({"costs_server", "--help"}, error));
        QVERIFY(o.help);
        for (const char *opt : {"--db", "--listen", "--config", "--help", "--exit-with-stdin"})
            QVERIFY2(o.helpText.contains(QLatin1String(opt)), opt);
        // In Portuguese throughout, like the shell's: none of Qt's English headings or value names.
        QVERIFY2(o.helpText.startsWith(QStringLiteral("Uso: costs_server [opções]")), qPrintable(o.helpText));
        QVERIFY(o.helpText.contains(QStringLiteral("Opções:")));
        QVERIFY(o.helpText.contains(QStringLiteral("--listen ENDEREÇO:PORTA")));
        for (const char *english : {"Usage", "Options:", "<file>", "<name>", "<location>", "Displays"})
            QVERIFY2(!o.helpText.contains(QLatin1String(english)), english);
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestRemoteProtocol)
#include "test_remote_protocol.moc"
