#include "UserPreferences.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace {
const char *const kEnterKey = "teclado/enterAvanca";
const char *const kGeometryKey = "janela/geometria";

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

QByteArray mainWindowGeometry()
{
    return QSettings(preferencesFile(), QSettings::IniFormat).value(QLatin1String(kGeometryKey)).toByteArray();
}

void setMainWindowGeometry(const QByteArray &geometry)
{
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
    QSettings(preferencesFile(), QSettings::IniFormat).setValue(QLatin1String(kGeometryKey), geometry);
}

} // namespace UserPreferences
