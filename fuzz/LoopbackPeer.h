// The far end of a TCP connection on 127.0.0.1 for the costs-protocol
// harnesses: blocking POSIX sockets with a deadline on every wait, so that a
// harness never hangs on a peer that went away.
#pragma once

#include <QByteArray>

#include <cstdint>

namespace LoopbackPeer {

// A socket listening on 127.0.0.1 at a free port; aborts when it cannot.
int listenAny(uint16_t *port);
// A connection to 127.0.0.1:port; aborts when it cannot.
int connectTo(uint16_t port);
// The next connection of a listening socket; -1 when none comes in time.
int acceptOne(int listener);
// Writes all of bytes (gives up silently if the peer has gone).
void writeAll(int fd, const QByteArray &bytes);
// Reads one frame of the protocol (header and body); false on end of stream,
// error or when it does not arrive in time.
bool readFrame(int fd);
// Reads what is there; false once the stream has ended or failed.
bool readSome(int fd, QByteArray &into, int waitMs);
// Half-closes (nothing more to send), then waits for the peer to close.
void finish(int fd);
// Closes without leaving the port in TIME_WAIT.
void closeHard(int fd);

} // namespace LoopbackPeer
