// The costs server's workers: a fixed number of threads, each with a cost-type
// source of its own (so each its own database connection), that read the cost
// types for the requests queued to them. A read that waits on a slow or
// silent database holds one worker; the others go on serving.
//
// Jobs are taken in the order they were queued. The reply goes back to the
// receiver's thread: done(session, reply) is queued to the receiver, which
// must outlive this object (the server owns both and destroys the workers
// first). The destructor lets each worker finish the read it is in (a
// database connect gives up within its own timeout) and joins them.
#pragma once

#include "CostTypeSource.h"

#include <QJsonObject>
#include <QMutex>
#include <QWaitCondition>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

class QObject;
class QThread;

class CostsWorkers {
public:
    using SourceFactory = std::function<std::unique_ptr<CostTypeSource>()>;
    using Done = std::function<void(quint64 session, const QJsonObject &reply)>;

    // factory runs once in each worker's thread; done runs in receiver's.
    CostsWorkers(const SourceFactory &factory, int count, QObject *receiver, Done done);
    ~CostsWorkers();
    CostsWorkers(const CostsWorkers &) = delete;
    CostsWorkers &operator=(const CostsWorkers &) = delete;

    // Queues the reply to request id (method "ListaTipoCusto") of session.
    void listCostTypes(quint64 session, qint64 id);
    int count() const { return int(m_threads.size()); }
    // Reads in progress.
    int busy() const;

    // The reply to ListaTipoCusto as one source gives it.
    static QJsonObject costTypesReply(qint64 id, CostTypeSource *source);

private:
    struct Job {
        quint64 session;
        qint64 id;
    };
    void run(const SourceFactory &factory);

    QObject *m_receiver;
    Done m_done;
    mutable QMutex m_lock;
    QWaitCondition m_wake;
    std::deque<Job> m_jobs;
    int m_busy = 0;
    bool m_stopping = false;
    std::vector<QThread *> m_threads;
};
