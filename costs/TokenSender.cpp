#include "TokenSender.h"

#include <QFile>
#include <QTcpSocket>
#include <QtEndian>
#include <cstring>
#include <pwd.h>

namespace {

// An address and port as /proc/net/tcp{,6} writes them: the address in
// 32-bit words of hex, each in the machine's byte order, then ":PORT".
QByteArray procEnd(const QHostAddress &address, quint16 port)
{
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    quint8 bytes[16];
    int size = 4;
    if (isV4) {
        qToBigEndian(v4, bytes);
    } else {
        const Q_IPV6ADDR v6 = address.toIPv6Address();
        std::memcpy(bytes, v6.c, 16);
        size = 16;
    }
    QByteArray out;
    for (int word = 0; word < size / 4; ++word) {
        quint32 value;
        std::memcpy(&value, bytes + 4 * word, 4);
        out += QByteArray::number(value, 16).toUpper().rightJustified(8, '0');
    }
    return out + ':' + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
}

QString userName(uint uid)
{
    passwd entry{}, *found = nullptr;
    char buffer[1024];
    if (::getpwuid_r(uid, &entry, buffer, sizeof buffer, &found) == 0 && found)
        return QString::fromLocal8Bit(found->pw_name);
    return QStringLiteral("?");
}

} // namespace

std::optional<uint> TokenSender::localUser(const QHostAddress &peer, quint16 peerPort, const QHostAddress &local,
                                           quint16 localPort)
{
    bool isV4 = false;
    peer.toIPv4Address(&isV4);
    // The other end's line: its own address first, then ours. Found by its
    // text, so a table of many thousand sockets costs one scan.
    const QByteArray wanted = ' ' + procEnd(peer, peerPort) + ' ' + procEnd(local, localPort) + ' ';
    QFile table(QString::fromLatin1(isV4 ? "/proc/net/tcp" : "/proc/net/tcp6"));
    if (!table.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray text = table.readAll();
    const qsizetype at = text.indexOf(wanted);
    if (at < 0)
        return std::nullopt;
    const qsizetype end = text.indexOf('\n', at);
    // st tx:rx tr:when retrnsmt uid timeout inode ...
    const QList<QByteArray> f = text.mid(at + wanted.size(), end < 0 ? -1 : end - at - wanted.size()).simplified().split(' ');
    // Inode 0: the other end closed its socket; the uid shown then is not its owner's.
    if (f.size() < 7 || f[6] == "0")
        return std::nullopt;
    bool ok = false;
    const uint uid = f[4].toUInt(&ok);
    return ok ? std::optional<uint>(uid) : std::nullopt;
}

TokenSender TokenSender::of(const QTcpSocket &socket)
{
    TokenSender s;
    s.address = socket.peerAddress();
    s.uid = localUser(s.address, socket.peerPort(), socket.localAddress(), socket.localPort());
    return s;
}

QString TokenSender::key() const
{
    if (uid)
        return QStringLiteral("uid %1").arg(*uid);
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

QString TokenSender::describe() const
{
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    const QString where = isV4 ? QHostAddress(v4).toString() : address.toString();
    if (!uid)
        return where;
    return QStringLiteral("%1 (usuário %2, uid %3)").arg(where, userName(*uid)).arg(*uid);
}
