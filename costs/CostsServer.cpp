#include "CostsServer.h"
#include "CostTypeSource.h"
#include "CostsSession.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTcpServer>
#include <QTcpSocket>

const char *const CostsServer::kObjectName = "Vbr.rdmCustProd";

CostsServer::CostsServer(std::unique_ptr<CostTypeSource> source, QObject *parent)
    : QObject(parent), m_source(std::move(source))
{
}

CostsServer::~CostsServer() { close(); }

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
        if (m_sessions.size() >= m_limits.maxClients) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto *session = new CostsSession(socket, this);
        m_sessions.insert(session);
        connect(session, &CostsSession::closed, this, [this](CostsSession *s) { sessionClosed(s); },
                Qt::QueuedConnection);
        emit clientCountChanged(int(m_sessions.size()));
    }
}

void CostsServer::sessionClosed(CostsSession *s)
{
    if (!m_sessions.remove(s))
        return;
    s->deleteLater();
    emit clientCountChanged(int(m_sessions.size()));
}

QJsonObject CostsServer::handle(const QJsonObject &request)
{
    const QJsonValue idValue = request.value(QStringLiteral("id"));
    const qint64 id = idValue.isDouble() ? idValue.toInteger() : 0;
    const QJsonValue object = request.value(QStringLiteral("object"));
    const QJsonValue method = request.value(QStringLiteral("method"));
    const QJsonValue params = request.value(QStringLiteral("params"));
    if (!object.isString() || !method.isString() || (!params.isUndefined() && !params.isObject())
        || (!idValue.isUndefined() && !idValue.isDouble()))
        return RemoteProtocol::errorReply(id, QStringLiteral("bad-request"),
                                          QStringLiteral("Pedido sem \"object\" e \"method\" de texto."));
    const QString name = object.toString();
    if (name != QLatin1String(kObjectName))
        return RemoteProtocol::errorReply(id, QStringLiteral("unknown-object"),
                                          QStringLiteral("Objeto \"%1\" desconhecido neste servidor.").arg(name));
    const QString m = method.toString();
    if (m == QLatin1String("Open"))
        return RemoteProtocol::okReply(id, QJsonObject{{QStringLiteral("object"), name}});
    if (m == QLatin1String("ListaTipoCusto")) {
        QList<CostType> types;
        QString error;
        if (!m_source || !m_source->read(types, error))
            return RemoteProtocol::errorReply(id, QStringLiteral("server-error"),
                                              error.isEmpty() ? QStringLiteral("Sem banco de dados.") : error);
        QJsonArray list;
        for (const CostType &t : types)
            list.append(QJsonObject{{QStringLiteral("numero"), t.numero}, {QStringLiteral("nome"), t.nome}});
        return RemoteProtocol::okReply(id, list);
    }
    return RemoteProtocol::errorReply(id, QStringLiteral("unknown-method"),
                                      QStringLiteral("Método \"%1\" desconhecido em \"%2\".").arg(m, name));
}
