// Who needs the report user on Firebird.
#include "FirebirdEngine.h"

#include <QSqlQuery>
#include <QVariant>

QString FirebirdEngine::privilegeOf(const QSqlDatabase &db) const
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT TRIM(CURRENT_USER), TRIM(CURRENT_ROLE), TRIM(RDB$OWNER_NAME) FROM RDB$RELATIONS "
                               "WHERE RDB$RELATION_NAME = 'FILIAL'"))
        || !q.next())
        return QString();
    const QString user = q.value(0).toString();
    if (user.compare(QLatin1String("SYSDBA"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("SYSDBA");
    if (q.value(1).toString().compare(QLatin1String("RDB$ADMIN"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("%1, com o papel RDB$ADMIN").arg(user);
    if (q.value(2).toString().compare(user, Qt::CaseInsensitive) == 0)
        return QStringLiteral("%1, dono das tabelas do banco").arg(user);
    return QString();
}
