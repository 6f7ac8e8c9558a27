#include "LoopbackPeer.h"

#include <QtEndian>

#include <arpa/inet.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace LoopbackPeer {
namespace {

constexpr int kWaitMs = 5000;

[[noreturn]] void die(const char *what)
{
    std::perror(what);
    std::abort();
}

sockaddr_in loopback(uint16_t port)
{
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

bool waitFor(int fd, short events, int ms)
{
    pollfd p{fd, events, 0};
    int r;
    do
        r = ::poll(&p, 1, ms);
    while (r < 0 && errno == EINTR);
    return r > 0;
}

bool readExactly(int fd, char *to, size_t n)
{
    while (n > 0) {
        if (!waitFor(fd, POLLIN, kWaitMs))
            return false;
        const ssize_t r = ::recv(fd, to, n, 0);
        if (r <= 0)
            return false;
        to += r;
        n -= size_t(r);
    }
    return true;
}

} // namespace

int listenAny(uint16_t *port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a = loopback(0);
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0 || ::listen(fd, 16) != 0)
        die("listen on 127.0.0.1");
    socklen_t len = sizeof a;
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &len);
    *port = ntohs(a.sin_port);
    return fd;
}

int connectTo(uint16_t port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in a = loopback(port);
    if (fd < 0 || ::connect(fd, reinterpret_cast<const sockaddr *>(&a), sizeof a) != 0)
        die("connect to 127.0.0.1");
    return fd;
}

int acceptOne(int listener)
{
    if (!waitFor(listener, POLLIN, kWaitMs))
        return -1;
    return ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
}

void writeAll(int fd, const QByteArray &bytes)
{
    const char *p = bytes.constData();
    size_t left = size_t(bytes.size());
    while (left > 0) {
        if (!waitFor(fd, POLLOUT, kWaitMs))
            return;
        const ssize_t w = ::send(fd, p, left, MSG_NOSIGNAL);
        if (w <= 0)
            return;
        p += w;
        left -= size_t(w);
    }
}

bool readFrame(int fd)
{
    char header[4];
    if (!readExactly(fd, header, 4))
        return false;
    const quint32 size = qFromBigEndian<quint32>(header);
    if (size > (1u << 20))
        return false;
    QByteArray body(qsizetype(size), Qt::Uninitialized);
    return readExactly(fd, body.data(), size_t(body.size()));
}

bool readSome(int fd, QByteArray &into, int waitMs)
{
    if (!waitFor(fd, POLLIN, waitMs))
        return true;
    char buf[4096];
    const ssize_t r = ::recv(fd, buf, sizeof buf, 0);
    if (r <= 0)
        return false;
    into.append(buf, qsizetype(r));
    return true;
}

void finish(int fd)
{
    ::shutdown(fd, SHUT_WR);
    QByteArray ignored;
    while (waitFor(fd, POLLIN, kWaitMs) && readSome(fd, ignored, 0))
        ignored.clear();
}

void closeHard(int fd)
{
    const linger off{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &off, sizeof off);
    ::close(fd);
}

} // namespace LoopbackPeer
