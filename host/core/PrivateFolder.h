// Folders that only this user can reach, for what the program and the
// libraries it runs keep while they run (the Firebird client's
// configuration and lock files).
//
// make(name) returns "<base>/<name>", made with mode 0700, where <base> is
// the first of:
//  - "$XDG_RUNTIME_DIR/merenda", when $XDG_RUNTIME_DIR is private itself;
//  - "<temporary folder>/merenda-<uid>";
// An existing folder on the way is used only when it is private (isPrivate:
// a real folder, not a symbolic link, owned by this user, mode 0700), so a
// folder that another user made first is never used. In its place comes the
// first of "...-2" to "...-17" that is the user's own or can be made: the
// same names serve every process of the user, start after start, so that
// processes which must meet (embedded Firebird's lock files) meet and
// nothing piles up. When others hold all of those, the process gets one of
// its own ("...-XXXXXX", mkdtemp), locked while it runs; such folders left
// by processes that ended are removed by the next start that falls back.
// Throws EHostError when no folder can be made.
#pragma once

#include <QString>

namespace PrivateFolder {

QString make(const QString &name);
bool isPrivate(const QString &path);

} // namespace PrivateFolder
