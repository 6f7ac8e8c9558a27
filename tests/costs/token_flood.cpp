// token_flood PORT CONNECTIONS TOKEN SECONDS: another user guessing the costs
// server's token. Keeps CONNECTIONS connections to 127.0.0.1:PORT, each
// sending "Open" with TOKEN and opening again as soon as the server answers
// or closes, for SECONDS; then prints how many connections it made and the
// error codes it was answered with, one "code count" a line.
#include "remote/RemoteProtocol.h"

#include <QCoreApplication>
#include <QHash>
#include <QJsonObject>
#include <QTcpSocket>
#include <QTimer>
#include <cstdio>

namespace {

struct Flood {
    quint16 port = 0;
    QString token;
    int connections = 0;
    QHash<QString, int> codes;

    void open()
    {
        auto *socket = new QTcpSocket;
        auto *reader = new RemoteProtocol::FrameReader(RemoteProtocol::kMaxReply);
        ++connections;
        QObject::connect(socket, &QTcpSocket::connected, socket, [this, socket] {
            socket->write(RemoteProtocol::frame(RemoteProtocol::request(
                1, QStringLiteral("Vbr.rdmCustProd"), QStringLiteral("Open"), {{QStringLiteral("token"), token}})));
        });
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, reader] {
            reader->append(socket->readAll());
            QByteArray body;
            QJsonObject reply;
            if (reader->next(body) == RemoteProtocol::FrameReader::Ready && RemoteProtocol::parseObject(body, reply))
                ++codes[reply.value(QStringLiteral("error")).toObject().value(QStringLiteral("code")).toString()];
        });
        // Answered and closed, or refused: the next guess on a new connection.
        QObject::connect(socket, &QTcpSocket::disconnected, socket, [this, socket, reader] { done(socket, reader); });
        QObject::connect(socket, &QTcpSocket::errorOccurred, socket, [this, socket, reader] {
            if (socket->state() == QAbstractSocket::UnconnectedState)
                done(socket, reader);
        });
        socket->connectToHost(QStringLiteral("127.0.0.1"), port);
    }

    void done(QTcpSocket *socket, RemoteProtocol::FrameReader *reader)
    {
        if (socket->property("done").toBool())
            return;
        socket->setProperty("done", true);
        socket->deleteLater();
        delete reader;
        QTimer::singleShot(0, [this] { open(); });
    }
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 5)
        return 2;
    Flood flood;
    flood.port = quint16(QByteArray(argv[1]).toUInt());
    flood.token = QString::fromUtf8(argv[3]);
    for (int i = 0; i < QByteArray(argv[2]).toInt(); ++i)
        flood.open();
    QTimer::singleShot(QByteArray(argv[4]).toInt() * 1000, &app, &QCoreApplication::quit);
    app.exec();
    std::printf("connections %d\n", flood.connections);
    for (auto it = flood.codes.cbegin(); it != flood.codes.cend(); ++it)
        std::printf("%s %d\n", qPrintable(it.key()), it.value());
    return 0;
}
