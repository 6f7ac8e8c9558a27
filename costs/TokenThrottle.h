// Slows down the guessing of the costs server's token. It counts the wrong
// tokens each client address gives in a row; once an address has given
// kFreeFailures, its next token is checked only after a wait that starts at
// kFirstWaitMs and doubles with every further wrong one, up to kMaxWaitMs,
// however many connections the address opens. A right token clears the
// address's count; so do kForgetMs without a wrong one. IPv6 addresses
// count by their /64 network (one host holds many), IPv4-mapped ones as
// IPv4. At most kMaxAddresses are remembered, the longest quiet forgotten
// first, so the memory stays bounded whatever the clients do.
//
// Times are milliseconds of one monotonic clock, given by the caller.
#pragma once

#include <QHash>
#include <QHostAddress>

class TokenThrottle {
public:
    static constexpr int kFreeFailures = 5;
    static constexpr qint64 kFirstWaitMs = 250;
    static constexpr qint64 kMaxWaitMs = 8000;
    static constexpr qint64 kForgetMs = 15 * 60 * 1000;
    static constexpr int kMaxAddresses = 4096;

    // Milliseconds before a token from address may be checked; 0: now.
    qint64 waitBeforeCheck(const QHostAddress &address, qint64 now);
    // A wrong token from address was checked at now; the count of wrong
    // ones in a row, this one included.
    int failed(const QHostAddress &address, qint64 now);
    // A right token from address.
    void succeeded(const QHostAddress &address);
    // The wait before the next check after failures wrong tokens in a row.
    static qint64 waitAfter(int failures);
    int addressCount() const { return int(m_records.size()); }

private:
    struct Record {
        int failures = 0;
        qint64 lastFailure = 0;
    };
    static QString keyOf(const QHostAddress &address);
    void makeRoom(qint64 now);

    QHash<QString, Record> m_records;
};
