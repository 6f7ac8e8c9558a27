// One client connection of the costs server: reassembles request frames,
// answers each through the server, and enforces the size limit and the
// read and idle timeouts.
#pragma once

#include "services/RemoteProtocol.h"

#include <QObject>

class CostsServer;
class QTcpSocket;
class QTimer;

class CostsSession : public QObject {
    Q_OBJECT
public:
    CostsSession(QTcpSocket *socket, CostsServer *server);
    ~CostsSession() override;

signals:
    void closed(CostsSession *self);

private:
    void readAvailable();
    void send(const QJsonObject &reply);
    // Sends a last reply (when given) and closes once it is written.
    void finish(const QJsonObject &lastReply = {});
    void closeNow();

    QTcpSocket *m_socket;
    CostsServer *m_server;
    RemoteProtocol::FrameReader m_reader;
    QTimer *m_readTimer;
    QTimer *m_idleTimer;
    bool m_closing = false;
};
