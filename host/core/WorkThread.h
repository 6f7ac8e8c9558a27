// Work on a thread of its own that the user interface follows through
// Work (HostUi::waitForWork). The body gets a WorkTask: it reports
// how far it got, looks at cancelled() often, and may install an interrupt
// that cancel() calls from the cancelling thread (a database query's), so
// that a long statement stops too.
//
// An EHostError thrown by the body ends the work with its text (error()); an
// EAbort ends it as cancelled; any other exception with a generic text. The
// body runs once, on the thread start() makes, or on the calling thread with
// runHere() (for a connection no other thread can open). Destroying the work
// cancels it and waits for its thread; a thread that does not end within a
// few seconds is left to end on its own, keeping the task (and whatever the
// body captured) alive until then.
#pragma once

#include "Work.h"

#include <QMutex>
#include <atomic>
#include <functional>
#include <memory>

class QThread;

class WorkTask {
public:
    bool cancelled() const { return m_cancelled.load(std::memory_order_relaxed); }
    void setStatus(const QString &text);
    void setProgress(qint64 done, qint64 total)
    {
        m_done.store(done, std::memory_order_relaxed);
        m_total.store(total, std::memory_order_relaxed);
    }
    // Called from the cancelling thread by cancel(); an empty one removes it.
    void setInterrupt(std::function<void()> interrupt);

private:
    friend class WorkThread;
    void cancel();

    std::atomic<bool> m_finished{false}, m_cancelled{false};
    std::atomic<qint64> m_done{0}, m_total{0};
    mutable QMutex m_mutex; // status, error, interrupt
    QString m_status, m_error;
    std::function<void()> m_interrupt;
};

class WorkThread : public Work {
public:
    using Body = std::function<void(WorkTask &)>;

    explicit WorkThread(Body body);
    ~WorkThread() override;

    void start();
    void runHere();

    // Work
    bool finished() const override { return m_task->m_finished.load(); }
    QString status() const override;
    qint64 done() const override { return m_task->m_done.load(); }
    qint64 total() const override { return m_task->m_total.load(); }
    void cancel() override { m_task->cancel(); }

    // After finished().
    QString error() const override;
    bool wasCancelled() const { return m_task->m_cancelled.load(); }

private:
    static void run(const std::shared_ptr<WorkTask> &task, const Body &body);

    std::shared_ptr<WorkTask> m_task = std::make_shared<WorkTask>();
    Body m_body;
    QThread *m_thread = nullptr;
};
