#include "CostsSession.h"
#include "CostsServer.h"

#include <QJsonObject>
#include <QTcpSocket>
#include <QTimer>

CostsSession::CostsSession(QTcpSocket *socket, CostsServer *server)
    : QObject(server), m_socket(socket), m_server(server), m_reader(RemoteProtocol::kMaxRequest),
      m_readTimer(new QTimer(this)), m_idleTimer(new QTimer(this))
{
    m_socket->setParent(this);
    m_readTimer->setSingleShot(true);
    m_readTimer->setInterval(server->limits().readTimeoutMs);
    m_idleTimer->setSingleShot(true);
    m_idleTimer->setInterval(server->limits().idleTimeoutMs);
    connect(m_readTimer, &QTimer::timeout, this, [this] { closeNow(); });
    connect(m_idleTimer, &QTimer::timeout, this, [this] { closeNow(); });
    connect(m_socket, &QTcpSocket::readyRead, this, [this] { readAvailable(); });
    connect(m_socket, &QTcpSocket::disconnected, this, [this] { closeNow(); });
    connect(m_socket, &QTcpSocket::bytesWritten, this, [this] {
        if (m_closing && m_socket->bytesToWrite() == 0)
            closeNow();
    });
    m_idleTimer->start();
    // Bytes may have arrived before the session existed.
    QTimer::singleShot(0, this, [this] { readAvailable(); });
}

CostsSession::~CostsSession() = default;

void CostsSession::readAvailable()
{
    if (m_closing)
        return;
    const QByteArray bytes = m_socket->readAll();
    if (bytes.isEmpty())
        return;
    m_idleTimer->start();
    m_reader.append(bytes);
    for (;;) {
        QByteArray body;
        const auto st = m_reader.next(body);
        if (st == RemoteProtocol::FrameReader::Incomplete)
            break;
        if (st == RemoteProtocol::FrameReader::TooLarge) {
            finish(RemoteProtocol::errorReply(
                0, QStringLiteral("too-large"),
                QStringLiteral("Pedido de %1 bytes excede o limite de %2 bytes.")
                    .arg(m_reader.announced()).arg(RemoteProtocol::kMaxRequest)));
            return;
        }
        if (st == RemoteProtocol::FrameReader::Empty) {
            finish(RemoteProtocol::errorReply(0, QStringLiteral("bad-request"), QStringLiteral("Mensagem vazia.")));
            return;
        }
        QJsonObject request;
        if (!RemoteProtocol::parseObject(body, request)) {
            send(RemoteProtocol::errorReply(0, QStringLiteral("bad-request"),
                                            QStringLiteral("A mensagem não é um objeto JSON.")));
            continue;
        }
        send(m_server->handle(request));
    }
    // Time the frame in progress from its first byte; none in progress, no timer.
    if (m_reader.pending() == 0)
        m_readTimer->stop();
    else if (!m_readTimer->isActive())
        m_readTimer->start();
}

void CostsSession::send(const QJsonObject &reply)
{
    QByteArray out = RemoteProtocol::frame(reply);
    if (quint32(out.size() - 4) > RemoteProtocol::kMaxReply)
        out = RemoteProtocol::frame(RemoteProtocol::errorReply(
            reply.value(QStringLiteral("id")).toInteger(), QStringLiteral("server-error"),
            QStringLiteral("Resposta excede o limite de %1 bytes.").arg(RemoteProtocol::kMaxReply)));
    m_socket->write(out);
}

void CostsSession::finish(const QJsonObject &lastReply)
{
    m_closing = true;
    m_readTimer->stop();
    if (!lastReply.isEmpty())
        send(lastReply);
    if (m_socket->bytesToWrite() == 0) {
        closeNow();
        return;
    }
    // Give the last reply a bounded time to leave.
    m_idleTimer->start(qMin(m_server->limits().readTimeoutMs, 5000));
}

void CostsSession::closeNow()
{
    if (!m_socket)
        return;
    QTcpSocket *s = m_socket;
    m_socket = nullptr;
    s->disconnect(this);
    m_readTimer->stop();
    m_idleTimer->stop();
    s->abort();
    emit closed(this);
}
