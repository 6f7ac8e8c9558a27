#include "NeighbourWriter.h"

#include <QStandardPaths>

bool NeighbourWriter::start(const QString &database, int intervalMs, int busyTimeoutMs, QString *why)
{
    const QString sqlite3 = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (sqlite3.isEmpty()) {
        *why = QStringLiteral("the sqlite3 shell is not installed");
        return false;
    }
    m_database = database;
    m_sent = 0;
    m_shell.start(sqlite3, {QStringLiteral("-batch"), database});
    if (!m_shell.waitForStarted(10000)) {
        *why = QStringLiteral("sqlite3 did not start");
        return false;
    }
    m_shell.write(QStringLiteral(".timeout %1\nCREATE TABLE IF NOT EXISTS VIZINHO (N INTEGER, QUANDO TEXT);\n")
                      .arg(busyTimeoutMs)
                      .toUtf8());
    m_timer.setInterval(intervalMs);
    QObject::connect(&m_timer, &QTimer::timeout, this, [this] { writeOne(); });
    m_timer.start();
    return true;
}

void NeighbourWriter::writeOne()
{
    ++m_sent;
    m_shell.write(QStringLiteral("INSERT INTO VIZINHO VALUES (%1, strftime('%Y-%m-%d %H:%M:%f', 'now'));\n")
                      .arg(m_sent)
                      .toUtf8());
}

NeighbourWriter::Result NeighbourWriter::stop()
{
    m_timer.stop();
    Result r;
    r.sent = m_sent;
    m_shell.write("SELECT 'ESCRITAS=' || COUNT(*) FROM VIZINHO;\n.quit\n");
    m_shell.closeWriteChannel();
    if (!m_shell.waitForFinished(60000))
        m_shell.kill();
    const QString out = QString::fromUtf8(m_shell.readAllStandardOutput());
    const int at = int(out.indexOf(QLatin1String("ESCRITAS=")));
    if (at >= 0)
        r.written = out.mid(at + 9).section(QLatin1Char('\n'), 0, 0).trimmed().toInt();
    r.complaints = QString::fromUtf8(m_shell.readAllStandardError()).trimmed();
    return r;
}
