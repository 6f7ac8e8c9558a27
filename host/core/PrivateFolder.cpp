#include "PrivateFolder.h"
#include "Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The folder at path when it is private, else a fresh private one beside it.
QString privateAt(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    // A folder this call makes is its own; the mode is set again in case the
    // umask took bits the owner needs.
    if (::mkdir(native.constData(), 0700) == 0)
        ::chmod(native.constData(), 0700);
    if (PrivateFolder::isPrivate(path))
        return path;
    QByteArray pattern = native + "-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw EHostError(QStringLiteral("Não foi possível criar uma pasta privada em %1: %2.")
                             .arg(QFileInfo(path).absolutePath(), QString::fromLocal8Bit(std::strerror(errno))));
    ::chmod(pattern.constData(), 0700);
    return QFile::decodeName(pattern);
}

QString base()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && PrivateFolder::isPrivate(runtime))
        return privateAt(QDir(runtime).filePath(QStringLiteral("merenda")));
    return privateAt(QDir(QDir::tempPath()).filePath(QStringLiteral("merenda-%1").arg(::geteuid())));
}

} // namespace

namespace PrivateFolder {

bool isPrivate(const QString &path)
{
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 07777) == 0700;
}

QString make(const QString &name)
{
    return privateAt(QDir(base()).filePath(name));
}

} // namespace PrivateFolder
