// Databases made by older schema scripts, brought up to the present one.
#include "SqliteEngine.h"
#include "core/Errors.h"
#include "data/SqlStatement.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

// Search-index triggers of older schemas become the script's: those that
// called FOLD (no other program could write), and those that relied on
// OR IGNORE (a writer's own conflict clause overrode it). callsFold: some
// called FOLD, so INDICEPESQ lacks each index's table too.
QStringList outdatedIndexTriggers(const QSqlDatabase &db, bool &callsFold)
{
    QStringList old;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT name, sql LIKE '%FOLD(%' FROM sqlite_master WHERE type = 'trigger' "
                               "AND (sql LIKE '%FOLD(%' OR sql LIKE '%OR IGNORE INTO PESQPENDENTE%')")))
        return old;
    callsFold = false;
    while (q.next()) {
        old << q.value(0).toString();
        callsFold = callsFold || q.value(1).toBool();
    }
    if (old.isEmpty())
        return old;
    // Every trigger of an index goes, the one that only deleted too.
    if (!q.exec(QStringLiteral("SELECT T.name FROM sqlite_master T JOIN INDICEPESQ I ON T.name IN "
                               "(I.NMINDICE || '_AI', I.NMINDICE || '_AD', I.NMINDICE || '_AU', "
                               "I.NMINDICE || '_BI', I.NMINDICE || '_BU') WHERE T.type = 'trigger'")))
        return {};
    while (q.next())
        if (!old.contains(q.value(0).toString()))
            old << q.value(0).toString();
    return old;
}

} // namespace

void SqliteEngine::upgrade(const QSqlDatabase &db, const QString &schemaScript) const
{
    addWhenMissing(db, schemaScript,
                   QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'CONJPARAM'"),
                   QStringLiteral("CREATE TABLE CONJPARAM"));
    bool callsFold = false;
    const QStringList old = outdatedIndexTriggers(db, callsFold);
    if (old.isEmpty())
        return;
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return;
    try {
        if (callsFold)
            for (const char *sql : {"ALTER TABLE INDICEPESQ ADD COLUMN NMTABELA VARCHAR(30)",
                                    "UPDATE INDICEPESQ SET NMTABELA = (SELECT tbl_name FROM sqlite_master WHERE "
                                    "type = 'trigger' AND name = INDICEPESQ.NMINDICE || '_AI')"})
                if (!q.exec(QLatin1String(sql)))
                    throw EHostError(SqlStatement::errorText(q.lastError()));
        for (const QString &name : old)
            if (!q.exec(QStringLiteral("DROP TRIGGER \"%1\"").arg(name)))
                throw EHostError(SqlStatement::errorText(q.lastError()));
        runStatementsHolding(db, schemaScript,
                             callsFold ? QStringList{QStringLiteral("CREATE TABLE PESQPENDENTE"), QStringLiteral("CREATE TRIGGER")}
                                       : QStringList{QStringLiteral("CREATE TRIGGER")});
        if (!q.exec(QStringLiteral("COMMIT")))
            throw EHostError(SqlStatement::errorText(q.lastError()));
    } catch (const EHostError &) {
        // A database this user may not change keeps its old triggers.
        q.exec(QStringLiteral("ROLLBACK"));
    }
}
