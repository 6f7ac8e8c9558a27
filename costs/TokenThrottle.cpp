#include "TokenThrottle.h"

QString TokenThrottle::keyOf(const QHostAddress &address)
{
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    if (isV4)
        return QHostAddress(v4).toString();
    // The /64 network: the part a host is given, and can vary, lies beyond it.
    Q_IPV6ADDR bytes = address.toIPv6Address();
    for (int i = 8; i < 16; ++i)
        bytes[i] = 0;
    return QHostAddress(bytes).toString() + QStringLiteral("/64");
}

qint64 TokenThrottle::waitAfter(int failures)
{
    if (failures < kFreeFailures)
        return 0;
    qint64 wait = kFirstWaitMs;
    for (int i = kFreeFailures; i < failures && wait < kMaxWaitMs; ++i)
        wait *= 2;
    return qMin(wait, kMaxWaitMs);
}

qint64 TokenThrottle::waitBeforeCheck(const QHostAddress &address, qint64 now)
{
    const auto it = m_records.constFind(keyOf(address));
    if (it == m_records.cend() || now - it->lastFailure >= kForgetMs)
        return 0;
    return qMax<qint64>(0, it->lastFailure + waitAfter(it->failures) - now);
}

int TokenThrottle::failed(const QHostAddress &address, qint64 now)
{
    const QString key = keyOf(address);
    if (!m_records.contains(key))
        makeRoom(now);
    Record &r = m_records[key];
    if (now - r.lastFailure >= kForgetMs)
        r.failures = 0;
    ++r.failures;
    r.lastFailure = now;
    return r.failures;
}

void TokenThrottle::succeeded(const QHostAddress &address) { m_records.remove(keyOf(address)); }

void TokenThrottle::makeRoom(qint64 now)
{
    if (m_records.size() < kMaxAddresses)
        return;
    m_records.removeIf([now](const auto &it) { return now - it.value().lastFailure >= kForgetMs; });
    while (m_records.size() >= kMaxAddresses) {
        auto quietest = m_records.begin();
        for (auto it = m_records.begin(); it != m_records.end(); ++it)
            if (it->lastFailure < quietest->lastFailure)
                quietest = it;
        m_records.erase(quietest);
    }
}
