#include "CostsSession.h"
#include "CostsServer.h"

#include <QTcpSocket>
#include <QTimer>
#include <utility>

namespace {
// What is held of a client's unread requests, by Qt and by the reader each: one
// whole frame of the largest size.
constexpr qint64 kReadBuffer = RemoteProtocol::kMaxRequest + 4;
}

CostsSession::CostsSession(QTcpSocket *socket, CostsServer *server, quint64 serial)
    : QObject(server), m_socket(socket), m_server(server), m_serial(serial), m_reader(RemoteProtocol::kMaxRequest),
      m_firstTimer(new QTimer(this)), m_readTimer(new QTimer(this)), m_idleTimer(new QTimer(this)),
      m_holdTimer(new QTimer(this)),
      // Only a server that asks for a token counts senders: the others skip the look-up.
      m_sender(server->asksForToken() ? TokenSender::of(*socket) : TokenSender{socket->peerAddress(), std::nullopt})
{
    const CostsServer::Limits limits = server->limits();
    m_socket->setParent(this);
    m_socket->setReadBufferSize(kReadBuffer);
    for (QTimer *t : {m_firstTimer, m_readTimer, m_idleTimer}) {
        t->setSingleShot(true);
        connect(t, &QTimer::timeout, this, [this] { closeNow(); });
    }
    m_firstTimer->setInterval(limits.firstRequestTimeoutMs);
    m_readTimer->setInterval(limits.readTimeoutMs);
    m_idleTimer->setInterval(limits.idleTimeoutMs);
    m_holdTimer->setSingleShot(true);
    connect(m_holdTimer, &QTimer::timeout, this, [this] { releaseHeld(); });
    connect(m_socket, &QTcpSocket::readyRead, this, [this] { readAvailable(); });
    connect(m_socket, &QTcpSocket::disconnected, this, [this] { closeNow(); });
    connect(m_socket, &QTcpSocket::bytesWritten, this, [this] {
        if (m_closing && m_socket && m_socket->bytesToWrite() == 0)
            closeNow();
    });
    m_lastActivity.start();
    m_firstTimer->start();
    m_idleTimer->start();
    // Bytes may have arrived before the session existed.
    QTimer::singleShot(0, this, [this] { readAvailable(); });
}

CostsSession::~CostsSession() = default;

void CostsSession::readAvailable()
{
    // While a worker serves a request the rest stays unread, and the frames
    // held here never pass kReadBuffer: a client's pipelined requests wait
    // in its own buffers, not in the server.
    for (;;) {
        processFrames();
        if (m_closing || !m_socket || waiting())
            return;
        const qint64 room = kReadBuffer - m_reader.pending();
        if (room <= 0 || m_socket->bytesAvailable() == 0)
            return;
        m_lastActivity.start();
        m_idleTimer->start();
        m_reader.append(m_socket->read(room));
    }
}

void CostsSession::processFrames()
{
    while (m_socket && !m_closing && !waiting()) {
        QByteArray body;
        const auto st = m_reader.next(body);
        if (st == RemoteProtocol::FrameReader::Incomplete) {
            armReadTimer(m_reader.pending() > 0);
            return;
        }
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
        m_firstTimer->stop();
        QJsonObject request;
        if (!RemoteProtocol::parseObject(body, request)) {
            if (!send(RemoteProtocol::errorReply(0, QStringLiteral("bad-request"),
                                                 QStringLiteral("A mensagem não é um objeto JSON."))))
                return;
            continue;
        }
        answer(request);
    }
    armReadTimer(false);
}

void CostsSession::answer(const QJsonObject &request)
{
    const CostsServer::Routed r = m_server->route(request, m_authorized, m_sender);
    if (r.waitMs > 0) {
        m_held = request;
        m_holding = true;
        m_holdTimer->start(int(r.waitMs));
        return;
    }
    if (r.authorizes)
        m_authorized = true;
    if (r.toWorker) {
        m_busy = true;
        m_idleTimer->stop();
        m_server->submit(this, request.value(QStringLiteral("id")).toInteger());
    } else if (r.closes && r.replyAfterMs > 0) {
        // Nothing more is read; the connection alone waits for its answer.
        m_closing = true;
        m_readTimer->stop();
        m_firstTimer->stop();
        QTimer::singleShot(int(r.replyAfterMs), this, [this, reply = r.reply] {
            if (m_socket)
                finish(reply);
        });
    } else if (r.closes) {
        finish(r.reply);
    } else {
        send(r.reply);
    }
}

void CostsSession::releaseHeld()
{
    if (!m_holding || !m_socket)
        return;
    m_holding = false;
    m_server->releaseHold(m_sender);
    answer(std::exchange(m_held, QJsonObject()));
    // Held again (another connection of the address was checked first), or
    // answered: then the requests that came meanwhile.
    if (!waiting())
        readAvailable();
}

void CostsSession::armReadTimer(bool partialFrame)
{
    // Time the frame in progress from its first byte; none in progress (or
    // a request being served), no timer.
    if (!partialFrame)
        m_readTimer->stop();
    else if (!m_readTimer->isActive())
        m_readTimer->start();
}

void CostsSession::deliver(const QJsonObject &reply)
{
    if (!m_busy || !m_socket)
        return;
    m_busy = false;
    m_lastActivity.start();
    m_idleTimer->start();
    if (!send(reply))
        return;
    // Requests that came meanwhile: in the reader, or still in the socket.
    readAvailable();
}

bool CostsSession::send(const QJsonObject &reply)
{
    QByteArray out = RemoteProtocol::frame(reply);
    if (quint32(out.size() - 4) > RemoteProtocol::kMaxReply)
        out = RemoteProtocol::frame(RemoteProtocol::errorReply(
            reply.value(QStringLiteral("id")).toInteger(), QStringLiteral("server-error"),
            QStringLiteral("Resposta excede o limite de %1 bytes.").arg(RemoteProtocol::kMaxReply)));
    m_socket->write(out);
    if (m_socket->bytesToWrite() > m_server->limits().maxUnsentBytes) {
        // A client that does not read its replies: cut it off.
        closeNow();
        return false;
    }
    return true;
}

void CostsSession::finish(const QJsonObject &lastReply)
{
    m_closing = true;
    m_readTimer->stop();
    m_firstTimer->stop();
    if (!lastReply.isEmpty() && !send(lastReply))
        return;
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
    m_firstTimer->stop();
    m_readTimer->stop();
    m_idleTimer->stop();
    m_holdTimer->stop();
    if (std::exchange(m_holding, false))
        m_server->releaseHold(m_sender);
    s->abort();
    emit closed(this);
}
