#include "FirebirdSharing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

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
        QDir().mkpath(root);
        // Everything of the system's root but firebird.conf, by symbolic link;
        // but intl/ as a real folder with copies: the character-set module
        // is refused when loaded through a link, and WIN1252 goes missing.
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
        QByteArray conf;
        QFile sysConf(sys + QStringLiteral("/firebird.conf"));
        if (sysConf.open(QIODevice::ReadOnly))
            conf = sysConf.readAll();
        conf += "\n# Shared by the shell and its costs server.\nServerMode = SuperClassic\n";
        const QString confPath = root + QStringLiteral("/firebird.conf");
        QFile out(confPath + QStringLiteral(".new"));
        if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(conf) != conf.size()) {
            if (error)
                *error = QStringLiteral("Não foi possível escrever %1.").arg(confPath);
            return false;
        }
        out.close();
        QFile::remove(confPath);
        QFile::rename(confPath + QStringLiteral(".new"), confPath);
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
