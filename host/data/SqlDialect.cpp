#include "SqlDialect.h"

#include <QSqlDatabase>
#include <QSqlDriver>

namespace SqlDialects {

SqlEngine engineOf(const QSqlDatabase &db)
{
    const QSqlDriver *driver = db.driver();
    switch (driver ? driver->dbmsType() : QSqlDriver::UnknownDbms) {
    case QSqlDriver::SQLite: return SqlEngine::SQLite;
    case QSqlDriver::Interbase: return SqlEngine::Firebird;
    case QSqlDriver::Oracle: return SqlEngine::Oracle;
    case QSqlDriver::MSSqlServer: return SqlEngine::MsSql;
    case QSqlDriver::PostgreSQL: return SqlEngine::PostgreSql;
    default: break;
    }
    // The DBMS type is only known once a driver is open; fall back on its name.
    const QString name = db.driverName();
    if (name == QLatin1String("QSQLITE"))
        return SqlEngine::SQLite;
    if (name == QLatin1String("QIBASE"))
        return SqlEngine::Firebird;
    if (name == QLatin1String("QOCI"))
        return SqlEngine::Oracle;
    if (name == QLatin1String("QPSQL"))
        return SqlEngine::PostgreSql;
    return SqlEngine::Other;
}

SqlDialect dialectFor(SqlEngine engine)
{
    switch (engine) {
    case SqlEngine::Firebird: return SqlDialect::InterBase;
    case SqlEngine::Oracle: return SqlDialect::Oracle;
    case SqlEngine::MsSql: return SqlDialect::MsSql;
    default: return SqlDialect::Default;
    }
}

QString propertyName(SqlDialect dialect)
{
    switch (dialect) {
    case SqlDialect::Oracle: return QStringLiteral("SQL_ORACLE");
    case SqlDialect::MsSql: return QStringLiteral("SQL_MSSQL");
    case SqlDialect::InterBase: return QStringLiteral("SQL_IB");
    case SqlDialect::Default: break;
    }
    return QStringLiteral("SQL");
}

} // namespace SqlDialects
