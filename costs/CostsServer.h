// The costs application server: serves remote objects over TCP in the
// protocol of host/remote/RemoteProtocol.h to many clients at once.
// Connections, framing and the limits below live in the thread that owns the
// server; reading the cost types goes to workers (CostsWorkers), each with a
// database connection of its own, so a request that waits on a slow database
// does not delay the other clients. A client's requests are answered in the
// order it sent them, one at a time.
//
// Objects and methods:
//   "Vbr.rdmCustProd"
//     "Open"            -> {"object": "Vbr.rdmCustProd"}; with a token set,
//                          params {"token": ...} must carry it. Wrong
//                          tokens are counted per sender (TokenSender: a
//                          local user, or a remote address; TokenThrottle):
//                          past a few in a row, that sender's next "Open" is
//                          held, unread beyond, until its wait is over, and
//                          one beyond the few it may hold at once gets
//                          "too-many-tries" after kTooManyTriesMs and is
//                          closed unchecked (so a flood churns slowly);
//                          every other sender is answered at once. Each wrong
//                          token is told by tokenRefused()
//     "ListaTipoCusto"  -> [{"numero": 1, "nome": "..."}, ...] in list order,
//                          read afresh from the database at every call;
//                          "server-error" when the database cannot be read.
// Anything else gets "unknown-object" or "unknown-method" (quoting at most
// 100 characters of the name sent); the connection stays open after an error
// reply, except after "too-large", a malformed frame or "unauthorized",
// which close it.
//
// Limits (setLimits; the defaults are those of the program):
//  - a connection that sends no whole request within firstRequestTimeoutMs
//    of connecting is closed, as is one whose frame does not arrive whole
//    within readTimeoutMs of its first byte, and one idle for idleTimeoutMs;
//  - with maxClients connections open, a newcomer is admitted by closing the
//    connection idle the longest (one waiting for a reply is not idle; when
//    every one is, the newcomer is closed);
//  - a client that leaves more than maxUnsentBytes of replies unread is cut
//    off, and one that sends while its request is served is not read until
//    it is answered: what a client holds in the server stays bounded.
#pragma once

#include "CostsWorkers.h"
#include "TokenSender.h"
#include "TokenThrottle.h"

#include <QHash>
#include <QHostAddress>
#include <QJsonObject>
#include <QElapsedTimer>
#include <QObject>
#include <memory>

class CostTypeSource;
class CostsSession;
class QTcpServer;

class CostsServer : public QObject {
    Q_OBJECT
public:
    struct Limits {
        int firstRequestTimeoutMs = 10000; // a whole first request within this of connecting
        int readTimeoutMs = 10000;         // a frame must arrive whole within this
        int idleTimeoutMs = 300000;        // an idle connection is closed after this
        int maxClients = 256;              // then the longest-idle connection makes room
        qint64 maxUnsentBytes = 1024 * 1024; // unread replies beyond this cut the client off
    };
    using SourceFactory = CostsWorkers::SourceFactory;
    static constexpr int kDefaultWorkers = 4;
    static constexpr qint64 kTooManyTriesMs = 1000;

    // Each of workers threads reads through a source factory made for it.
    CostsServer(const SourceFactory &factory, int workers = kDefaultWorkers, QObject *parent = nullptr);
    // One worker reading through source.
    explicit CostsServer(std::unique_ptr<CostTypeSource> source, QObject *parent = nullptr);
    ~CostsServer() override;

    void setLimits(const Limits &l) { m_limits = l; }
    Limits limits() const { return m_limits; }
    // The shared secret "Open" must carry; empty: none asked for.
    void setToken(const QString &token) { m_token = token; }
    bool asksForToken() const { return !m_token.isEmpty(); }

    // Listens on address:port (port 0 picks a free one); false with error set.
    bool listen(const QHostAddress &address, quint16 port, QString *error = nullptr);
    QHostAddress address() const;
    quint16 port() const;
    void close();
    int clientCount() const { return int(m_sessions.size()); }
    int workerCount() const { return m_workers->count(); }

    // What a session does with one request.
    struct Routed {
        QJsonObject reply;       // the reply now, unless toWorker or waitMs
        bool toWorker = false;   // a worker answers (submit)
        bool authorizes = false; // a good "Open": the session may call the rest
        bool closes = false;     // close the connection after the reply
        qint64 waitMs = 0;       // route the request again after this long (the token's check waits)
        qint64 replyAfterMs = 0; // send the reply (and close) only after this long: the connection is slowed
    };
    // The request of a client from sender; one that carries a token is
    // counted. A reply with waitMs holds one of the sender's places until
    // releaseHold(sender).
    Routed route(const QJsonObject &request, bool authorized, const TokenSender &sender);
    void releaseHold(const TokenSender &sender) { m_throttle.release(sender.key()); }
    // Hands request id of session to a worker; the reply comes to the session.
    void submit(CostsSession *session, qint64 id);

    static const char *const kObjectName;

signals:
    void clientCountChanged(int count);
    // A wrong token from sender (TokenSender::describe(); localUser: a
    // user of this machine), the failures-th in a row; the sender's next
    // one is checked after nextWaitMs (0: at once).
    void tokenRefused(const QString &sender, bool localUser, int failures, qint64 nextWaitMs);

private:
    void acceptPending();
    bool makeRoom();
    void sessionClosed(CostsSession *s);
    void workerDone(quint64 serial, const QJsonObject &reply);
    Routed open(qint64 id, const QString &name, const QJsonValue &params, const TokenSender &sender);

    std::unique_ptr<CostsWorkers> m_workers;
    QTcpServer *m_server = nullptr;
    Limits m_limits;
    QString m_token;
    TokenThrottle m_throttle;
    QElapsedTimer m_clock;
    QHash<quint64, CostsSession *> m_sessions;
    quint64 m_nextSerial = 1;
};
