// The suite's servers (SuiteServers.h): one Firebird server and one
// PostgreSQL cluster for a whole ctest run, which ctest starts and stops as
// the fixture "suite_servers".
//
//   suite_servers start FOLDER   starts both in a keeper process that stays
//                                when this one ends; once they accept
//                                connections, writes FOLDER/servers.ini (an
//                                engine that cannot start is written with
//                                its reason, and its tests skip it)
//   suite_servers stop FOLDER    stops them (the keeper, by its recorded
//                                id) and removes FOLDER
//
// A start finds the keeper of a run that ended without its stop (ctest
// interrupted) and stops it first. Exit codes: 0 done, 1 failed, 2 usage.
#include "FirebirdServer.h"
#include "PostgresCluster.h"
#include "SuiteServers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QThread>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

int g_stopPipe[2];

void askedToStop(int)
{
    const char stop = 1;
    [[maybe_unused]] const auto written = ::write(g_stopPipe[1], &stop, 1);
}

QString keeperFile(const QString &folder) { return QDir(folder).filePath(QStringLiteral("keeper.pid")); }
QString logFile(const QString &folder) { return QDir(folder).filePath(QStringLiteral("servers.log")); }

// The keeper recorded in folder, when that process still runs as this program.
pid_t runningKeeper(const QString &folder)
{
    QFile record(keeperFile(folder));
    if (!record.open(QIODevice::ReadOnly))
        return 0;
    const pid_t pid = pid_t(record.readAll().trimmed().toInt());
    QFile command(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (pid <= 0 || !command.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray program = command.readAll().split('\0').value(0);
    return program.endsWith("suite_servers") ? pid : 0;
}

bool stopKeeper(const QString &folder)
{
    const pid_t keeper = runningKeeper(folder);
    if (keeper && ::kill(keeper, SIGTERM) == 0) {
        // Not our child: watched until it is gone (each server allows itself 15 s).
        for (int i = 0; i < 600 && runningKeeper(folder) == keeper; ++i)
            QThread::msleep(100);
        if (runningKeeper(folder) == keeper) {
            std::fprintf(stderr, "suite_servers: the keeper (process %d) did not stop\n", int(keeper));
            return false;
        }
    }
    return QDir(folder).removeRecursively();
}

// Starts both servers, describes them, tells the starter on `ready`, then
// holds them until SIGTERM or SIGINT. The signals are caught, not blocked:
// the servers would inherit a blocked signal and ignore their own stop.
int keep(const QString &folder, int ready)
{
    struct sigaction stop = {};
    stop.sa_handler = askedToStop;
    sigemptyset(&stop.sa_mask);
    if (pipe2(g_stopPipe, O_CLOEXEC) != 0 || sigaction(SIGTERM, &stop, nullptr) != 0
        || sigaction(SIGINT, &stop, nullptr) != 0)
        return 1;
    int argc = 1;
    char name[] = "suite_servers";
    char *argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    FirebirdServer firebird(FirebirdServer::Sharing::Private);
    PostgresCluster postgres(PostgresCluster::Sharing::Private);
    SuiteServers::Server fb, pg;
    if (firebird.start(&fb.error))
        fb.port = firebird.port();
    if (postgres.start(&pg.error))
        pg.port = postgres.port();
    std::printf("firebird: %s\npostgresql: %s\n", fb.error.isEmpty() ? "up" : qPrintable(fb.error),
                pg.error.isEmpty() ? "up" : qPrintable(pg.error));
    std::fflush(stdout);
    QFile record(keeperFile(folder));
    if (!record.open(QIODevice::WriteOnly) || record.write(QByteArray::number(getpid())) < 0 || !record.flush()
        || !SuiteServers::write(QDir(folder).filePath(QStringLiteral("servers.ini")), fb, pg))
        return 1;
    record.close();
    if (::write(ready, "1", 1) != 1)
        return 1;
    ::close(ready);
    char asked = 0;
    while (::read(g_stopPipe[0], &asked, 1) < 0 && errno == EINTR) {
    }
    return 0; // the servers stop as their fixtures go
}

int start(const QString &folder)
{
    if (!stopKeeper(folder) || !QDir().mkpath(folder)) {
        std::fprintf(stderr, "suite_servers: cannot make %s afresh\n", qPrintable(folder));
        return 1;
    }
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        return 1;
    const pid_t child = fork();
    if (child < 0)
        return 1;
    if (child == 0) {
        // Out of ctest's process group and off its output, which it waits on.
        ::close(pipeEnds[0]);
        setsid();
        const int log = open(QFile::encodeName(logFile(folder)).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int nothing = open("/dev/null", O_RDONLY);
        dup2(nothing, 0);
        dup2(log, 1);
        dup2(log, 2);
        ::close(log);
        ::close(nothing);
        _exit(keep(folder, pipeEnds[1]));
    }
    ::close(pipeEnds[1]);
    char done = 0;
    const bool ready = read(pipeEnds[0], &done, 1) == 1;
    QFile log(logFile(folder));
    if (log.open(QIODevice::ReadOnly))
        std::fputs(log.readAll().constData(), ready ? stdout : stderr);
    if (!ready)
        std::fprintf(stderr, "suite_servers: the keeper ended before the servers were described\n");
    return ready ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    const QByteArray command = argc == 3 ? QByteArray(argv[1]) : QByteArray();
    const QString folder = argc == 3 ? QDir::cleanPath(QString::fromLocal8Bit(argv[2])) : QString();
    if (command == "start")
        return start(folder);
    if (command == "stop")
        return stopKeeper(folder) ? 0 : 1;
    std::fprintf(stderr, "usage: suite_servers start|stop FOLDER\n");
    return 2;
}
