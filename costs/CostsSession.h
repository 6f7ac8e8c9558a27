// One client connection of the costs server: reassembles request frames and
// answers them in order through the server, one at a time (a request that a
// worker serves holds the next ones, unread, until its reply is sent), and
// enforces the size limit, the unsent-output bound and the first-request,
// read and idle timeouts (CostsServer::Limits). An "Open" whose token check
// must wait (TokenThrottle) is held, and the requests after it unread, until
// the wait is over; a held session is not busy, so it is the first to make
// room for a newcomer. Who sent the connection (TokenSender) is looked up
// once, as it is accepted, by a server that asks for a token.
#pragma once

#include "TokenSender.h"
#include "remote/RemoteProtocol.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QJsonObject>
#include <QObject>

class CostsServer;
class QTcpSocket;
class QTimer;

class CostsSession : public QObject {
    Q_OBJECT
public:
    CostsSession(QTcpSocket *socket, CostsServer *server, quint64 serial);
    ~CostsSession() override;

    quint64 serial() const { return m_serial; }
    // Waiting for a worker's reply.
    bool busy() const { return m_busy; }
    // Milliseconds since the client last sent anything or was last answered.
    qint64 idleMs() const { return m_lastActivity.elapsed(); }
    // The reply of the request a worker served.
    void deliver(const QJsonObject &reply);
    // Closes the connection at once.
    void closeNow();

signals:
    void closed(CostsSession *self);

private:
    void readAvailable();
    void processFrames();
    void answer(const QJsonObject &request);
    // False when the client was cut off for not reading its replies.
    bool send(const QJsonObject &reply);
    // Sends a last reply (when given) and closes once it is written.
    void finish(const QJsonObject &lastReply = {});
    void armReadTimer(bool partialFrame);
    // Routes the held request again once its wait is over.
    void releaseHeld();
    bool waiting() const { return m_busy || m_holding; }

    QTcpSocket *m_socket;
    CostsServer *m_server;
    quint64 m_serial;
    RemoteProtocol::FrameReader m_reader;
    QTimer *m_firstTimer;
    QTimer *m_readTimer;
    QTimer *m_idleTimer;
    QTimer *m_holdTimer;
    QElapsedTimer m_lastActivity;
    TokenSender m_sender;
    QJsonObject m_held;
    bool m_holding = false;
    bool m_busy = false;
    bool m_authorized = false;
    bool m_closing = false;
};
