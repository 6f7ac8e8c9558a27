// Connection to a named object of a remote application server over TCP
// (RemoteProtocol.h). Switching Connected on raises BeforeConnect (where the
// screen fills Host and Port), connects within Timeout and opens ServerName
// on the server; switching it off closes the socket.
//
// A failed connect leaves the connection off. With ThrowException true it
// also raises EHostError with the reason; with false it raises nothing and
// the reason is in LastError, which names the address. A call that fails on
// the wire (timeout, closed, malformed or oversized reply) drops the
// connection, since the stream is out of step; an error reply of the server
// leaves it open.
// No wait is longer than Timeout milliseconds (5000 by default); connecting
// and the first call after it share one Timeout, so a screen that connects
// and asks for its list waits at most Timeout in all for a server that
// answers slowly or not at all.
// Token: the shared secret sent with "Open"; empty, the shell's configured
// one (ShellContext::costsToken), itself empty when none is configured.
#pragma once

#include <QDeadlineTimer>
#include <QJsonObject>
#include <QJsonValue>
#include <QObject>
#include <QString>

class QTcpSocket;

class TNetConnection : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Host READ Host WRITE setHost)
    Q_PROPERTY(int Port READ Port WRITE setPort)
    Q_PROPERTY(QString ServerName READ ServerName WRITE setServerName)
    Q_PROPERTY(bool Connected READ Connected WRITE setConnected)
    Q_PROPERTY(bool ThrowException READ ThrowException WRITE setThrowException)
    Q_PROPERTY(int Timeout READ Timeout WRITE setTimeout)
    Q_PROPERTY(QString LastError READ LastError)
    Q_PROPERTY(QString Token READ Token WRITE setToken)

public:
    explicit TNetConnection(QObject *parent = nullptr);
    ~TNetConnection() override;

    QString Host() const { return m_host; }
    void setHost(const QString &v) { m_host = v; }
    int Port() const { return m_port; }
    void setPort(int v) { m_port = v; }
    QString ServerName() const { return m_serverName; }
    void setServerName(const QString &v) { m_serverName = v; }
    bool Connected() const;
    void setConnected(bool v);
    bool ThrowException() const { return m_throwException; }
    void setThrowException(bool v) { m_throwException = v; }
    int Timeout() const { return m_timeout; }
    void setTimeout(int ms) { m_timeout = ms > 0 ? ms : 1; }
    QString LastError() const { return m_lastError; }
    // The reason of the last failure in a few words, without the address
    // ("não respondeu em 5 s", "conexão recusada (...)"): for notices.
    QString LastCause() const { return m_lastCause; }
    // The last failure was the server closing the connection without a
    // reply (LastError then says so and what to do).
    bool ServerClosed() const { return m_serverClosed; }
    QString Token() const { return m_token; }
    void setToken(const QString &v) { m_token = v; }
    // "HOST:PORT" of the server last connected to (or tried).
    QString address() const { return QStringLiteral("%1:%2").arg(m_host).arg(m_port); }

    void Open() { setConnected(true); }
    void Close() { setConnected(false); }

    // Calls a method of the server object; false with LastError set on any
    // failure, including an error reply. Raises nothing.
    bool call(const QString &method, const QJsonObject &params, QJsonValue &result);

signals:
    void BeforeConnect(QObject *Sender);
    void AfterConnect(QObject *Sender);
    void BeforeDisconnect(QObject *Sender);
    void AfterDisconnect(QObject *Sender);

private:
    bool connectNow();
    bool openObject();
    // Sends request and reads one reply frame into body within deadline.
    bool exchange(const QJsonObject &request, const QDeadlineTimer &deadline, QByteArray &body);
    void disconnectNow(bool notify);
    bool fail(const QString &why, const QString &cause = QString());
    bool failClosed();
    QString socketFailure() const;

    QTcpSocket *m_socket = nullptr;
    QString m_host;
    int m_port = 211;
    QString m_serverName;
    bool m_connected = false;
    bool m_throwException = true;
    int m_timeout = 5000;
    qint64 m_nextId = 1;
    QString m_lastError;
    QString m_lastCause;
    bool m_serverClosed = false;
    QString m_token;
    // While connecting: the connect's deadline. After it: the milliseconds
    // of Timeout that connecting left for the first call (0: none pending).
    QDeadlineTimer m_connectDeadline = QDeadlineTimer(QDeadlineTimer::Forever);
    qint64 m_firstCallMs = 0;
};
