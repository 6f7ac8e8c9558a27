#include "WorkThread.h"
#include "Errors.h"

#include <QThread>
#include <exception>

void WorkTask::setStatus(const QString &text)
{
    const QMutexLocker lock(&m_mutex);
    m_status = text;
}

void WorkTask::setInterrupt(std::function<void()> interrupt)
{
    const QMutexLocker lock(&m_mutex);
    m_interrupt = std::move(interrupt);
    if (m_interrupt && m_cancelled)
        m_interrupt();
}

void WorkTask::cancel()
{
    m_cancelled = true;
    const QMutexLocker lock(&m_mutex);
    if (m_interrupt)
        m_interrupt();
}

WorkThread::WorkThread(Body body) : m_body(std::move(body)) {}

WorkThread::~WorkThread()
{
    if (!m_thread)
        return;
    cancel();
    if (m_thread->wait(5000)) {
        delete m_thread;
        return;
    }
    // Stuck in a call that cannot be interrupted: the thread owns what it
    // uses and goes away when it ends.
    QObject::connect(m_thread, &QThread::finished, m_thread, &QObject::deleteLater);
}

void WorkThread::start()
{
    m_thread = QThread::create([task = m_task, body = m_body] { run(task, body); });
    m_thread->setObjectName(QStringLiteral("report"));
    m_thread->start();
}

void WorkThread::runHere() { run(m_task, m_body); }

void WorkThread::run(const std::shared_ptr<WorkTask> &task, const Body &body)
{
    auto fail = [&task](const QString &text) {
        const QMutexLocker lock(&task->m_mutex);
        task->m_error = text;
    };
    try {
        body(*task);
    } catch (const EHostError &e) {
        fail(e.text());
    } catch (const EAbort &) {
        task->m_cancelled = true;
    } catch (const std::exception &e) {
        fail(QStringLiteral("Erro inesperado ao gerar o relatório: %1").arg(QString::fromLocal8Bit(e.what())));
    }
    {
        const QMutexLocker lock(&task->m_mutex);
        task->m_interrupt = nullptr;
    }
    task->m_finished = true;
}

QString WorkThread::status() const
{
    const QMutexLocker lock(&m_task->m_mutex);
    return m_task->m_status;
}

QString WorkThread::error() const
{
    const QMutexLocker lock(&m_task->m_mutex);
    return m_task->m_error;
}
