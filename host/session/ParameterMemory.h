// The last parameter set of each screen that went to a report, kept per user
// in the user's configuration folder (ultimos-parametros.ini, QSettings), so
// that "Repetir últimos parâmetros" can put it back after a restart. Values
// are plain texts, numbers and booleans; nothing here throws.
#pragma once

#include <QString>
#include <QVariantMap>

namespace ParameterMemory {

// Replaces what is kept for screen (its code, "XEV01700") with values.
void save(const QString &screen, const QVariantMap &values);
// What was kept for screen; empty when nothing was.
QVariantMap load(const QString &screen);

} // namespace ParameterMemory
