// libpq's password file, as the PostgreSQL engine must know it: PGPASSFILE,
// else ~/.pgpass. libpq does not use one that its owner's group or others
// may read: it says so in English on standard error and goes on as if the
// file held nothing, so a right password in it ends as "wrong password".
// The engine asks first (ignoredFile), keeps libpq away from such a file
// (so its English warning is never printed) and names the file and its fix
// in Portuguese instead.
#pragma once

#include <QString>

namespace PostgresPasswordFile {
// The file libpq would read.
QString path();
// path() when it exists and libpq would ignore it for its rights; empty otherwise.
QString ignoredFile();
// A connect option that keeps libpq from reading any password file.
QString noFileOption();
}
