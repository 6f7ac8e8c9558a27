// Helpers of the costs server tests: cost types kept in memory (optionally
// stalling a read until released), raw-socket clients, a closed port.
#pragma once

#include "costs/CostTypeSource.h"
#include "remote/RemoteProtocol.h"

#include <QJsonObject>
#include <QMutex>
#include <QSemaphore>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

// Cost types shared by every source of a server, under a lock. With stall
// set, the next read waits until release() (or 10 s).
struct MemoryTypes {
    QMutex lock;
    QList<CostType> types = {{3, QStringLiteral("Custo Médio")}, {1, QStringLiteral("Custo Padrão")},
                             {7, QStringLiteral("Última Entrada")}};
    bool stall = false;
    int reads = 0;
    QSemaphore released;
    QSemaphore stalled; // one per read that began to wait

    void release() { released.release(); }
};

class MemorySource : public CostTypeSource {
public:
    explicit MemorySource(MemoryTypes *shared) : m_shared(shared) {}
    bool read(QList<CostType> &out, QString &) override
    {
        bool wait = false;
        {
            QMutexLocker l(&m_shared->lock);
            ++m_shared->reads;
            wait = std::exchange(m_shared->stall, false);
        }
        if (wait) {
            m_shared->stalled.release();
            m_shared->released.tryAcquire(1, 10000);
        }
        QMutexLocker l(&m_shared->lock);
        out = m_shared->types;
        return true;
    }

private:
    MemoryTypes *m_shared;
};

// A client on a plain socket, reading replies as they come.
class RawClient {
public:
    explicit RawClient(quint16 port)
    {
        socket.connectToHost(QHostAddress::LocalHost, port);
        socket.waitForConnected(3000);
    }
    void send(qint64 id, const QString &method, const QJsonObject &params = {},
              const QString &object = QStringLiteral("Vbr.rdmCustProd"))
    {
        socket.write(RemoteProtocol::frame(RemoteProtocol::request(id, object, method, params)));
        socket.flush();
    }
    // Waits up to ms for the next reply; an empty object when none came.
    QJsonObject reply(int ms = 5000)
    {
        QByteArray body;
        QElapsedTimer t;
        t.start();
        for (;;) {
            reader.append(socket.readAll());
            if (reader.next(body) == RemoteProtocol::FrameReader::Ready) {
                QJsonObject o;
                RemoteProtocol::parseObject(body, o);
                return o;
            }
            if (t.elapsed() > ms || socket.state() != QAbstractSocket::ConnectedState)
                return {};
            socket.waitForReadyRead(50);
        }
    }
    // Waits up to ms for the server to close the connection.
    bool closedWithin(int ms)
    {
        QElapsedTimer t;
        t.start();
        while (socket.state() == QAbstractSocket::ConnectedState && t.elapsed() < ms) {
            socket.waitForReadyRead(50);
            socket.readAll();
        }
        return socket.state() != QAbstractSocket::ConnectedState;
    }
    static QString code(const QJsonObject &reply)
    {
        return reply.value(QStringLiteral("error")).toObject().value(QStringLiteral("code")).toString();
    }
    static QString message(const QJsonObject &reply)
    {
        return reply.value(QStringLiteral("error")).toObject().value(QStringLiteral("message")).toString();
    }

    QTcpSocket socket;
    RemoteProtocol::FrameReader reader{RemoteProtocol::kMaxReply};
};

// A port on which nothing listens.
inline quint16 closedPort()
{
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    const quint16 p = s.serverPort();
    s.close();
    return p;
}
