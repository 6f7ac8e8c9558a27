#include "TNetConnection.h"
#include "RemoteProtocol.h"
#include "toolkit/ComponentRegistry.h"
#include "toolkit/Dispatch.h"
#include "toolkit/Errors.h"

#include <QDeadlineTimer>
#include <QTcpSocket>

REGISTER_COMPONENT(TNetConnection)

TNetConnection::TNetConnection(QObject *parent) : QObject(parent) {}

TNetConnection::~TNetConnection() { disconnectNow(false); }

bool TNetConnection::Connected() const
{
    return m_connected && m_socket && m_socket->state() == QAbstractSocket::ConnectedState;
}

void TNetConnection::setConnected(bool v)
{
    if (v == Connected()) {
        if (!v)
            m_connected = false;
        return;
    }
    if (!v) {
        disconnectNow(true);
        return;
    }
    Dispatch::fire([this] { emit BeforeConnect(this); });
    if (!connectNow()) {
        if (m_throwException)
            throw EHostError(m_lastError);
        return;
    }
    Dispatch::fire([this] { emit AfterConnect(this); });
}

bool TNetConnection::fail(const QString &why)
{
    m_lastError = why;
    disconnectNow(false);
    return false;
}

bool TNetConnection::connectNow()
{
    disconnectNow(false);
    m_lastError.clear();
    const QString where = QStringLiteral("%1:%2").arg(m_host).arg(m_port);
    if (m_host.isEmpty() || m_port <= 0 || m_port > 65535)
        return fail(QStringLiteral("Servidor de aplicação não configurado (endereço \"%1\").").arg(where));
    m_socket = new QTcpSocket(this);
    QDeadlineTimer deadline(m_timeout);
    m_socket->connectToHost(m_host, quint16(m_port));
    if (!m_socket->waitForConnected(int(qMax<qint64>(1, deadline.remainingTime()))))
        return fail(QStringLiteral("Não foi possível conectar ao servidor de aplicação %1: %2")
                        .arg(where, m_socket->errorString()));
    m_connected = true;
    QJsonValue result;
    if (!call(QStringLiteral("Open"), {}, result)) {
        const QString why = QStringLiteral("O servidor %1 recusou o objeto \"%2\": %3").arg(where, m_serverName, m_lastError);
        return fail(why);
    }
    return true;
}

void TNetConnection::disconnectNow(bool notify)
{
    const bool was = Connected();
    if (was && notify)
        Dispatch::fire([this] { emit BeforeDisconnect(this); });
    m_connected = false;
    if (m_socket) {
        m_socket->abort();
        m_socket->deleteLater();
        m_socket = nullptr;
    }
    if (was && notify)
        Dispatch::fire([this] { emit AfterDisconnect(this); });
}

bool TNetConnection::call(const QString &method, const QJsonObject &params, QJsonValue &result)
{
    if (!Connected())
        return fail(QStringLiteral("Sem conexão com o servidor de aplicação."));
    QDeadlineTimer deadline(m_timeout);
    auto remaining = [&] { return int(qMax<qint64>(1, deadline.remainingTime())); };

    const qint64 id = m_nextId++;
    const QByteArray out = RemoteProtocol::frame(RemoteProtocol::request(id, m_serverName, method, params));
    if (quint32(out.size() - 4) > RemoteProtocol::kMaxRequest)
        return fail(QStringLiteral("Pedido grande demais para o servidor de aplicação."));
    m_socket->write(out);
    while (m_socket->bytesToWrite() > 0) {
        if (deadline.hasExpired() || !m_socket->waitForBytesWritten(remaining()))
            return fail(QStringLiteral("Tempo esgotado ao enviar ao servidor de aplicação."));
    }

    RemoteProtocol::FrameReader reader(RemoteProtocol::kMaxReply);
    QByteArray body;
    for (;;) {
        reader.append(m_socket->readAll());
        const auto st = reader.next(body);
        if (st == RemoteProtocol::FrameReader::Ready)
            break;
        if (st == RemoteProtocol::FrameReader::TooLarge)
            return fail(QStringLiteral("Resposta do servidor de aplicação grande demais (%1 bytes).")
                            .arg(reader.announced()));
        if (st == RemoteProtocol::FrameReader::Empty)
            return fail(QStringLiteral("Resposta vazia do servidor de aplicação."));
        if (deadline.hasExpired())
            return fail(QStringLiteral("Tempo esgotado esperando o servidor de aplicação."));
        if (!m_socket->waitForReadyRead(remaining())) {
            if (m_socket->state() != QAbstractSocket::ConnectedState)
                return fail(QStringLiteral("O servidor de aplicação fechou a conexão."));
            if (deadline.hasExpired())
                return fail(QStringLiteral("Tempo esgotado esperando o servidor de aplicação."));
        }
    }

    QJsonObject reply;
    if (!RemoteProtocol::parseObject(body, reply))
        return fail(QStringLiteral("Resposta ilegível do servidor de aplicação."));
    if (reply.value(QStringLiteral("id")).toInteger(-1) != id)
        return fail(QStringLiteral("Resposta fora de ordem do servidor de aplicação."));
    if (!reply.value(QStringLiteral("ok")).toBool()) {
        const QJsonObject err = reply.value(QStringLiteral("error")).toObject();
        QString msg = err.value(QStringLiteral("message")).toString();
        if (msg.isEmpty())
            msg = QStringLiteral("erro sem descrição");
        m_lastError = QStringLiteral("%1 (%2)").arg(msg, err.value(QStringLiteral("code")).toString());
        // An error reply leaves the stream in step: keep the connection.
        return false;
    }
    if (!reply.contains(QStringLiteral("result")))
        return fail(QStringLiteral("Resposta incompleta do servidor de aplicação."));
    result = reply.value(QStringLiteral("result"));
    return true;
}
