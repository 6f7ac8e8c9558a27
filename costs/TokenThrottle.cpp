#include "TokenThrottle.h"

qint64 TokenThrottle::waitAfter(int failures)
{
    if (failures < kFreeFailures)
        return 0;
    qint64 wait = kFirstWaitMs;
    for (int i = kFreeFailures; i < failures && wait < kMaxWaitMs; ++i)
        wait *= 2;
    return qMin(wait, kMaxWaitMs);
}

qint64 TokenThrottle::waitBeforeCheck(const QString &sender, qint64 now) const
{
    const auto it = m_records.constFind(sender);
    if (it == m_records.cend() || now - it->lastFailure >= kForgetMs)
        return 0;
    return qMax<qint64>(0, it->lastFailure + waitAfter(it->failures) - now);
}

int TokenThrottle::failed(const QString &sender, qint64 now)
{
    if (!m_records.contains(sender))
        makeRoom(now);
    Record &r = m_records[sender];
    if (now - r.lastFailure >= kForgetMs)
        r.failures = 0;
    ++r.failures;
    r.lastFailure = now;
    return r.failures;
}

void TokenThrottle::succeeded(const QString &sender) { m_records.remove(sender); }

bool TokenThrottle::hold(const QString &sender)
{
    int &held = m_held[sender];
    if (held >= kMaxHeldPerSender)
        return false;
    ++held;
    return true;
}

void TokenThrottle::release(const QString &sender)
{
    const auto it = m_held.find(sender);
    if (it != m_held.end() && --it.value() <= 0)
        m_held.erase(it);
}

void TokenThrottle::makeRoom(qint64 now)
{
    if (m_records.size() < kMaxSenders)
        return;
    m_records.removeIf([now](const auto &it) { return now - it.value().lastFailure >= kForgetMs; });
    while (m_records.size() >= kMaxSenders) {
        auto quietest = m_records.begin();
        for (auto it = m_records.begin(); it != m_records.end(); ++it)
            if (it->lastFailure < quietest->lastFailure)
                quietest = it;
        m_records.erase(quietest);
    }
}
