#include "PasswordKeyring.h"

#include <QEventLoop>
#include <memory>
#include <qt6keychain/keychain.h>

namespace {

// Runs a job to its end; its error text, empty when it did its work (or,
// reading, found nothing saved).
QString run(QKeychain::Job &job)
{
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.setAutoDelete(false);
    job.start();
    loop.exec();
    if (job.error() == QKeychain::NoError || job.error() == QKeychain::EntryNotFound)
        return QString();
    return job.errorString().isEmpty() ? QStringLiteral("erro %1").arg(int(job.error())) : job.errorString();
}

} // namespace

QString DesktopKeyring::read(const QString &account, QString *error)
{
    QKeychain::ReadPasswordJob job{QString::fromLatin1(kService)};
    job.setKey(account);
    const QString why = run(job);
    if (error)
        *error = why;
    return why.isEmpty() ? job.textData() : QString();
}

bool DesktopKeyring::save(const QString &account, const QString &password, QString *error)
{
    QKeychain::WritePasswordJob job{QString::fromLatin1(kService)};
    job.setKey(account);
    job.setTextData(password);
    const QString why = run(job);
    if (error)
        *error = why;
    return why.isEmpty();
}
