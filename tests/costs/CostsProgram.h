// The costs_server program started from outside, as an operator starts it:
// its own arguments and environment, optionally a lower open-file limit,
// and the port it reports on its "LISTENING" line.
#pragma once

#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <sys/resource.h>

class CostsProgram {
public:
    ~CostsProgram() { stop(); }

    // The environment without COSTS_TOKEN, ISC_USER or ISC_PASSWORD of the
    // test's own, under the locale given (empty: as it is).
    static QProcessEnvironment cleanEnvironment(const QString &locale = QString())
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"COSTS_TOKEN", "ISC_USER", "ISC_PASSWORD"})
            env.remove(QString::fromLatin1(name));
        if (!locale.isEmpty()) {
            env.insert(QStringLiteral("LC_ALL"), locale);
            env.insert(QStringLiteral("LANG"), locale);
        }
        return env;
    }

    // Starts it and waits (generously) for its LISTENING line; false when it
    // ended or said nothing first. fileLimit > 0 lowers its open-file limit.
    bool start(const QStringList &args, const QProcessEnvironment &env = cleanEnvironment(), int fileLimit = 0)
    {
        process.setProcessEnvironment(env);
        if (fileLimit > 0)
            process.setChildProcessModifier([fileLimit] {
                const rlimit limit{rlim_t(fileLimit), rlim_t(fileLimit)};
                ::setrlimit(RLIMIT_NOFILE, &limit);
            });
        process.start(QStringLiteral(COSTS_SERVER_PATH), args);
        const QDeadlineTimer deadline(30000);
        while (!process.canReadLine() && process.state() != QProcess::NotRunning && !deadline.hasExpired())
            process.waitForReadyRead(100);
        if (!process.canReadLine())
            return false;
        const QList<QByteArray> parts = process.readLine().trimmed().split(' ');
        port = parts.size() == 3 && parts[0] == "LISTENING" ? quint16(parts[2].toUInt()) : 0;
        return port > 0;
    }

    // Stops it (TERM) and returns all it wrote to its error output.
    QString stopAndReadErrors()
    {
        stop();
        return QString::fromUtf8(process.readAllStandardError());
    }

    void stop()
    {
        if (process.state() == QProcess::NotRunning)
            return;
        process.terminate();
        if (!process.waitForFinished(10000)) {
            process.kill();
            process.waitForFinished();
        }
    }

    QProcess process;
    quint16 port = 0;
};
