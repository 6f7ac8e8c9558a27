// Which of a query's four statement texts runs on a connection (the dialect),
// and which SQL engine the connection speaks (for the statements the data
// layer writes itself: paging, row filters, parameter casts).
//
// Rule: Firebird/InterBase -> SQL_IB, Oracle -> SQL_ORACLE, SQL Server (over
// ODBC) -> SQL_MSSQL, everything else (SQLite, PostgreSQL, ...) -> SQL.
// The two are kept apart because tests run the Oracle and SQL Server texts on
// SQLite: the text dialect can be overridden, the engine never is.
#pragma once

#include <QString>

class QSqlDatabase;

enum class SqlDialect { Default, Oracle, MsSql, InterBase };
enum class SqlEngine { SQLite, Firebird, Oracle, MsSql, PostgreSql, Other };

namespace SqlDialects {

// The engine behind an open connection (from the driver's DBMS type).
SqlEngine engineOf(const QSqlDatabase &db);
// The statement text that an engine runs.
SqlDialect dialectFor(SqlEngine engine);
// "SQL", "SQL_ORACLE", "SQL_MSSQL", "SQL_IB": the property holding that text.
QString propertyName(SqlDialect dialect);

} // namespace SqlDialects
