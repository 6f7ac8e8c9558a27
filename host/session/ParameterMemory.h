// The last parameter set of each screen that went to a report, kept per user
// in the user's configuration folder (ultimos-parametros.ini, read as
// QSettings reads INI files), so that "Repetir últimos parâmetros" can put it
// back after a restart. Values are plain texts, numbers and booleans.
//
// The file is written whole through SafeFile: when it cannot be (a full
// disk, a folder that cannot be written), the set kept before stays as it
// was and a notice (ShellNotices: the status bar and standard error) says
// why and what to do. Nothing here throws.
#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QVariantMap>

namespace ParameterMemory {

// Replaces what is kept for screen (its code, "XEV01700") with values.
// Returns false (after the notice) when it could not be kept.
bool save(const QString &screen, const QVariantMap &values);
// What was kept for screen; empty when nothing was.
QVariantMap load(const QString &screen);
// The INI text of every screen's set, as QSettings reads it back (each
// value a quoted text). Exposed for the tests.
QByteArray iniText(const QMap<QString, QVariantMap> &screens);

} // namespace ParameterMemory
