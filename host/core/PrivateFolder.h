// Folders that only this user can reach, for what the program and the
// libraries it runs keep while they run (the Firebird client's
// configuration and lock files).
//
// make(name) returns "<base>/<name>", made with mode 0700, where <base> is
// the first of:
//  - "$XDG_RUNTIME_DIR/merenda", when $XDG_RUNTIME_DIR is private itself;
//  - "<temporary folder>/merenda-<uid>";
// An existing folder on the way is used only when it is private (isPrivate:
// a real folder, not a symbolic link, owned by this user, mode 0700);
// otherwise a new one is made beside it with mkdtemp ("...-XXXXXX"), so a
// folder that another user made first is never used. The same names serve
// every process of the user, so that processes which must meet (embedded
// Firebird's lock files) meet. Throws EHostError when no folder can be made.
#pragma once

#include <QString>

namespace PrivateFolder {

QString make(const QString &name);
bool isPrivate(const QString &path);

} // namespace PrivateFolder
