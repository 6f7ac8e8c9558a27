#include "PostgresPasswordFile.h"

#include <QDir>
#include <QFile>
#include <sys/stat.h>

QString PostgresPasswordFile::path()
{
    const QString named = qEnvironmentVariable("PGPASSFILE");
    return named.isEmpty() ? QDir::home().filePath(QStringLiteral(".pgpass")) : named;
}

QString PostgresPasswordFile::ignoredFile()
{
    const QString file = path();
    struct stat st;
    if (::stat(QFile::encodeName(file).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return QString();
    return (st.st_mode & (S_IRWXG | S_IRWXO)) != 0 ? file : QString();
}

QString PostgresPasswordFile::noFileOption()
{
    // libpq passes over a password file that does not exist, silently.
    return QStringLiteral("passfile=/nonexistent/merenda-no-password-file");
}
