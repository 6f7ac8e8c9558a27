#include "CostsWorkers.h"
#include "remote/RemoteProtocol.h"

#include <QJsonArray>
#include <QMetaObject>
#include <QObject>
#include <QThread>

CostsWorkers::CostsWorkers(const SourceFactory &factory, int count, QObject *receiver, Done done)
    : m_receiver(receiver), m_done(std::move(done))
{
    for (int i = 0; i < qMax(1, count); ++i) {
        QThread *t = QThread::create([this, factory] { run(factory); });
        t->setObjectName(QStringLiteral("costs-worker-%1").arg(i));
        m_threads.push_back(t);
        t->start();
    }
}

CostsWorkers::~CostsWorkers()
{
    {
        QMutexLocker l(&m_lock);
        m_stopping = true;
        m_jobs.clear();
    }
    m_wake.wakeAll();
    for (QThread *t : m_threads) {
        t->wait();
        delete t;
    }
}

void CostsWorkers::listCostTypes(quint64 session, qint64 id)
{
    {
        QMutexLocker l(&m_lock);
        m_jobs.push_back({session, id});
    }
    m_wake.wakeOne();
}

int CostsWorkers::busy() const
{
    QMutexLocker l(&m_lock);
    return m_busy;
}

void CostsWorkers::run(const SourceFactory &factory)
{
    // Made and destroyed in this thread: a database connection belongs to
    // the thread that opened it.
    std::unique_ptr<CostTypeSource> source = factory ? factory() : nullptr;
    for (;;) {
        Job job;
        {
            QMutexLocker l(&m_lock);
            while (!m_stopping && m_jobs.empty())
                m_wake.wait(&m_lock);
            if (m_stopping)
                break;
            job = m_jobs.front();
            m_jobs.pop_front();
            ++m_busy;
        }
        const QJsonObject reply = costTypesReply(job.id, source.get());
        {
            QMutexLocker l(&m_lock);
            --m_busy;
        }
        QMetaObject::invokeMethod(
            m_receiver, [done = m_done, session = job.session, reply] { done(session, reply); }, Qt::QueuedConnection);
    }
}

QJsonObject CostsWorkers::costTypesReply(qint64 id, CostTypeSource *source)
{
    QList<CostType> types;
    QString error;
    if (!source || !source->read(types, error))
        return RemoteProtocol::errorReply(id, QStringLiteral("server-error"),
                                          error.isEmpty() ? QStringLiteral("Sem banco de dados.") : error);
    QJsonArray list;
    for (const CostType &t : types)
        list.append(QJsonObject{{QStringLiteral("numero"), t.numero}, {QStringLiteral("nome"), t.nome}});
    return RemoteProtocol::okReply(id, list);
}
