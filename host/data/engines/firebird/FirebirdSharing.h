// The Firebird client's configuration for this program's processes: lets
// several processes open the same database file embedded (no server), the
// shell and its costs server say, and bounds the wait for a server that
// accepts the connection but never answers.
//
// Firebird 3's embedded engine runs in the mode its firebird.conf names; in
// the default mode (Super) the first process takes the file for itself, and
// any other process, embedded or server, fails with "Database already opened
// with engine instance, incompatible with current". In SuperClassic mode
// processes share the file through a lock table in shared memory.
//
// The client library waits ConnectionTimeout seconds (180 by default) for a
// server's first answer; a host that accepts the TCP connection and then
// stays silent would hold the shell for three minutes. The private
// firebird.conf sets it to kConnectTimeoutSeconds.
//
// prepare() points FIREBIRD (the engine's configuration root) at a copy of
// the system's root in which firebird.conf asks for SuperClassic and the
// shorter connection timeout, and FIREBIRD_LOCK at a lock folder; both are
// private folders of this user (PrivateFolder: "firebird" and
// "firebird-lock", mode 0700, never one another user made), and the root is
// made again from the system's at every prepare(): links to the system's
// entries, copies of intl/, this program's firebird.conf, nothing else, so
// no file found there (a plugins.conf naming someone's library) is used.
// The client reads its configuration once per process, at its first use:
// call prepare() before the first Firebird connection (FirebirdEngine does),
// and start the costs server after it (children inherit the environment).
// Every process that opens a file embedded must run with the same two
// variables. Variables the user has set already are left alone: then the
// firebird.conf of the user's root rules, its ConnectionTimeout included.
#pragma once

#include <QString>

namespace FirebirdSharing {

// How long a connection to a Firebird server may wait for the server's
// first answer (ConnectionTimeout in the private firebird.conf).
constexpr int kConnectTimeoutSeconds = 10;

// True when the environment is ready (now or before); false with error set
// when no Firebird installation was found.
bool prepare(QString *error = nullptr);

// The configuration root that prepare() made or found.
QString configRoot();

} // namespace FirebirdSharing
