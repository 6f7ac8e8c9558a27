#include "CostsServer.h"
#include "CostsSession.h"
#include "CostTypeSource.h"
#include "remote/RemoteProtocol.h"

#include <QMutex>
#include <QTcpServer>
#include <QTcpSocket>

const char *const CostsServer::kObjectName = "Vbr.rdmCustProd";

namespace {

// One source for every worker, read under a lock.
class SharedSource : public CostTypeSource {
public:
    SharedSource(std::shared_ptr<CostTypeSource> source, std::shared_ptr<QMutex> lock)
        : m_source(std::move(source)), m_lock(std::move(lock))
    {
    }
    bool read(QList<CostType> &out, QString &error) override
    {
        QMutexLocker l(m_lock.get());
        return m_source->read(out, error);
    }

private:
    std::shared_ptr<CostTypeSource> m_source;
    std::shared_ptr<QMutex> m_lock;
};

CostsServer::SourceFactory sharing(std::unique_ptr<CostTypeSource> source)
{
    std::shared_ptr<CostTypeSource> shared(std::move(source));
    auto lock = std::make_shared<QMutex>();
    return [shared, lock]() -> std::unique_ptr<CostTypeSource> {
        if (!shared)
            return nullptr;
        return std::make_unique<SharedSource>(shared, lock);
    };
}

// Compares the whole of both, so the time taken tells nothing of where they differ.
bool sameToken(const QString &given, const QString &expected)
{
    const QByteArray a = given.toUtf8(), b = expected.toUtf8();
    unsigned diff = unsigned(a.size() ^ b.size());
    for (qsizetype i = 0; i < b.size(); ++i)
        diff |= unsigned(uchar(b[i]) ^ uchar(i < a.size() ? a[i] : 0));
    return diff == 0;
}

CostsServer::Routed unauthorized(qint64 id)
{
    CostsServer::Routed r;
    r.reply = RemoteProtocol::errorReply(
        id, QStringLiteral("unauthorized"),
        QStringLiteral("O servidor de custos exige uma chave de acesso (token), e ela não veio ou não confere. "
                       "Confira [costs] token= na configuração do shell e na do servidor de custos."));
    r.closes = true;
    return r;
}

// A sender already holding all the connections it may while its wrong
// tokens are waited out: this one is closed, its token unread.
CostsServer::Routed tooManyTries(qint64 id)
{
    CostsServer::Routed r;
    r.reply = RemoteProtocol::errorReply(
        id, QStringLiteral("too-many-tries"),
        QStringLiteral("Tentativas demais com chave de acesso (token) errada vindas deste usuário ou endereço: "
                       "aguarde alguns segundos e tente de novo, com a chave certa em [costs] token=."));
    r.closes = true;
    r.replyAfterMs = CostsServer::kTooManyTriesMs;
    return r;
}

} // namespace

CostsServer::Routed CostsServer::open(qint64 id, const QString &name, const QJsonValue &params,
                                      const TokenSender &sender)
{
    Routed r;
    if (!m_token.isEmpty()) {
        const QString key = sender.key();
        const qint64 now = m_clock.elapsed();
        r.waitMs = m_throttle.waitBeforeCheck(key, now);
        if (r.waitMs > 0)
            return m_throttle.hold(key) ? r : tooManyTries(id);
        if (!sameToken(params.toObject().value(QStringLiteral("token")).toString(), m_token)) {
            const int failures = m_throttle.failed(key, now);
            emit tokenRefused(sender.describe(), sender.uid.has_value(), failures, TokenThrottle::waitAfter(failures));
            return unauthorized(id);
        }
        m_throttle.succeeded(key);
    }
    r.reply = RemoteProtocol::okReply(id, QJsonObject{{QStringLiteral("object"), name}});
    r.authorizes = true;
    return r;
}

CostsServer::CostsServer(const SourceFactory &factory, int workers, QObject *parent)
    : QObject(parent),
      m_workers(std::make_unique<CostsWorkers>(factory, workers, this,
                                               [this](quint64 serial, const QJsonObject &reply) {
                                                   workerDone(serial, reply);
                                               }))
{
    m_clock.start();
}

CostsServer::CostsServer(std::unique_ptr<CostTypeSource> source, QObject *parent)
    : CostsServer(sharing(std::move(source)), 1, parent)
{
}

CostsServer::~CostsServer()
{
    // Workers first: their replies are queued to this object.
    m_workers.reset();
    close();
}

bool CostsServer::listen(const QHostAddress &address, quint16 port, QString *error)
{
    close();
    m_server = new QTcpServer(this);
    m_server->setMaxPendingConnections(64);
    connect(m_server, &QTcpServer::newConnection, this, [this] { acceptPending(); });
    if (!m_server->listen(address, port)) {
        if (error)
            *error = m_server->errorString();
        delete m_server;
        m_server = nullptr;
        return false;
    }
    return true;
}

QHostAddress CostsServer::address() const { return m_server ? m_server->serverAddress() : QHostAddress(); }
quint16 CostsServer::port() const { return m_server ? m_server->serverPort() : 0; }

void CostsServer::close()
{
    if (m_server) {
        m_server->close();
        delete m_server;
        m_server = nullptr;
    }
    const auto sessions = m_sessions;
    m_sessions.clear();
    for (CostsSession *s : sessions)
        delete s;
}

void CostsServer::acceptPending()
{
    while (m_server && m_server->hasPendingConnections()) {
        QTcpSocket *socket = m_server->nextPendingConnection();
        if (m_sessions.size() >= m_limits.maxClients && !makeRoom()) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        const quint64 serial = m_nextSerial++;
        auto *session = new CostsSession(socket, this, serial);
        m_sessions.insert(serial, session);
        // Queued, and dropped with the session should it be deleted first.
        connect(session, &CostsSession::closed, session, [this](CostsSession *s) { sessionClosed(s); },
                Qt::QueuedConnection);
        emit clientCountChanged(int(m_sessions.size()));
    }
}

bool CostsServer::makeRoom()
{
    CostsSession *idlest = nullptr;
    for (CostsSession *s : std::as_const(m_sessions))
        if (!s->busy() && (!idlest || s->idleMs() > idlest->idleMs()))
            idlest = s;
    if (!idlest)
        return false;
    m_sessions.remove(idlest->serial());
    idlest->closeNow();
    idlest->deleteLater();
    return true;
}

void CostsServer::sessionClosed(CostsSession *s)
{
    if (m_sessions.value(s->serial()) != s)
        return;
    m_sessions.remove(s->serial());
    s->deleteLater();
    emit clientCountChanged(int(m_sessions.size()));
}

void CostsServer::submit(CostsSession *session, qint64 id) { m_workers->listCostTypes(session->serial(), id); }

void CostsServer::workerDone(quint64 serial, const QJsonObject &reply)
{
    // The session may have gone while its request was served.
    if (CostsSession *s = m_sessions.value(serial))
        s->deliver(reply);
}

CostsServer::Routed CostsServer::route(const QJsonObject &request, bool authorized, const TokenSender &sender)
{
    const QJsonValue idValue = request.value(QStringLiteral("id"));
    const qint64 id = idValue.isDouble() ? idValue.toInteger() : 0;
    const QJsonValue object = request.value(QStringLiteral("object"));
    const QJsonValue method = request.value(QStringLiteral("method"));
    const QJsonValue params = request.value(QStringLiteral("params"));
    Routed r;
    if (!object.isString() || !method.isString() || (!params.isUndefined() && !params.isObject())
        || (!idValue.isUndefined() && !idValue.isDouble())) {
        r.reply = RemoteProtocol::errorReply(id, QStringLiteral("bad-request"),
                                             QStringLiteral("Pedido sem \"object\" e \"method\" de texto."));
        return r;
    }
    const QString name = object.toString();
    if (name != QLatin1String(kObjectName)) {
        r.reply = RemoteProtocol::errorReply(
            id, QStringLiteral("unknown-object"),
            QStringLiteral("Objeto \"%1\" desconhecido neste servidor.").arg(RemoteProtocol::clip(name)));
        return r;
    }
    const QString m = method.toString();
    if (m == QLatin1String("Open"))
        return open(id, name, params, sender);
    if (!m_token.isEmpty() && !authorized)
        return unauthorized(id);
    if (m == QLatin1String("ListaTipoCusto")) {
        r.toWorker = true;
        return r;
    }
    r.reply = RemoteProtocol::errorReply(id, QStringLiteral("unknown-method"),
                                         QStringLiteral("Método \"%1\" desconhecido em \"%2\".")
                                             .arg(RemoteProtocol::clip(m), name));
    return r;
}
