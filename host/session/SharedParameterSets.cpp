#include "SharedParameterSets.h"
#include "core/Errors.h"
#include "data/HostDatabase.h"
#include "data/SqlStatement.h"

#include <QJsonDocument>
#include <QSqlQuery>
#include <QVariant>

namespace {

constexpr int MaxContent = 8000;

QSqlQuery prepared(const QString &sql)
{
    QSqlQuery q(HostDatabase::instance().database());
    if (!q.prepare(sql))
        throw EHostError(QStringLiteral("Os conjuntos de parâmetros compartilhados não puderam ser lidos: %1. Peça ao "
                                        "administrador que atualize o banco de dados (tabela CONJPARAM).")
                             .arg(SqlStatement::errorText(q.lastError())));
    return q;
}

void execute(QSqlQuery &q, const QString &what)
{
    if (!q.exec())
        throw EHostError(QStringLiteral("O banco de dados recusou %1: %2. Verifique se o seu usuário tem direito de "
                                        "gravar na tabela CONJPARAM.").arg(what, SqlStatement::errorText(q.lastError())));
}

// The maker of a shared set; empty when there is none of that name.
QString ownerOf(const ParameterSets::Place &place, const QString &name)
{
    QSqlQuery q = prepared(QStringLiteral("SELECT NMUSUARIO FROM CONJPARAM WHERE CDFILCENTXEV = ? AND CDTELA = ? "
                                          "AND UPPER(NMCONJUNTO) = UPPER(?)"));
    q.addBindValue(place.central);
    q.addBindValue(place.screen);
    q.addBindValue(name.trimmed());
    execute(q, QStringLiteral("ler os conjuntos compartilhados"));
    return q.next() ? q.value(0).toString() : QString();
}

// Throws unless the current user made the shared set name (which must exist).
void requireOwner(const ParameterSets::Place &place, const QString &name)
{
    const QString owner = ownerOf(place, name);
    if (owner.isEmpty())
        throw EHostError(QStringLiteral("Não há conjunto de parâmetros compartilhado chamado \"%1\" para esta central.")
                             .arg(name.trimmed()));
    if (owner != ParameterSets::currentUser())
        throw EHostError(QStringLiteral("O conjunto de parâmetros compartilhado \"%1\" foi criado por %2: só quem o "
                                        "criou pode alterá-lo, renomeá-lo ou apagá-lo. Salve as suas escolhas com "
                                        "outro nome.").arg(name.trimmed(), owner));
}

} // namespace

namespace SharedParameterSets {

QJsonObject toJson(const ParameterSet &set)
{
    QJsonObject content{{QStringLiteral("periodo"), set.period.text()},
                        {QStringLiteral("escolhas"), QJsonObject::fromVariantMap(set.choices)}};
    if (!set.schedule.isEmpty())
        content.insert(QStringLiteral("agenda"), set.schedule);
    return content;
}

ParameterSet fromJson(const QJsonObject &content)
{
    ParameterSet set;
    set.period = PeriodRule::fromText(content.value(QStringLiteral("periodo")).toString()).value_or(PeriodRule::previousMonth());
    set.choices = content.value(QStringLiteral("escolhas")).toObject().toVariantMap();
    set.schedule = content.value(QStringLiteral("agenda")).toString();
    return set;
}

QList<ParameterSet> list(const ParameterSets::Place &place)
{
    QSqlQuery q = prepared(QStringLiteral("SELECT NMCONJUNTO, DSCONJUNTO, NMUSUARIO, DTALTERACAO FROM CONJPARAM "
                                          "WHERE CDFILCENTXEV = ? AND CDTELA = ? ORDER BY NMCONJUNTO"));
    q.addBindValue(place.central);
    q.addBindValue(place.screen);
    execute(q, QStringLiteral("ler os conjuntos compartilhados"));
    QList<ParameterSet> sets;
    while (q.next()) {
        ParameterSet set = fromJson(QJsonDocument::fromJson(q.value(1).toString().toUtf8()).object());
        set.name = q.value(0).toString();
        set.scope = ParameterSet::Scope::Shared;
        set.owner = q.value(2).toString();
        set.changed = QDateTime::fromString(q.value(3).toString(), Qt::ISODate);
        set.changed.setTimeSpec(Qt::UTC);
        sets << set;
    }
    return sets;
}

void save(const ParameterSets::Place &place, const ParameterSet &set)
{
    const QString content = QString::fromUtf8(QJsonDocument(toJson(set)).toJson(QJsonDocument::Compact));
    if (content.size() > MaxContent)
        throw EHostError(QStringLiteral("As escolhas são longas demais para um conjunto compartilhado (%1 caracteres; "
                                        "o limite é %2). Salve-o como pessoal ou escolha menos serviços.")
                             .arg(content.size()).arg(MaxContent));
    const bool exists = !ownerOf(place, set.name).isEmpty();
    if (exists)
        requireOwner(place, set.name);
    QSqlQuery q = prepared(exists ? QStringLiteral("UPDATE CONJPARAM SET DSCONJUNTO = ?, DTALTERACAO = ?, NMCONJUNTO = ? "
                                                   "WHERE CDFILCENTXEV = ? AND CDTELA = ? AND UPPER(NMCONJUNTO) = UPPER(?)")
                                  : QStringLiteral("INSERT INTO CONJPARAM (DSCONJUNTO, DTALTERACAO, NMCONJUNTO, "
                                                   "CDFILCENTXEV, CDTELA, NMUSUARIO) VALUES (?, ?, ?, ?, ?, ?)"));
    q.addBindValue(content);
    q.addBindValue(set.changed.toUTC().toString(Qt::ISODate).left(19));
    q.addBindValue(set.name);
    q.addBindValue(place.central);
    q.addBindValue(place.screen);
    q.addBindValue(exists ? set.name : set.owner);
    execute(q, QStringLiteral("gravar o conjunto compartilhado \"%1\"").arg(set.name));
}

void remove(const ParameterSets::Place &place, const QString &name)
{
    requireOwner(place, name);
    QSqlQuery q = prepared(QStringLiteral("DELETE FROM CONJPARAM WHERE CDFILCENTXEV = ? AND CDTELA = ? "
                                          "AND UPPER(NMCONJUNTO) = UPPER(?) AND NMUSUARIO = ?"));
    q.addBindValue(place.central);
    q.addBindValue(place.screen);
    q.addBindValue(name.trimmed());
    q.addBindValue(ParameterSets::currentUser());
    execute(q, QStringLiteral("apagar o conjunto compartilhado \"%1\"").arg(name.trimmed()));
}

void rename(const ParameterSets::Place &place, const QString &name, const QString &newName)
{
    requireOwner(place, name);
    if (name.trimmed().compare(newName, Qt::CaseInsensitive) != 0 && !ownerOf(place, newName).isEmpty())
        throw EHostError(QStringLiteral("Já existe um conjunto de parâmetros compartilhado chamado \"%1\". Escolha "
                                        "outro nome.").arg(newName));
    QSqlQuery q = prepared(QStringLiteral("UPDATE CONJPARAM SET NMCONJUNTO = ? WHERE CDFILCENTXEV = ? AND CDTELA = ? "
                                          "AND UPPER(NMCONJUNTO) = UPPER(?) AND NMUSUARIO = ?"));
    q.addBindValue(newName);
    q.addBindValue(place.central);
    q.addBindValue(place.screen);
    q.addBindValue(name.trimmed());
    q.addBindValue(ParameterSets::currentUser());
    execute(q, QStringLiteral("renomear o conjunto compartilhado \"%1\"").arg(name.trimmed()));
}

} // namespace SharedParameterSets
