#include "ParameterMemory.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace {
QString memoryFile()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(folder);
    return QDir(folder).filePath(QStringLiteral("ultimos-parametros.ini"));
}
} // namespace

namespace ParameterMemory {

void save(const QString &screen, const QVariantMap &values)
{
    QSettings settings(memoryFile(), QSettings::IniFormat);
    settings.remove(screen);
    settings.beginGroup(screen);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        settings.setValue(it.key(), it.value());
    settings.endGroup();
    settings.sync();
}

QVariantMap load(const QString &screen)
{
    QSettings settings(memoryFile(), QSettings::IniFormat);
    settings.beginGroup(screen);
    QVariantMap values;
    for (const QString &key : settings.childKeys())
        values.insert(key, settings.value(key));
    return values;
}

} // namespace ParameterMemory
