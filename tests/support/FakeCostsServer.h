// A costs server that misbehaves on purpose: every request frame goes to a
// responder that returns the raw bytes to send back (nothing: stay silent).
#pragma once

#include "ServerThread.h"
#include "remote/RemoteProtocol.h"

#include <QJsonObject>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>
#include <memory>

class FakeCostsServer : public QTcpServer {
public:
    using Responder = std::function<QByteArray(const QJsonObject &request)>;

    explicit FakeCostsServer(Responder responder) : m_responder(std::move(responder))
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = nextPendingConnection()) {
                auto reader = std::make_shared<RemoteProtocol::FrameReader>(RemoteProtocol::kMaxRequest);
                connect(s, &QTcpSocket::readyRead, s, [this, s, reader] {
                    reader->append(s->readAll());
                    QByteArray body;
                    while (reader->next(body) == RemoteProtocol::FrameReader::Ready) {
                        QJsonObject req;
                        RemoteProtocol::parseObject(body, req);
                        const QByteArray out = m_responder(req);
                        if (!out.isEmpty())
                            s->write(out);
                    }
                });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }

    // The reply a sound server gives to "Open".
    static QByteArray openReply(const QJsonObject &req)
    {
        return RemoteProtocol::frame(RemoteProtocol::okReply(
            req.value(QStringLiteral("id")).toInteger(),
            QJsonObject{{QStringLiteral("object"), req.value(QStringLiteral("object"))}}));
    }
    static bool isOpen(const QJsonObject &req)
    {
        return req.value(QStringLiteral("method")).toString() == QLatin1String("Open");
    }

private:
    Responder m_responder;
};

// A fake costs server listening on 127.0.0.1 in a thread of its own.
inline std::unique_ptr<ServerThread> fakeCostsServerThread(FakeCostsServer::Responder r)
{
    return std::make_unique<ServerThread>([r](quint16 &port) {
        auto *s = new FakeCostsServer(r);
        s->listen(QHostAddress::LocalHost, 0);
        port = s->serverPort();
        return s;
    });
}
