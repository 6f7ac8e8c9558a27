#include "ReportLibrary.h"
#include "DefinitionParser.h"
#include "core/Errors.h"
#include "core/InstallPaths.h"
#include "core/SafeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>

namespace {
// A problem as a list shows it: the start of its text.
QString shortened(const QString &text)
{
    constexpr int max = 100;
    return text.size() <= max ? text : text.left(max - 1) + QChar(0x2026);
}

QString g_standardRoot;
QString g_userRoot;
const char *const kExt = "*.rel";

QList<ReportEntry> entriesIn(const QString &dir, bool standard)
{
    QList<ReportEntry> out;
    const QFileInfoList files = QDir(dir).entryInfoList({QString::fromLatin1(kExt)}, QDir::Files, QDir::Name);
    for (const QFileInfo &fi : files) {
        if (fi.size() == 0)
            continue;
        ReportEntry e;
        e.path = fi.absoluteFilePath();
        e.standard = standard;
        try {
            e.title = DefinitionParser::readTitle(e.path);
        } catch (const EHostError &error) {
            e.problem = error.text();
            e.title = QStringLiteral("Definição com erro: %1").arg(shortened(e.problem));
        }
        out.append(e);
    }
    return out;
}
} // namespace

QString ReportLibrary::standardRoot()
{
    if (!g_standardRoot.isEmpty())
        return g_standardRoot;
    const QString env = qEnvironmentVariable("HOST_REPORTS_DIR");
    if (!env.isEmpty())
        return QDir(env).absolutePath();
    const QString appDir = InstallPaths::dataDir();
    const QString beside = QDir(appDir).absoluteFilePath(QStringLiteral("reports"));
    if (QFileInfo(beside).isDir())
        return beside;
    const QString above = QDir::cleanPath(appDir + QStringLiteral("/../reports"));
    if (QFileInfo(above).isDir())
        return above;
    return beside;
}

void ReportLibrary::setStandardRoot(const QString &dir) { g_standardRoot = dir.isEmpty() ? QString() : QDir(dir).absolutePath(); }

QString ReportLibrary::userRoot()
{
    if (!g_userRoot.isEmpty())
        return g_userRoot;
    const QString env = qEnvironmentVariable("HOST_USER_REPORTS_DIR");
    if (!env.isEmpty())
        return QDir(env).absolutePath();
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/reports");
}

void ReportLibrary::setUserRoot(const QString &dir) { g_userRoot = dir.isEmpty() ? QString() : QDir(dir).absolutePath(); }

QString ReportLibrary::standardDir(const QString &code) { return QDir(standardRoot()).absoluteFilePath(code); }

QString ReportLibrary::userDir(const QString &code) { return QDir(userRoot()).absoluteFilePath(code); }

QList<ReportEntry> ReportLibrary::list(const QString &code)
{
    QList<ReportEntry> out = entriesIn(standardDir(code), true);
    QList<ReportEntry> user = entriesIn(userDir(code), false);
    std::stable_sort(user.begin(), user.end(), [](const ReportEntry &a, const ReportEntry &b) {
        return QString::localeAwareCompare(a.title, b.title) < 0;
    });
    return out + user;
}

QString ReportLibrary::userPathFor(const QString &code, const QString &title)
{
    return QDir(userDir(code)).absoluteFilePath(fileNameFor(title) + QStringLiteral(".rel"));
}

QString ReportLibrary::fileNameFor(const QString &title)
{
    // File names from titles: accents dropped, anything else but letters and
    // digits becomes '-', so the name is valid on every file system.
    const QString decomposed = title.normalized(QString::NormalizationForm_D);
    QString slug;
    for (const QChar c : decomposed) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        if (c.unicode() < 128 && c.isLetterOrNumber())
            slug += c.toLower();
        else if (!slug.endsWith(QLatin1Char('-')))
            slug += QLatin1Char('-');
    }
    while (slug.startsWith(QLatin1Char('-')))
        slug.remove(0, 1);
    slug = slug.left(80);
    while (slug.endsWith(QLatin1Char('-')))
        slug.chop(1);
    if (slug.isEmpty())
        slug = QStringLiteral("relatorio");
    return slug;
}

namespace {
bool sameTitle(const QString &a, const QString &b) { return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0; }
}

QString ReportLibrary::userPathOfTitle(const QString &code, const QString &title)
{
    for (const ReportEntry &e : entriesIn(userDir(code), false))
        if (e.problem.isEmpty() && sameTitle(e.title, title))
            return e.path;
    return QString();
}

bool ReportLibrary::isStandardTitle(const QString &code, const QString &title)
{
    for (const ReportEntry &e : entriesIn(standardDir(code), true))
        if (e.problem.isEmpty() && sameTitle(e.title, title))
            return true;
    return false;
}

QString ReportLibrary::writeNewUserFile(const QString &code, const QString &title, const QByteArray &text)
{
    const QString first = userPathFor(code, title);
    const QString dir = QFileInfo(first).absolutePath();
    const QString base = QFileInfo(first).completeBaseName();
    SafeFile file(first);
    file.write(text);
    for (int n = 1; n < 10000; ++n) {
        const QString path = n == 1 ? first : QDir(dir).absoluteFilePath(QStringLiteral("%1-%2.rel").arg(base).arg(n));
        file.retarget(path);
        if (file.commitNew())
            return path;
    }
    throw EHostError(SafeFile::failureText(first, QStringLiteral("há arquivos demais com esse nome na pasta")));
}

bool ReportLibrary::isStandard(const QString &path)
{
    const QString root = QDir::cleanPath(QFileInfo(standardRoot()).absoluteFilePath()) + QLatin1Char('/');
    const QString p = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    return p.startsWith(root);
}
