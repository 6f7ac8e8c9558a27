// Connection to a named object of a remote application server over TCP
// (RemoteProtocol.h). Switching Connected on raises BeforeConnect (where the
// screen fills Host and Port), connects within Timeout and opens ServerName
// on the server; switching it off closes the socket.
//
// A failed connect leaves the connection off. With ThrowException true it
// also raises EHostError with the reason; with false it raises nothing and
// the reason is in LastError. A call that fails on the wire (timeout, closed,
// malformed or oversized reply) drops the connection, since the stream is
// out of step; an error reply of the server leaves it open.
// No wait is longer than Timeout milliseconds (5000 by default).
#pragma once

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
    void disconnectNow(bool notify);
    bool fail(const QString &why);

    QTcpSocket *m_socket = nullptr;
    QString m_host;
    int m_port = 211;
    QString m_serverName;
    bool m_connected = false;
    bool m_throwException = true;
    int m_timeout = 5000;
    qint64 m_nextId = 1;
    QString m_lastError;
};
