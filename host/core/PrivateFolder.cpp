#include "PrivateFolder.h"
#include "Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace {

// How many numbered names are tried when others hold the first.
constexpr int kNumberedFallbacks = 16;
// A folder of one process alone (made with mkdtemp) younger than this is
// never removed as a leftover: its maker may not have locked it yet.
constexpr time_t kLeftoverAgeSeconds = 60;

// The folder at path when it is private, made first when missing; a folder
// this call makes is its own, and its mode is set again in case the umask
// took bits the owner needs.
bool privateOrMade(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) == 0)
        ::chmod(native.constData(), 0700);
    return PrivateFolder::isPrivate(path);
}

// Removes the user's own one-process folders beside path ("path-XXXXXX",
// made by mkdtemp, here or by earlier versions at every start) that no
// running process holds: their lock is free and they are not brand new.
void removeLeftovers(const QString &path, const QString &keep)
{
    const QFileInfo info(path);
    const QRegularExpression pattern(QLatin1Char('^') + QRegularExpression::escape(info.fileName())
                                     + QStringLiteral("-[A-Za-z0-9]{6}$"));
    const QDir parent = info.dir();
    for (const QString &name : parent.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System)) {
        const QString candidate = parent.filePath(name);
        struct stat st;
        if (!pattern.match(name).hasMatch() || candidate == keep || !PrivateFolder::isPrivate(candidate)
            || ::lstat(QFile::encodeName(candidate).constData(), &st) != 0
            || ::time(nullptr) - st.st_mtime < kLeftoverAgeSeconds)
            continue;
        const int fd = ::open(QFile::encodeName(candidate).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0)
            continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            QDir(candidate).removeRecursively();
        ::close(fd);
    }
}

// A folder of this process alone beside path, held (locked) while it runs
// so that no other process takes it for a leftover.
QString oneProcessFolder(const QString &path)
{
    QByteArray pattern = QFile::encodeName(path) + "-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw EHostError(QStringLiteral("Não foi possível criar uma pasta privada em %1: %2.")
                             .arg(QFileInfo(path).absolutePath(), QString::fromLocal8Bit(std::strerror(errno))));
    ::chmod(pattern.constData(), 0700);
    const int fd = ::open(pattern.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0)
        ::flock(fd, LOCK_SH); // kept open, and so held, until the process ends
    return QFile::decodeName(pattern);
}

// The folder at path when it is private; when another user holds that name,
// the first of "path-2", "path-3", ... that is the user's own or free, the
// same one for every process and every start; failing those, one of this
// process alone. Leftovers of the last kind beside path are removed.
QString privateAt(const QString &path)
{
    if (privateOrMade(path)) {
        removeLeftovers(path, QString());
        return path;
    }
    QString chosen;
    for (int n = 2; n < 2 + kNumberedFallbacks && chosen.isEmpty(); ++n) {
        const QString numbered = path + QStringLiteral("-%1").arg(n);
        if (privateOrMade(numbered))
            chosen = numbered;
    }
    if (chosen.isEmpty())
        chosen = oneProcessFolder(path);
    removeLeftovers(path, chosen);
    return chosen;
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
