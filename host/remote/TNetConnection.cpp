#include "TNetConnection.h"
#include "RemoteProtocol.h"
#include "core/ComponentRegistry.h"
#include "core/Dispatch.h"
#include "core/Errors.h"
#include "core/QuotedText.h"
#include "session/ShellContext.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <utility>
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

bool TNetConnection::fail(const QString &why, const QString &cause)
{
    m_lastError = why;
    m_lastCause = cause.isEmpty() ? why : cause;
    disconnectNow(false);
    return false;
}

bool TNetConnection::failClosed()
{
    fail(QStringLiteral("O servidor de custos em %1 fechou a conexão sem responder. Confira se ele está no ar nesse "
                        "endereço (quem o administra vê o motivo na saída de erros dele) e tente de novo.")
             .arg(address()),
         QStringLiteral("fechou a conexão sem responder"));
    m_serverClosed = true;
    return false;
}

bool TNetConnection::connectNow()
{
    disconnectNow(false);
    m_lastError.clear();
    m_lastCause.clear();
    m_serverClosed = false;
    const QString where = address();
    if (m_host.isEmpty() || m_port <= 0 || m_port > 65535)
        return fail(QStringLiteral("Servidor de aplicação não configurado (endereço \"%1\").").arg(where),
                    QStringLiteral("endereço não configurado"));
    m_socket = new QTcpSocket(this);
    m_firstCallMs = 0;
    m_connectDeadline = QDeadlineTimer(m_timeout);
    QElapsedTimer spent;
    spent.start();
    m_socket->connectToHost(m_host, quint16(m_port));
    const bool connected = m_socket->waitForConnected(int(qMax<qint64>(1, m_connectDeadline.remainingTime())));
    bool opened = false;
    if (connected) {
        m_connected = true;
        opened = openObject();
    }
    m_connectDeadline = QDeadlineTimer(QDeadlineTimer::Forever);
    if (!connected)
        return fail(QStringLiteral("Não foi possível conectar ao servidor de aplicação %1: %2.").arg(where, socketFailure()),
                    socketFailure());
    if (opened)
        m_firstCallMs = qMax<qint64>(1, m_timeout - spent.elapsed());
    return opened;
}

bool TNetConnection::openObject()
{
    QJsonObject params;
    const QString token = m_token.isEmpty() ? ShellContext::instance().costsToken : m_token;
    if (!token.isEmpty())
        params.insert(QStringLiteral("token"), token);
    QJsonValue result;
    if (!call(QStringLiteral("Open"), params, result)) {
        if (m_serverClosed)
            return false; // the message says it all
        // An error reply leaves the connection up: the server said no.
        if (Connected())
            return fail(QStringLiteral("O servidor %1 recusou o objeto \"%2\": %3").arg(address(), m_serverName, m_lastError),
                        QStringLiteral("recusou o objeto \"%1\": %2").arg(m_serverName, m_lastError));
        return fail(QStringLiteral("O servidor %1 falhou ao abrir o objeto \"%2\": %3").arg(address(), m_serverName, m_lastError),
                    m_lastCause);
    }
    return true;
}

QString TNetConnection::socketFailure() const
{
    switch (m_socket->error()) {
    case QAbstractSocket::ConnectionRefusedError:
        return QStringLiteral("conexão recusada (nenhum servidor escuta nessa porta)");
    case QAbstractSocket::HostNotFoundError:
        return QStringLiteral("endereço não encontrado");
    case QAbstractSocket::SocketTimeoutError:
    case QAbstractSocket::UnknownSocketError:
        return QStringLiteral("não aceitou a conexão em %1 s").arg(qMax(1, (m_timeout + 500) / 1000));
    default:
        return m_socket->errorString();
    }
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

bool TNetConnection::exchange(const QJsonObject &request, const QDeadlineTimer &deadline, QByteArray &body)
{
    const QString seconds = QString::number(qMax(1, (m_timeout + 500) / 1000));
    const QString silent = QStringLiteral("não respondeu em %1 s").arg(seconds);
    const QString timedOut = QStringLiteral("Tempo esgotado esperando o servidor de aplicação (%1).").arg(silent);
    auto remaining = [&] { return int(qMax<qint64>(1, deadline.remainingTime())); };

    const QByteArray out = RemoteProtocol::frame(request);
    if (quint32(out.size() - 4) > RemoteProtocol::kMaxRequest)
        return fail(QStringLiteral("Pedido grande demais para o servidor de aplicação."));
    m_socket->write(out);
    while (m_socket->bytesToWrite() > 0) {
        if (!deadline.hasExpired() && m_socket->waitForBytesWritten(remaining()))
            continue;
        // A server that closed at once ends the wait as early as one that
        // is slow to read: only the socket's state tells them apart.
        if (m_socket->state() != QAbstractSocket::ConnectedState)
            return failClosed();
        return fail(QStringLiteral("Tempo esgotado ao enviar ao servidor de aplicação."),
                    QStringLiteral("não recebeu o pedido em %1 s").arg(seconds));
    }
    RemoteProtocol::FrameReader reader(RemoteProtocol::kMaxReply);
    for (;;) {
        reader.append(m_socket->readAll());
        const auto st = reader.next(body);
        if (st == RemoteProtocol::FrameReader::Ready)
            return true;
        if (st == RemoteProtocol::FrameReader::TooLarge)
            return fail(QStringLiteral("Resposta do servidor de aplicação grande demais (%1 bytes anunciados); "
                                       "confira se o endereço é mesmo o desse servidor.")
                            .arg(reader.announced()),
                        QStringLiteral("resposta fora do protocolo (não parece ser esse servidor)"));
        if (st == RemoteProtocol::FrameReader::Empty)
            return fail(QStringLiteral("Resposta vazia do servidor de aplicação."), QStringLiteral("resposta vazia"));
        if (deadline.hasExpired())
            return fail(timedOut, silent);
        if (!m_socket->waitForReadyRead(remaining())) {
            if (m_socket->state() != QAbstractSocket::ConnectedState)
                return failClosed();
            if (deadline.hasExpired())
                return fail(timedOut, silent);
        }
    }
}

bool TNetConnection::call(const QString &method, const QJsonObject &params, QJsonValue &result)
{
    m_serverClosed = false;
    if (!Connected())
        return fail(QStringLiteral("Sem conexão com o servidor de aplicação."));
    // Open within the connect's deadline; the first call after it with what
    // connecting left of Timeout.
    const qint64 firstCall = std::exchange(m_firstCallMs, 0);
    QDeadlineTimer deadline(firstCall > 0 ? firstCall : m_timeout);
    if (m_connectDeadline.deadline() < deadline.deadline())
        deadline = m_connectDeadline;
    const qint64 id = m_nextId++;
    QByteArray body;
    if (!exchange(RemoteProtocol::request(id, m_serverName, method, params), deadline, body))
        return false;

    QJsonObject reply;
    if (!RemoteProtocol::parseObject(body, reply))
        return fail(QStringLiteral("Resposta ilegível do servidor de aplicação."),
                    QStringLiteral("resposta ilegível (não parece ser esse servidor)"));
    if (reply.value(QStringLiteral("id")).toInteger(-1) != id)
        return fail(QStringLiteral("Resposta fora de ordem do servidor de aplicação."),
                    QStringLiteral("resposta fora de ordem"));
    if (!reply.value(QStringLiteral("ok")).toBool()) {
        const QJsonObject err = reply.value(QStringLiteral("error")).toObject();
        // A server's message, not a novel: bounded and with its controls escaped.
        QString msg = QuotedText::clip(err.value(QStringLiteral("message")).toString(), 1000);
        if (msg.isEmpty())
            msg = QStringLiteral("erro sem descrição");
        m_lastError = QStringLiteral("%1 (%2)").arg(msg, err.value(QStringLiteral("code")).toString());
        m_lastCause = m_lastError;
        // An error reply leaves the stream in step: keep the connection.
        return false;
    }
    if (!reply.contains(QStringLiteral("result")))
        return fail(QStringLiteral("Resposta incompleta do servidor de aplicação."),
                    QStringLiteral("resposta incompleta"));
    result = reply.value(QStringLiteral("result"));
    return true;
}
