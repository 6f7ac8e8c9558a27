#include "FirebirdSharing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdio>
#include <unistd.h>

namespace FirebirdSharing {
namespace {

QString systemRoot()
{
    const QStringList candidates = {
        QStringLiteral("/usr/lib/x86_64-linux-gnu/firebird/3.0"),
        QStringLiteral("/usr/lib/aarch64-linux-gnu/firebird/3.0"),
        QStringLiteral("/usr/lib/firebird/3.0"),
        QStringLiteral("/opt/firebird"),
    };
    for (const QString &c : candidates)
        if (QFileInfo::exists(c + QStringLiteral("/plugins")) && QFileInfo::exists(c + QStringLiteral("/firebird.msg")))
            return c;
    return {};
}

QString userTag() { return QString::number(::getuid()); }

// Everything of the system's root but firebird.conf, by symbolic link; but
// intl/ as a real folder with copies: the character-set module is refused
// when loaded through a link, and WIN1252 goes missing.
void linkRoot(const QString &sys, const QString &root)
{
    QDir().mkpath(root);
    const QFileInfoList entries = QDir(sys).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
    for (const QFileInfo &e : entries) {
        const QString name = e.fileName();
        const QString target = root + QLatin1Char('/') + name;
        if (name == QLatin1String("firebird.conf"))
            continue;
        if (name == QLatin1String("intl")) {
            if (QFileInfo(target).isSymLink())
                QFile::remove(target);
            QDir().mkpath(target);
            const QFileInfoList files = QDir(e.absoluteFilePath()).entryInfoList(QDir::Files);
            for (const QFileInfo &f : files) {
                const QString copy = target + QLatin1Char('/') + f.fileName();
                if (QFileInfo(copy).size() != QFileInfo(f.canonicalFilePath()).size()) {
                    QFile::remove(copy);
                    QFile::copy(f.canonicalFilePath(), copy);
                }
            }
            continue;
        }
        if (!QFileInfo(target).exists() && !QFileInfo(target).isSymLink())
            QFile::link(e.absoluteFilePath(), target);
    }
}

// The system's firebird.conf with this program's settings after it. Written
// aside and renamed over the old one, and only when it changed: processes
// that start meanwhile never read half a file or none.
bool writeConf(const QString &sys, const QString &root, QString *error)
{
    QByteArray conf;
    QFile sysConf(sys + QStringLiteral("/firebird.conf"));
    if (sysConf.open(QIODevice::ReadOnly))
        conf = sysConf.readAll();
    conf += QStringLiteral("\n# Shared by the shell and its costs server.\nServerMode = SuperClassic\n"
                           "# A server that accepts and stays silent is given up after this many seconds.\n"
                           "ConnectionTimeout = %1\n")
                .arg(kConnectTimeoutSeconds)
                .toUtf8();
    const QString confPath = root + QStringLiteral("/firebird.conf");
    QFile current(confPath);
    if (current.open(QIODevice::ReadOnly) && current.readAll() == conf)
        return true;
    const QString aside = confPath + QStringLiteral(".new.") + QString::number(::getpid());
    QFile out(aside);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(conf) != conf.size() || !out.flush()
        || ::rename(QFile::encodeName(aside).constData(), QFile::encodeName(confPath).constData()) != 0) {
        QFile::remove(aside);
        if (error)
            *error = QStringLiteral("Não foi possível escrever %1.").arg(confPath);
        return false;
    }
    return true;
}

} // namespace

QString configRoot() { return qEnvironmentVariable("FIREBIRD"); }

bool prepare(QString *error)
{
    if (qEnvironmentVariableIsEmpty("FIREBIRD")) {
        const QString sys = systemRoot();
        if (sys.isEmpty()) {
            if (error)
                *error = QStringLiteral("Instalação do Firebird não encontrada.");
            return false;
        }
        const QString root = QDir::tempPath() + QStringLiteral("/fb-shared-") + userTag();
        linkRoot(sys, root);
        if (!writeConf(sys, root, error))
            return false;
        qputenv("FIREBIRD", QFile::encodeName(root));
    }
    if (qEnvironmentVariableIsEmpty("FIREBIRD_LOCK")) {
        const QString lock = QStringLiteral("/tmp/firebird");
        const QFileInfo fi(lock);
        if (!fi.exists() || !fi.isWritable()) {
            const QString own = QDir::tempPath() + QStringLiteral("/fb-lock-") + userTag();
            QDir().mkpath(own);
            qputenv("FIREBIRD_LOCK", QFile::encodeName(own));
        }
    }
    return true;
}

} // namespace FirebirdSharing
