#include "StatementWatch.h"
#include "DatabaseEngine.h"

#include <QSqlDatabase>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <list>
#include <mutex>
#include <thread>

using Clock = std::chrono::steady_clock;

struct StatementWatch::State {
    QString connection;
    DatabaseEngine::ServerProbe probe;
    Clock::time_point started = Clock::now();
    std::atomic<bool> inCall{false};
    std::atomic<quint64> calls{0};
    // Watch side (under the watch's lock):
    quint64 callsSeen = 0;
    Clock::time_point lastProgress = Clock::now();
    Clock::time_point abortAt = Clock::time_point::max();
    std::atomic<bool> timedOut{false};
    std::atomic<int> secondsWaited{0};
};

namespace {

using StatePtr = std::shared_ptr<StatementWatch::State>;

class Watch {
public:
    static Watch &instance()
    {
        static Watch *w = new Watch; // lives as long as the process, as its thread
        return *w;
    }

    void add(const StatePtr &s)
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_running.push_back(s);
        if (!m_thread.joinable())
            m_thread = std::thread([this] { loop(); });
        m_wake.notify_one();
    }

    void remove(const StatePtr &s)
    {
        // Under the lock: no abort can reach a connection whose statement ended.
        std::lock_guard<std::mutex> hold(m_lock);
        m_running.remove(s);
    }

    void cancelSoon(const QString &connection)
    {
        std::lock_guard<std::mutex> hold(m_lock);
        for (const StatePtr &s : m_running)
            if (s->connection == connection)
                s->abortAt = std::min(s->abortAt, Clock::now() + std::chrono::milliseconds(StatementWatch::kCancelGraceMs));
    }

private:
    void loop()
    {
        std::unique_lock<std::mutex> hold(m_lock);
        for (;;) {
            m_wake.wait_for(hold, std::chrono::milliseconds(StatementWatch::kTickMs));
            for (const StatePtr &s : std::list<StatePtr>(m_running))
                check(s, hold);
        }
    }

    // Called with the lock held; the probe runs without it.
    void check(const StatePtr &s, std::unique_lock<std::mutex> &hold)
    {
        const Clock::time_point now = Clock::now();
        const quint64 calls = s->calls.load(std::memory_order_relaxed);
        if (calls != s->callsSeen || !s->inCall.load(std::memory_order_relaxed)) {
            s->callsSeen = calls;
            s->lastProgress = now;
        }
        bool abort = now >= s->abortAt;
        if (!abort && now - s->lastProgress >= std::chrono::milliseconds(StatementWatch::kQuietMs)) {
            const auto answers = s->probe.answers;
            hold.unlock();
            const bool alive = answers(StatementWatch::kProbeMs);
            hold.lock();
            s->lastProgress = Clock::now();
            abort = !alive;
        }
        if (!abort || std::find(m_running.begin(), m_running.end(), s) == m_running.end())
            return;
        s->secondsWaited = int(std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - s->started).count());
        s->timedOut = true;
        s->abortAt = Clock::time_point::max();
        s->probe.abort();
    }

    std::mutex m_lock;
    std::condition_variable m_wake;
    std::list<StatePtr> m_running;
    std::thread m_thread;
};

} // namespace

StatementWatch::Running::Running(const QSqlDatabase &db)
{
    const DatabaseEngine *engine = DatabaseEngine::find(db);
    DatabaseEngine::ServerProbe probe = engine ? engine->serverProbe(db) : DatabaseEngine::ServerProbe();
    if (!probe.abort || !probe.answers)
        return;
    m_state = std::make_shared<State>();
    m_state->connection = db.connectionName();
    m_state->probe = std::move(probe);
    Watch::instance().add(m_state);
}

StatementWatch::Running::~Running()
{
    if (m_state)
        Watch::instance().remove(m_state);
}

StatementWatch::Running::Call::Call(Running &running) : m_state(running.m_state)
{
    if (!m_state)
        return;
    m_state->calls.fetch_add(1, std::memory_order_relaxed);
    m_state->inCall.store(true, std::memory_order_relaxed);
}

StatementWatch::Running::Call::~Call()
{
    if (m_state)
        m_state->inCall.store(false, std::memory_order_relaxed);
}

bool StatementWatch::Running::timedOut() const { return m_state && m_state->timedOut; }

int StatementWatch::Running::secondsWaited() const { return m_state ? m_state->secondsWaited.load() : 0; }

void StatementWatch::cancelSoon(const QString &connectionName) { Watch::instance().cancelSoon(connectionName); }
