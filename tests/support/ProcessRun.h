// Runs a program as a process, as an operator or a desktop starts it, and
// keeps what it did: whether it ended, how, its exit code and output, and
// how long it took. Used by the tests that start the shell and the costs
// server from outside.
#pragma once

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

namespace ProcessRun {

struct Result {
    bool finished = false;
    QProcess::ExitStatus status = QProcess::CrashExit;
    int code = -1;
    QString out, err;
    qint64 ms = 0;
};

// The environment without any display: no X, no Wayland, no platform
// chosen; configuration read from configHome.
inline QProcessEnvironment noDisplay(const QString &configHome)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    return env;
}

// Runs program to its end (killed after timeoutMs); standard input is empty.
inline Result run(const QString &program, const QStringList &args, const QProcessEnvironment &env,
                  int timeoutMs = 60000, const QString &input = QString())
{
    QProcess p;
    p.setProcessEnvironment(env);
    if (input.isEmpty())
        p.setStandardInputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    p.start(program, args);
    Result r;
    if (!p.waitForStarted())
        return r;
    if (!input.isEmpty()) {
        p.write(input.toUtf8());
        p.closeWriteChannel();
    }
    r.finished = p.waitForFinished(timeoutMs);
    r.ms = clock.elapsed();
    if (!r.finished) {
        p.kill();
        p.waitForFinished();
    }
    r.status = p.exitStatus();
    r.code = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

inline QString describe(const Result &r)
{
    return QStringLiteral("finished %1, crashed %2, code %3, %4 ms\nstdout: %5\nstderr: %6")
        .arg(r.finished).arg(r.status == QProcess::CrashExit).arg(r.code).arg(r.ms).arg(r.out, r.err);
}

} // namespace ProcessRun
