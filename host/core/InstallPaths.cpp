#include "InstallPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
QString installed(const char *relative)
{
    const QString dir = QDir::cleanPath(QCoreApplication::applicationDirPath() + QLatin1Char('/') + QLatin1String(relative));
    return QFileInfo(dir).isDir() ? dir : QCoreApplication::applicationDirPath();
}
} // namespace

namespace InstallPaths {

QString moduleDir() { return installed("../lib/merenda"); }
QString dataDir() { return installed("../share/merenda"); }

} // namespace InstallPaths
