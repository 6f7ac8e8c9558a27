// Databases made by older schema scripts, brought up to the present one.
#include "SqliteEngine.h"
#include "core/Errors.h"
#include "data/SqlStatement.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

// The triggers of the search indexes when they still call FOLD; none else.
QStringList foldTriggers(const QSqlDatabase &db)
{
    QStringList old;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'trigger' AND sql LIKE '%FOLD(%'"))
        || !q.next())
        return old;
    q.finish();
    // Every trigger of an index goes, the one that only deleted too.
    if (!q.exec(QStringLiteral("SELECT T.name FROM sqlite_master T JOIN INDICEPESQ I ON T.name IN "
                               "(I.NMINDICE || '_AI', I.NMINDICE || '_AD', I.NMINDICE || '_AU') "
                               "WHERE T.type = 'trigger'")))
        return old;
    while (q.next())
        old << q.value(0).toString();
    return old;
}

} // namespace

void SqliteEngine::upgrade(const QSqlDatabase &db, const QString &schemaScript) const
{
    const QStringList old = foldTriggers(db);
    if (old.isEmpty())
        return;
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return;
    try {
        for (const char *sql : {"ALTER TABLE INDICEPESQ ADD COLUMN NMTABELA VARCHAR(30)",
                                "UPDATE INDICEPESQ SET NMTABELA = (SELECT tbl_name FROM sqlite_master WHERE "
                                "type = 'trigger' AND name = INDICEPESQ.NMINDICE || '_AI')"})
            if (!q.exec(QLatin1String(sql)))
                throw EHostError(SqlStatement::errorText(q.lastError()));
        for (const QString &name : old)
            if (!q.exec(QStringLiteral("DROP TRIGGER \"%1\"").arg(name)))
                throw EHostError(SqlStatement::errorText(q.lastError()));
        runStatementsHolding(db, schemaScript, {QStringLiteral("CREATE TABLE PESQPENDENTE"), QStringLiteral("CREATE TRIGGER")});
        if (!q.exec(QStringLiteral("COMMIT")))
            throw EHostError(SqlStatement::errorText(q.lastError()));
    } catch (const EHostError &) {
        // A database this user may not change keeps its old triggers.
        q.exec(QStringLiteral("ROLLBACK"));
    }
}
