#include "SaveFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {
const char *const kKey = "arquivos/ultimaPasta";

QString preferencesFile()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation))
        .filePath(QStringLiteral("preferencias.ini"));
}
} // namespace

namespace SaveFolder {

QString last()
{
    const QString kept = QSettings(preferencesFile(), QSettings::IniFormat).value(QLatin1String(kKey)).toString();
    if (!kept.isEmpty() && QFileInfo(kept).isDir())
        return kept;
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

void remember(const QString &file)
{
    if (file.isEmpty())
        return;
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
    QSettings(preferencesFile(), QSettings::IniFormat)
        .setValue(QLatin1String(kKey), QFileInfo(file).absoluteDir().absolutePath());
}

QString initialPath(const QString &fileName) { return QDir(last()).filePath(fileName); }

} // namespace SaveFolder
