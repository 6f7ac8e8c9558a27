#include "ParameterMemory.h"
#include "ShellNotices.h"
#include "core/Errors.h"
#include "core/SafeFile.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace {
QString memoryFile()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(folder);
    return QDir(folder).filePath(QStringLiteral("ultimos-parametros.ini"));
}

// A key or section name as QSettings writes it: letters, digits, '_', '-'
// and '.' as they are, anything else as %XX (%UXXXX beyond Latin-1).
QByteArray escapedKey(const QString &key)
{
    QByteArray out;
    for (const QChar c : key) {
        const char16_t u = c.unicode();
        if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_' || u == '-' || u == '.')
            out += char(u);
        else if (u <= 0xff)
            out += '%' + QByteArray::number(u, 16).toUpper().rightJustified(2, '0');
        else
            out += "%U" + QByteArray::number(u, 16).toUpper().rightJustified(4, '0');
    }
    return out;
}

// A value as one quoted text, which QSettings reads back as that text.
QByteArray quotedValue(const QVariant &v)
{
    const QString text = v.typeId() == QMetaType::Bool ? (v.toBool() ? QStringLiteral("true") : QStringLiteral("false"))
                                                       : v.toString();
    QByteArray out = "\"";
    for (const char c : text.toUtf8()) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default: out += c;
        }
    }
    return out + '"';
}

QMap<QString, QVariantMap> keptSets(const QString &file)
{
    QMap<QString, QVariantMap> sets;
    QSettings settings(file, QSettings::IniFormat);
    for (const QString &group : settings.childGroups()) {
        settings.beginGroup(group);
        QVariantMap values;
        for (const QString &key : settings.childKeys())
            values.insert(key, settings.value(key));
        settings.endGroup();
        sets.insert(group, values);
    }
    return sets;
}
} // namespace

namespace ParameterMemory {

QByteArray iniText(const QMap<QString, QVariantMap> &screens)
{
    QByteArray out;
    for (auto s = screens.cbegin(); s != screens.cend(); ++s) {
        out += '[' + escapedKey(s.key()) + "]\n";
        for (auto it = s->cbegin(); it != s->cend(); ++it)
            out += escapedKey(it.key()) + '=' + quotedValue(it.value()) + '\n';
        out += '\n';
    }
    return out;
}

bool save(const QString &screen, const QVariantMap &values)
{
    const QString file = memoryFile();
    QMap<QString, QVariantMap> sets = keptSets(file);
    sets.insert(screen, values);
    try {
        SafeFile::writeAll(file, iniText(sets));
        return true;
    } catch (const EHostError &e) {
        ShellNotices::instance().post(QStringLiteral("Os parâmetros deste relatório não foram guardados para "
                                                     "\"Repetir últimos parâmetros\" (os anteriores continuam "
                                                     "guardados). %1 Libere espaço no disco ou verifique a pasta.")
                                          .arg(e.text()));
        return false;
    }
}

QVariantMap load(const QString &screen)
{
    QSettings settings(memoryFile(), QSettings::IniFormat);
    settings.beginGroup(screen);
    QVariantMap values;
    for (const QString &key : settings.childKeys())
        values.insert(key, settings.value(key));
    return values;
}

} // namespace ParameterMemory
