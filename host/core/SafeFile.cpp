#include "SafeFile.h"
#include "Errors.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// The reason in Portuguese, with the system's own text after it for support.
QString reasonOf(const QFileDevice &f)
{
    QString why;
    switch (f.error()) {
    case QFileDevice::PermissionsError: why = QStringLiteral("sem permissão para gravar nessa pasta"); break;
    case QFileDevice::ResourceError: why = QStringLiteral("não há espaço livre no disco"); break;
    case QFileDevice::OpenError: why = QStringLiteral("o arquivo não pôde ser criado"); break;
    case QFileDevice::RenameError: why = QStringLiteral("o arquivo anterior não pôde ser substituído"); break;
    default: why = QStringLiteral("erro de gravação"); break;
    }
    const QString system = f.errorString();
    return system.isEmpty() ? why : QStringLiteral("%1 (%2)").arg(why, system);
}

QString reasonOf(int error)
{
    QString why;
    switch (error) {
    case EACCES:
    case EPERM:
    case EROFS: why = QStringLiteral("sem permissão para gravar nessa pasta"); break;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: why = QStringLiteral("não há espaço livre no disco"); break;
    default: why = QStringLiteral("erro de gravação"); break;
    }
    return QStringLiteral("%1 (%2)").arg(why, QString::fromLocal8Bit(std::strerror(error)));
}

QString procPath(int fd) { return QStringLiteral("/proc/self/fd/%1").arg(fd); }

// A name in dir that nothing has, for the moment between link and rename.
QString passingName(const QString &target)
{
    const QFileInfo fi(target);
    return fi.absoluteDir().absoluteFilePath(
        QStringLiteral(".%1.%2").arg(fi.fileName()).arg(QRandomGenerator::global()->generate64(), 0, 36));
}
} // namespace

SafeFile::SafeFile(const QString &target) : m_target(QFileInfo(target).absoluteFilePath())
{
    const QString dir = QFileInfo(m_target).absolutePath();
    if (!QDir().mkpath(dir))
        throw EHostError(failureText(m_target, QStringLiteral("a pasta \"%1\" não pôde ser criada").arg(dir)));
    // No name until commit: a killed program leaves nothing in the folder.
    m_fd = ::open(QFile::encodeName(dir).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (m_fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        // A file system without unnamed files (NFS, older overlays): a
        // hidden file beside the target, as editors do.
        m_named = QFile::encodeName(passingName(m_target)) + ".XXXXXX";
        m_fd = ::mkostemp(m_named.data(), O_CLOEXEC);
        if (m_fd < 0)
            m_named.clear();
    }
    if (m_fd < 0)
        failErrno(errno);
    if (!m_file.open(m_fd, QIODevice::WriteOnly, QFileDevice::DontCloseHandle))
        fail(reasonOf(m_file));
    m_open = true;
}

SafeFile::~SafeFile() { discard(); }

QString SafeFile::failureText(const QString &target, const QString &reason)
{
    return QStringLiteral("Não foi possível gravar o arquivo \"%1\": %2.").arg(QDir::toNativeSeparators(target), reason);
}

void SafeFile::fail(const QString &reason)
{
    discard();
    throw EHostError(failureText(m_target, reason));
}

void SafeFile::failErrno(int error)
{
    fail(reasonOf(error));
}

void SafeFile::write(const QByteArray &bytes)
{
    if (!m_open)
        fail(QStringLiteral("o arquivo já foi fechado"));
    // A short write (the disk filling up) is no error to Qt: the rest is
    // written again, which either goes through or fails with the reason.
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 n = m_file.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            fail(reasonOf(m_file));
        done += n;
    }
}

void SafeFile::writeFrom(const QString &path)
{
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly))
        fail(QStringLiteral("a cópia temporária não pôde ser lida (%1)").arg(in.errorString()));
    QByteArray chunk;
    while (!(chunk = in.read(1 << 20)).isEmpty())
        write(chunk);
    if (in.error() != QFileDevice::NoError)
        fail(QStringLiteral("a cópia temporária não pôde ser lida (%1)").arg(in.errorString()));
}

void SafeFile::flushAll()
{
    if (!m_open)
        fail(QStringLiteral("o arquivo já foi fechado"));
    // What is still buffered goes out until it is all written or a flush
    // makes no progress (then the system's reason is known).
    for (qint64 left = m_file.bytesToWrite(); left > 0;) {
        m_file.flush();
        const qint64 now = m_file.bytesToWrite();
        if (now >= left)
            fail(reasonOf(m_file));
        left = now;
    }
    if (m_file.error() != QFileDevice::NoError)
        fail(reasonOf(m_file));
    // On disk before it has a name, so a crash never shows an empty file.
    if (::fdatasync(m_fd) != 0)
        failErrno(errno);
}

int SafeFile::linkAs(const QString &name)
{
    const QByteArray from = m_named.isEmpty() ? QFile::encodeName(procPath(m_fd)) : m_named;
    const int linked = ::linkat(AT_FDCWD, from.constData(), AT_FDCWD, QFile::encodeName(name).constData(), AT_SYMLINK_FOLLOW);
    return linked == 0 ? 0 : errno;
}

void SafeFile::commit()
{
    flushAll();
    struct stat old {};
    const bool replaces = ::stat(QFile::encodeName(m_target).constData(), &old) == 0;
    if (replaces)
        ::fchmod(m_fd, old.st_mode & 07777); // as the file it replaces
    int error = replaces ? EEXIST : linkAs(m_target);
    if (error == 0) {
        discard();
        return;
    }
    // link() cannot replace a name: the file gets a passing name of its own,
    // then rename() puts it over the target in one step.
    QString passing;
    for (int tries = 0; error == EEXIST && tries < 100; ++tries)
        error = linkAs(passing = passingName(m_target));
    if (error != 0)
        failErrno(error);
    if (::rename(QFile::encodeName(passing).constData(), QFile::encodeName(m_target).constData()) != 0) {
        const int renameError = errno;
        ::unlink(QFile::encodeName(passing).constData());
        fail(QStringLiteral("o arquivo anterior não pôde ser substituído (%1)")
                 .arg(QString::fromLocal8Bit(std::strerror(renameError))));
    }
    discard();
}

bool SafeFile::commitNew()
{
    flushAll();
    const int error = linkAs(m_target);
    if (error == EEXIST)
        return false;
    if (error != 0)
        failErrno(error);
    discard();
    return true;
}

void SafeFile::retarget(const QString &target)
{
    const QString absolute = QFileInfo(target).absoluteFilePath();
    if (QFileInfo(absolute).absolutePath() != QFileInfo(m_target).absolutePath())
        fail(QStringLiteral("o novo nome \"%1\" fica em outra pasta").arg(absolute));
    m_target = absolute;
}

void SafeFile::discard()
{
    if (m_open) {
        m_open = false;
        m_file.close();
    }
    if (m_fd >= 0) {
        ::close(m_fd); // an unnamed file goes with its last descriptor
        m_fd = -1;
    }
    if (!m_named.isEmpty()) {
        ::unlink(m_named.constData());
        m_named.clear();
    }
}

void SafeFile::writeAll(const QString &target, const QByteArray &bytes)
{
    SafeFile f(target);
    f.write(bytes);
    f.commit();
}
