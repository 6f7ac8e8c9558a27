// Runs a server object in a thread of its own, so that a client that blocks
// (TNetConnection waits on its socket) can talk to it from the test's thread.
#pragma once

#include <QObject>
#include <QThread>
#include <functional>

class ServerThread {
public:
    // make runs in the new thread and returns the server object (owned
    // here) and the port it listens on.
    explicit ServerThread(std::function<QObject *(quint16 &port)> make)
    {
        m_context.moveToThread(&m_thread);
        m_thread.start();
        QMetaObject::invokeMethod(&m_context, [&] { m_object = make(m_port); }, Qt::BlockingQueuedConnection);
    }
    ~ServerThread()
    {
        QMetaObject::invokeMethod(&m_context, [this] { delete m_object; }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    ServerThread(const ServerThread &) = delete;
    ServerThread &operator=(const ServerThread &) = delete;

    quint16 port() const { return m_port; }
    QObject *object() const { return m_object; }
    // Runs f in the server's thread and waits for it.
    void run(const std::function<void()> &f)
    {
        QMetaObject::invokeMethod(&m_context, f, Qt::BlockingQueuedConnection);
    }

private:
    QThread m_thread;
    QObject m_context;
    QObject *m_object = nullptr;
    quint16 m_port = 0;
};
