// The costs application server: serves remote objects over TCP in the
// protocol of host/services/RemoteProtocol.h, any number of clients at once
// (up to maxClients), all in the thread that owns it.
//
// Objects and methods:
//   "Vbr.rdmCustProd"
//     "Open"            -> {"object": "Vbr.rdmCustProd"}
//     "ListaTipoCusto"  -> [{"numero": 1, "nome": "..."}, ...] in list order,
//                          read afresh from the database at every call;
//                          "server-error" when the database cannot be read.
// Anything else gets "unknown-object" or "unknown-method"; the connection
// stays open after an error reply, except after "too-large" or a malformed
// frame, which close it.
#pragma once

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <functional>
#include <memory>

class CostTypeSource;
class CostsSession;
class QJsonObject;
class QJsonValue;
class QTcpServer;

class CostsServer : public QObject {
    Q_OBJECT
public:
    struct Limits {
        int readTimeoutMs = 10000;   // a frame must arrive whole within this
        int idleTimeoutMs = 300000;  // an idle connection is closed after this
        int maxClients = 256;        // further connections are closed at once
    };

    explicit CostsServer(std::unique_ptr<CostTypeSource> source, QObject *parent = nullptr);
    ~CostsServer() override;

    void setLimits(const Limits &l) { m_limits = l; }
    Limits limits() const { return m_limits; }

    // Listens on address:port (port 0 picks a free one); false with error set.
    bool listen(const QHostAddress &address, quint16 port, QString *error = nullptr);
    QHostAddress address() const;
    quint16 port() const;
    void close();
    int clientCount() const { return int(m_sessions.size()); }

    // Answers one request object (used by the sessions; also by tests).
    QJsonObject handle(const QJsonObject &request);

    static const char *const kObjectName;

signals:
    void clientCountChanged(int count);

private:
    void acceptPending();
    void sessionClosed(CostsSession *s);

    std::unique_ptr<CostTypeSource> m_source;
    QTcpServer *m_server = nullptr;
    Limits m_limits;
    QSet<CostsSession *> m_sessions;
};
