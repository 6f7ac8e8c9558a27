// Who a token came from, as TokenThrottle counts it. A connection from this
// machine belongs to the local user that owns its other end (the kernel's
// socket table, /proc/net/tcp and tcp6, tells the uid), so one local user's
// wrong tokens never slow another's, although all of them come from
// 127.0.0.1. Any other connection, or a local one whose other end is gone
// before it was looked up, counts by its address.
#pragma once

#include <QHostAddress>
#include <QString>
#include <optional>

class QTcpSocket;

struct TokenSender {
    QHostAddress address;
    std::optional<uint> uid; // the local user, when the connection is one of this machine's

    // The sender of the connection socket holds (its peer, looked up once).
    static TokenSender of(const QTcpSocket &socket);
    // The uid that owns the socket at peer:peerPort connected to local:localPort
    // on this machine; none when no live socket of this machine is that end.
    static std::optional<uint> localUser(const QHostAddress &peer, quint16 peerPort, const QHostAddress &local,
                                         quint16 localPort);

    // What the throttle counts by: "uid N", else the address (IPv6: its /64).
    QString key() const;
    // For the server's log: "127.0.0.1 (usuário nobody, uid 65534)".
    QString describe() const;
};
