// Lets several processes open the same Firebird database file embedded (no
// server): the shell and its costs server, say.
//
// Firebird 3's embedded engine runs in the mode its firebird.conf names; in
// the default mode (Super) the first process takes the file for itself, and
// any other process, embedded or server, fails with "Database already opened
// with engine instance, incompatible with current". In SuperClassic mode
// processes share the file through a lock table in shared memory.
//
// prepare() points FIREBIRD (the engine's configuration root) at a private
// copy of the system's root in which firebird.conf asks for SuperClassic,
// and FIREBIRD_LOCK at a lock directory this user can write. Every process
// that opens the file embedded must run with the same two variables: call
// prepare() in the shell before its first Firebird connection, and start the
// costs server after it (children inherit the environment). Variables the
// user has set already are left alone.
#pragma once

#include <QString>

namespace FirebirdSharing {

// True when the environment is ready (now or before); false with error set
// when no Firebird installation was found.
bool prepare(QString *error = nullptr);

// The configuration root that prepare() made or found.
QString configRoot();

} // namespace FirebirdSharing
