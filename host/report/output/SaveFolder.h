// The folder where the person last saved a report's file (an export, a PDF),
// so that the next save dialog starts there; the documents folder before the
// first save. Kept in the user's preferences (preferencias.ini, beside the
// shell's other preferences), so it outlives the session.
#pragma once

#include <QString>

namespace SaveFolder {
QString last();
// Remembers the folder of file (a path just chosen in a save dialog).
void remember(const QString &file);
// file's name in the last folder.
QString initialPath(const QString &fileName);
} // namespace SaveFolder
