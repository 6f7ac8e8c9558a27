// Where the program finds the files that come with it. In the build tree they
// lie beside the executables (bin/); installed, the executables are in
// PREFIX/bin, the modules in PREFIX/lib/merenda and the shared data (report
// definitions) in PREFIX/share/merenda. Each function answers the installed
// folder when it exists, else the executables' own folder.
#pragma once

#include <QString>

namespace InstallPaths {

// Screen modules (PKG_*.so) and the host's libraries.
QString moduleDir();
// Read-only data shipped with the program: reports/ lives here.
QString dataDir();

} // namespace InstallPaths
