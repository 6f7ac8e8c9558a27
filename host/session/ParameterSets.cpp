#include "ParameterSets.h"
#include "SharedParameterSets.h"
#include "core/Errors.h"
#include "core/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <pwd.h>
#include <unistd.h>

namespace {

using Scope = ParameterSet::Scope;

QString scopeWord(Scope scope) { return scope == Scope::Shared ? QStringLiteral("compartilhado") : QStringLiteral("pessoal"); }

// One screen's personal sets as the file keeps them: {"XEV01700": [set, ...]}.
QJsonObject personalDocument()
{
    QFile file(ParameterSets::personalFile());
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        throw EHostError(QStringLiteral("Não foi possível ler os conjuntos de parâmetros pessoais em %1: %2. "
                                        "Verifique as permissões do arquivo.").arg(file.fileName(), file.errorString()));
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        throw EHostError(QStringLiteral("O arquivo de conjuntos de parâmetros pessoais %1 está danificado (%2). "
                                        "Renomeie-o para começar de novo; os conjuntos compartilhados continuam.")
                             .arg(file.fileName(), error.errorString()));
    return doc.object();
}

void writePersonal(const QJsonObject &doc)
{
    QDir().mkpath(QFileInfo(ParameterSets::personalFile()).absolutePath());
    try {
        SafeFile::writeAll(ParameterSets::personalFile(), QJsonDocument(doc).toJson(QJsonDocument::Indented));
    } catch (const EHostError &e) {
        throw EHostError(QStringLiteral("O conjunto de parâmetros não foi gravado (os anteriores continuam como "
                                        "estavam). %1 Libere espaço no disco ou verifique a pasta.").arg(e.text()));
    }
}

QList<ParameterSet> personalSets(const QString &screen)
{
    QList<ParameterSet> sets;
    for (const QJsonValue &v : personalDocument().value(screen).toArray()) {
        ParameterSet set = SharedParameterSets::fromJson(v.toObject().value(QStringLiteral("conteudo")).toObject());
        set.name = v.toObject().value(QStringLiteral("nome")).toString();
        set.owner = ParameterSets::currentUser();
        set.changed = QDateTime::fromString(v.toObject().value(QStringLiteral("alterado")).toString(), Qt::ISODate);
        sets << set;
    }
    return sets;
}

void writePersonalSets(const QString &screen, const QList<ParameterSet> &sets)
{
    QJsonArray array;
    for (const ParameterSet &s : sets)
        array.append(QJsonObject{{QStringLiteral("nome"), s.name},
                                 {QStringLiteral("alterado"), s.changed.toString(Qt::ISODate)},
                                 {QStringLiteral("conteudo"), SharedParameterSets::toJson(s)}});
    QJsonObject doc = personalDocument();
    doc.insert(screen, array);
    writePersonal(doc);
}

qsizetype indexOf(const QList<ParameterSet> &sets, const QString &name)
{
    for (qsizetype i = 0; i < sets.size(); ++i)
        if (sets[i].name.compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

EHostError notFound(const QString &name, Scope scope)
{
    return EHostError(QStringLiteral("Não há conjunto de parâmetros %1 chamado \"%2\". Confira o nome em "
                                     "\"Abrir parâmetros…\".").arg(scopeWord(scope), name));
}

QString checkedName(const QString &name)
{
    const QString n = name.simplified();
    if (n.isEmpty() || n.size() > 60)
        throw EHostError(QStringLiteral("O nome do conjunto de parâmetros deve ter de 1 a 60 caracteres."));
    return n;
}

} // namespace

namespace ParameterSets {

QString personalFile()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("conjuntos-de-parametros.json"));
}

QString currentUser()
{
    if (const passwd *pw = getpwuid(geteuid()))
        return QString::fromLocal8Bit(pw->pw_name);
    return QString::number(geteuid());
}

QList<ParameterSet> list(const Place &place)
{
    return personalSets(place.screen) + SharedParameterSets::list(place);
}

ParameterSet find(const Place &place, const QString &name)
{
    const QList<ParameterSet> sets = list(place);
    const qsizetype i = indexOf(sets, name);
    if (i < 0)
        throw EHostError(QStringLiteral("Não há conjunto de parâmetros chamado \"%1\" para esta central. Confira o "
                                        "nome em \"Abrir parâmetros…\".").arg(name.trimmed()));
    return sets[i];
}

void save(const Place &place, ParameterSet set)
{
    set.name = checkedName(set.name);
    set.owner = currentUser();
    set.changed = QDateTime::currentDateTimeUtc();
    if (set.scope == Scope::Shared) {
        SharedParameterSets::save(place, set);
        return;
    }
    QList<ParameterSet> sets = personalSets(place.screen);
    const qsizetype i = indexOf(sets, set.name);
    if (i >= 0)
        sets[i] = set;
    else
        sets << set;
    writePersonalSets(place.screen, sets);
}

void remove(const Place &place, const QString &name, Scope scope)
{
    if (scope == Scope::Shared) {
        SharedParameterSets::remove(place, name);
        return;
    }
    QList<ParameterSet> sets = personalSets(place.screen);
    const qsizetype i = indexOf(sets, name);
    if (i < 0)
        throw notFound(name, scope);
    sets.removeAt(i);
    writePersonalSets(place.screen, sets);
}

void rename(const Place &place, const QString &name, Scope scope, const QString &newName)
{
    const QString target = checkedName(newName);
    if (scope == Scope::Shared) {
        SharedParameterSets::rename(place, name, target);
        return;
    }
    QList<ParameterSet> sets = personalSets(place.screen);
    const qsizetype i = indexOf(sets, name);
    if (i < 0)
        throw notFound(name, scope);
    const qsizetype clash = indexOf(sets, target);
    if (clash >= 0 && clash != i)
        throw EHostError(QStringLiteral("Já existe um conjunto de parâmetros pessoal chamado \"%1\". Escolha outro "
                                        "nome ou apague o existente.").arg(target));
    sets[i].name = target;
    writePersonalSets(place.screen, sets);
}

} // namespace ParameterSets
