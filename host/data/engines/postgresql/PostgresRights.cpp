// The report role on PostgreSQL: how it is made and who needs it.
#include "PostgresEngine.h"
#include "core/Errors.h"
#include "data/SqlStatement.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

void PostgresEngine::makeReportRole(const QSqlDatabase &db, const QString &script) const
{
    // One exec: the server runs the script's statements as one transaction,
    // so a user without the rights leaves nothing half made.
    QSqlQuery q(db);
    if (!q.exec(script))
        throw EHostError(SqlStatement::errorText(q.lastError()));
}

QString PostgresEngine::privilegeOf(const QSqlDatabase &db) const
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral(
            "SELECT current_user, r.rolsuper, pg_has_role(current_user, c.relowner, 'MEMBER'), "
            "pg_has_role(current_user, 'pg_read_server_files', 'MEMBER') "
            "OR pg_has_role(current_user, 'pg_signal_backend', 'MEMBER') "
            "OR pg_has_role(current_user, 'pg_execute_server_program', 'MEMBER') "
            "FROM pg_roles r, pg_class c WHERE r.rolname = current_user AND c.oid = to_regclass('filial')"))
        || !q.next())
        return QString();
    const QString user = q.value(0).toString();
    if (q.value(1).toBool())
        return QStringLiteral("o superusuário %1 do PostgreSQL").arg(user);
    if (q.value(2).toBool())
        return QStringLiteral("%1, dono das tabelas do banco").arg(user);
    if (q.value(3).toBool())
        return QStringLiteral("%1, membro de um papel que lê arquivos do servidor ou encerra sessões").arg(user);
    return QString();
}
