#include "UserPreferences.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace {
const char *const kEnterKey = "teclado/enterAvanca";

QString preferencesFile()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return QDir(folder).filePath(QStringLiteral("preferencias.ini"));
}
} // namespace

namespace UserPreferences {

bool enterMovesFocus()
{
    return QSettings(preferencesFile(), QSettings::IniFormat).value(QLatin1String(kEnterKey), true).toBool();
}

void setEnterMovesFocus(bool on)
{
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
    QSettings(preferencesFile(), QSettings::IniFormat).setValue(QLatin1String(kEnterKey), on);
}

QString file() { return preferencesFile(); }

} // namespace UserPreferences
