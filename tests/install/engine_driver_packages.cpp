// The Qt SQL drivers the program loads, and the Debian packages that hold
// them: for each database engine (DatabaseEngine::all()) a line
//   DRIVER PLUGIN_FILE PACKAGE
// ("QPSQL /usr/lib/x86_64-linux-gnu/qt6/plugins/sqldrivers/libqsqlpsql.so
// libqt6sql6-psql"), the file being the one the process maps once the
// driver is asked for. Exit code 1, with the reason on standard error, when
// a driver does not load or its file belongs to no package.
#include "data/engines/DatabaseEngine.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QSqlDatabase>
#include <cstdio>

namespace {
// The SQL driver plugins mapped into this process now.
QSet<QString> loadedDrivers()
{
    QSet<QString> out;
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (maps.open(QIODevice::ReadOnly))
        for (const QByteArray &line : maps.readAll().split('\n'))
            if (line.contains("/sqldrivers/"))
                out.insert(QString::fromLocal8Bit(line.mid(line.indexOf('/'))).trimmed());
    return out;
}

QString packageOf(const QString &file)
{
    QProcess dpkg;
    dpkg.start(QStringLiteral("dpkg"), {QStringLiteral("-S"), file});
    dpkg.waitForFinished(30000);
    const QString answer = QString::fromLocal8Bit(dpkg.readAllStandardOutput()).trimmed();
    return dpkg.exitCode() == 0 ? answer.section(QLatin1Char(':'), 0, 0) : QString();
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    int failures = 0;
    for (const DatabaseEngine *engine : DatabaseEngine::all()) {
        const QString driver = engine->driverName();
        const QSet<QString> before = loadedDrivers();
        const bool valid = QSqlDatabase::addDatabase(driver, driver).isValid();
        const QSet<QString> added = loadedDrivers() - before;
        if (!valid || added.size() != 1) {
            std::fprintf(stderr, "driver %s did not load (%d files)\n", qPrintable(driver), int(added.size()));
            ++failures;
            continue;
        }
        const QString file = *added.begin();
        const QString package = packageOf(file);
        if (package.isEmpty()) {
            std::fprintf(stderr, "no package holds %s (driver %s)\n", qPrintable(file), qPrintable(driver));
            ++failures;
            continue;
        }
        std::printf("%s %s %s\n", qPrintable(driver), qPrintable(file), qPrintable(package));
    }
    return failures == 0 ? 0 : 1;
}
