#include "ServerReply.h"

#include <QElapsedTimer>
#include <cerrno>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Waits for events on fd until the deadline; false on time-out or error.
bool waitFor(int fd, short events, const QElapsedTimer &timer, int timeoutMs)
{
    for (;;) {
        const int left = timeoutMs - int(timer.elapsed());
        if (left <= 0)
            return false;
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, left);
        if (n > 0)
            return (p.revents & events) != 0;
        if (n == 0 || errno != EINTR)
            return false;
    }
}

bool replies(int fd, const QByteArray &request, const QElapsedTimer &timer, int timeoutMs)
{
    if (!waitFor(fd, POLLOUT, timer, timeoutMs))
        return false;
    int error = 0;
    socklen_t size = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0 || error != 0)
        return false;
    if (::send(fd, request.constData(), size_t(request.size()), MSG_NOSIGNAL) != request.size())
        return false;
    char byte = 0;
    return waitFor(fd, POLLIN, timer, timeoutMs) && ::recv(fd, &byte, 1, 0) == 1;
}

} // namespace

bool ServerReply::arrives(const QString &host, int port, const QByteArray &request, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    if (::getaddrinfo(host.toUtf8().constData(), QByteArray::number(port).constData(), &hints, &found) != 0)
        return false;
    bool answered = false;
    for (addrinfo *a = found; a && !answered && timer.elapsed() < timeoutMs; a = a->ai_next) {
        const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0)
            continue;
        if (::connect(fd, a->ai_addr, a->ai_addrlen) == 0 || errno == EINPROGRESS)
            answered = replies(fd, request, timer, timeoutMs);
        ::close(fd);
    }
    ::freeaddrinfo(found);
    return answered;
}
