// Slows down the guessing of the costs server's token without letting one
// sender slow another. It counts the wrong tokens each sender (TokenSender:
// a local user, or a remote address) gives in a row; once a sender has
// given kFreeFailures, its next token is checked only after a wait that
// starts at kFirstWaitMs and doubles with every further wrong one, up to
// kMaxWaitMs, however many connections it opens. Only that sender's own
// connections wait: any other sender's token is checked at once, and the
// server never stops accepting. At most kMaxHeldPerSender connections of a
// sender wait at a time (hold); the server closes any further one unread,
// so a flood holds little. A right token clears the sender's count; so do
// kForgetMs without a wrong one. At most kMaxSenders are remembered, the
// longest quiet forgotten first, so the memory stays bounded whatever the
// clients do.
//
// Senders are the keys of TokenSender::key(). Times are milliseconds of one
// monotonic clock, given by the caller.
#pragma once

#include <QHash>
#include <QString>

class TokenThrottle {
public:
    static constexpr int kFreeFailures = 5;
    static constexpr qint64 kFirstWaitMs = 250;
    static constexpr qint64 kMaxWaitMs = 8000;
    static constexpr qint64 kForgetMs = 15 * 60 * 1000;
    static constexpr int kMaxSenders = 4096;
    static constexpr int kMaxHeldPerSender = 4;

    // Milliseconds before a token from sender may be checked; 0: now.
    qint64 waitBeforeCheck(const QString &sender, qint64 now) const;
    // A wrong token from sender was checked at now; the count of wrong
    // ones in a row, this one included.
    int failed(const QString &sender, qint64 now);
    // A right token from sender.
    void succeeded(const QString &sender);
    // The wait before the next check after failures wrong tokens in a row.
    static qint64 waitAfter(int failures);
    int senderCount() const { return int(m_records.size()); }

    // One more connection of sender waits for its check; false when
    // kMaxHeldPerSender already do (nothing is counted then).
    bool hold(const QString &sender);
    // A connection that held for sender no longer does.
    void release(const QString &sender);

private:
    struct Record {
        int failures = 0;
        qint64 lastFailure = 0;
    };
    void makeRoom(qint64 now);

    QHash<QString, Record> m_records;
    QHash<QString, int> m_held;
};
