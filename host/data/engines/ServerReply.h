// Whether a server at host:port answers a request on a new TCP connection
// within a time: the connection is made, request sent, and the first byte
// of any reply waited for. A server whose process is stopped still has its
// connections accepted by the system, so only a reply tells it is alive.
#pragma once

#include <QByteArray>
#include <QString>

namespace ServerReply {

bool arrives(const QString &host, int port, const QByteArray &request, int timeoutMs);

} // namespace ServerReply
