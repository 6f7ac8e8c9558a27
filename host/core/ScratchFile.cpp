#include "ScratchFile.h"
#include "Errors.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {
QString systemText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

int openUnnamed(const QByteArray &dir)
{
#ifdef O_TMPFILE
    const int unnamed = ::open(dir.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (unnamed >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL))
        return unnamed;
#endif
    // A file system without unnamed files: a named one, removed at once.
    QByteArray pattern = dir + "/.temporario-XXXXXX";
    const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd >= 0)
        ::unlink(pattern.constData());
    return fd;
}
} // namespace

ScratchFile::ScratchFile(const QString &what, const QString &dir)
    : m_dir(QDir::toNativeSeparators(dir.isEmpty() ? QDir::tempPath() : dir))
{
    m_fd = openUnnamed(QFile::encodeName(m_dir));
    if (m_fd < 0) {
        const int error = errno;
        throw EHostError(QStringLiteral("Não foi possível criar o arquivo temporário com %1 na pasta \"%2\": %3. "
                                        "Verifique se a pasta existe e se pode ser gravada (a variável TMPDIR "
                                        "indica outra pasta).")
                             .arg(what, m_dir, systemText(error)));
    }
}

ScratchFile::~ScratchFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QString ScratchFile::path() const { return QStringLiteral("/proc/self/fd/%1").arg(m_fd); }

qint64 ScratchFile::size() const
{
    struct stat st {};
    return ::fstat(m_fd, &st) == 0 ? qint64(st.st_size) : 0;
}

QString ScratchFile::writeFailure(const QString &what, const QString &dir, int error)
{
    const QString folder = QDir::toNativeSeparators(dir.isEmpty() ? QDir::tempPath() : dir);
    if (error == ENOSPC || error == EDQUOT || error == EFBIG)
        return QStringLiteral("A pasta temporária \"%1\" ficou cheia ao gravar %2. Libere espaço nela "
                              "(ou indique outra pasta na variável TMPDIR) e tente de novo.")
            .arg(folder, what);
    return QStringLiteral("Não foi possível gravar %1 na pasta temporária \"%2\": %3. Verifique a pasta "
                          "(ou indique outra na variável TMPDIR) e tente de novo.")
        .arg(what, folder, systemText(error));
}

bool ScratchFile::isFull(const QString &dir)
{
    struct statvfs fs {};
    if (::statvfs(QFile::encodeName(dir.isEmpty() ? QDir::tempPath() : dir).constData(), &fs) != 0)
        return false;
    return quint64(fs.f_bavail) * fs.f_frsize < (1u << 20);
}
