#include "FirebirdSharing.h"
#include "core/PrivateFolder.h"
#include "core/Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <functional>
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

// Puts a file in place under its name in one step: written (or linked)
// beside it under a name of this process, then renamed over it, so that
// processes starting meanwhile never see half a file or none.
bool replaceWith(const QString &target, const std::function<bool(const QString &aside)> &make)
{
    const QString aside = target + QStringLiteral(".new.") + QString::number(::getpid());
    QFile::remove(aside);
    if (!make(aside)
        || ::rename(QFile::encodeName(aside).constData(), QFile::encodeName(target).constData()) != 0) {
        QFile::remove(aside);
        return false;
    }
    return true;
}

// What is at path, whatever it is (a folder too, with what it holds).
void removeEntry(const QString &path)
{
    const QFileInfo entry(path);
    if (entry.isDir() && !entry.isSymLink())
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
}

// target as a link to source; anything else there goes.
bool linkTo(const QString &source, const QString &target)
{
    const QFileInfo current(target);
    if (current.isSymLink() && current.symLinkTarget() == source)
        return true;
    if (current.isDir() && !current.isSymLink())
        QDir(target).removeRecursively();
    return replaceWith(target, [&](const QString &aside) { return QFile::link(source, aside); });
}

bool sameBytes(const QString &a, const QString &b)
{
    QFile fa(a), fb(b);
    return fa.size() == fb.size() && fa.open(QIODevice::ReadOnly) && fb.open(QIODevice::ReadOnly)
        && fa.readAll() == fb.readAll();
}

// intl/ as a real folder holding copies: the character-set module is refused
// when loaded through a link, and WIN1252 goes missing.
bool copyIntl(const QString &sys, const QString &target)
{
    const QFileInfo current(target);
    if (current.isSymLink() || (current.exists() && !current.isDir()))
        QFile::remove(target);
    QDir().mkpath(target);
    QDir dir(target);
    const QFileInfoList files = QDir(sys).entryInfoList(QDir::Files);
    QStringList names;
    for (const QFileInfo &f : files) {
        names << f.fileName();
        const QString copy = dir.filePath(f.fileName());
        if (!QFileInfo(copy).isSymLink() && sameBytes(copy, f.canonicalFilePath()))
            continue;
        if (!replaceWith(copy, [&](const QString &aside) { return QFile::copy(f.canonicalFilePath(), aside); }))
            return false;
    }
    for (const QString &extra : dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden))
        if (!names.contains(extra) && !extra.contains(QLatin1String(".new.")))
            removeEntry(dir.filePath(extra));
    return true;
}

// The system's firebird.conf with this program's settings after it.
QByteArray conf(const QString &sys)
{
    QByteArray text;
    QFile sysConf(sys + QStringLiteral("/firebird.conf"));
    if (sysConf.open(QIODevice::ReadOnly))
        text = sysConf.readAll();
    return text + QStringLiteral("\n# Shared by the shell and its costs server.\nServerMode = SuperClassic\n"
                                 "# A server that accepts and stays silent is given up after this many seconds.\n"
                                 "ConnectionTimeout = %1\n")
                      .arg(kConnectTimeoutSeconds)
                      .toUtf8();
}

bool writeConf(const QString &sys, const QString &root)
{
    const QByteArray wanted = conf(sys);
    const QString path = root + QStringLiteral("/firebird.conf");
    QFile current(path);
    if (!QFileInfo(path).isSymLink() && current.open(QIODevice::ReadOnly) && current.readAll() == wanted)
        return true;
    return replaceWith(path, [&](const QString &aside) {
        QFile out(aside);
        return out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(wanted) == wanted.size() && out.flush();
    });
}

// The root made again from the system's: links to its entries, copies of
// intl/, this program's firebird.conf; whatever else is there goes. Nothing
// found in it is trusted, even in a folder of this user.
bool buildRoot(const QString &sys, const QString &root)
{
    QStringList names{QStringLiteral("firebird.conf")};
    bool ok = true;
    const QFileInfoList entries = QDir(sys).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
    for (const QFileInfo &e : entries) {
        const QString name = e.fileName();
        if (name == QLatin1String("firebird.conf"))
            continue;
        names << name;
        const QString target = root + QLatin1Char('/') + name;
        ok = (name == QLatin1String("intl") ? copyIntl(e.absoluteFilePath(), target)
                                            : linkTo(e.absoluteFilePath(), target))
            && ok;
    }
    ok = writeConf(sys, root) && ok;
    const QDir dir(root);
    for (const QString &extra : dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden))
        if (!names.contains(extra) && !extra.contains(QLatin1String(".new.")))
            removeEntry(dir.filePath(extra));
    return ok;
}

} // namespace

QString configRoot() { return qEnvironmentVariable("FIREBIRD"); }

bool prepare(QString *error)
{
    try {
        if (qEnvironmentVariableIsEmpty("FIREBIRD")) {
            const QString sys = systemRoot();
            if (sys.isEmpty())
                throw EHostError(QStringLiteral("Instalação do Firebird não encontrada: instale o pacote do Firebird 3 "
                                                "(firebird3.0-server-core) ou indique a pasta dela na variável FIREBIRD."));
            const QString root = PrivateFolder::make(QStringLiteral("firebird"));
            if (!buildRoot(sys, root))
                throw EHostError(QStringLiteral("Não foi possível preparar a configuração do Firebird em %1.").arg(root));
            qputenv("FIREBIRD", QFile::encodeName(root));
        }
        if (qEnvironmentVariableIsEmpty("FIREBIRD_LOCK"))
            qputenv("FIREBIRD_LOCK", QFile::encodeName(PrivateFolder::make(QStringLiteral("firebird-lock"))));
    } catch (const EHostError &e) {
        if (error)
            *error = e.text();
        return false;
    }
    return true;
}

} // namespace FirebirdSharing
