#include "FileLockHolder.h"

#include <QFile>
#include <QSet>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace FileLockHolder {
namespace {

// "MAJ:MIN:INODE" as /proc/locks writes a file's device (hexadecimal) and inode.
QString lockKey(const QString &file)
{
    struct stat st;
    if (::stat(QFile::encodeName(file).constData(), &st) != 0)
        return QString();
    return QStringLiteral("%1:%2:%3")
        .arg(major(st.st_dev), 2, 16, QLatin1Char('0'))
        .arg(minor(st.st_dev), 2, 16, QLatin1Char('0'))
        .arg(quint64(st.st_ino));
}

QString programName(qint64 pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLocal8Bit(comm.readAll()).trimmed();
}

} // namespace

QString describe(const QStringList &files)
{
    QSet<QString> keys;
    for (const QString &f : files) {
        const QString key = lockKey(f);
        if (!key.isEmpty())
            keys.insert(key);
    }
    QFile locks(QStringLiteral("/proc/locks"));
    if (keys.isEmpty() || !locks.open(QIODevice::ReadOnly))
        return QString();
    const qint64 self = ::getpid();
    // "1: POSIX  ADVISORY  WRITE 4321 08:01:1234 0 EOF"; waiters have "->" after the number.
    const QList<QByteArray> lines = locks.readAll().split('\n');
    for (const QByteArray &line : lines) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.size() < 6 || f[1] == "->")
            continue;
        bool ok = false;
        const qint64 pid = f[4].toLongLong(&ok);
        if (!ok || pid <= 0 || pid == self || !keys.contains(QString::fromLatin1(f[5])))
            continue;
        const QString name = programName(pid);
        return name.isEmpty() ? QStringLiteral("o processo %1").arg(pid)
                              : QStringLiteral("%1 (processo %2)").arg(name).arg(pid);
    }
    return QString();
}

} // namespace FileLockHolder
