#include "SafeFile.h"
#include "Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
} // namespace

SafeFile::SafeFile(const QString &target) : m_target(QFileInfo(target).absoluteFilePath()), m_file(m_target)
{
    const QString dir = QFileInfo(m_target).absolutePath();
    if (!QDir().mkpath(dir))
        throw EHostError(failureText(m_target, QStringLiteral("a pasta \"%1\" não pôde ser criada").arg(dir)));
    // Never write through into the target: a killed run must not leave it half written.
    m_file.setDirectWriteFallback(false);
    if (!m_file.open(QIODevice::WriteOnly))
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

void SafeFile::commit()
{
    if (!m_open)
        fail(QStringLiteral("o arquivo já foi fechado"));
    // QSaveFile::commit() does not notice a flush that fails, so what is
    // still buffered goes out here, until it is all written or a flush makes
    // no progress (then the system's reason is known).
    for (qint64 left = m_file.bytesToWrite(); left > 0;) {
        m_file.flush();
        const qint64 now = m_file.bytesToWrite();
        if (now >= left)
            fail(reasonOf(m_file));
        left = now;
    }
    m_open = false;
    if (!m_file.commit())
        throw EHostError(failureText(m_target, reasonOf(m_file)));
}

void SafeFile::discard()
{
    if (m_open) {
        m_open = false;
        m_file.cancelWriting();
        m_file.commit(); // with writing cancelled this only removes the temporary file
    }
}

void SafeFile::writeAll(const QString &target, const QByteArray &bytes)
{
    SafeFile f(target);
    f.write(bytes);
    f.commit();
}
