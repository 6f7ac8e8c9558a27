// Runs a definition's queries on a database connection: picks the dialect
// text for the connection's driver, binds the parameters by name (values are
// never spliced into the text) after converting them to the declared types,
// and collects the rows with a forward-only cursor. Database errors throw
// EHostError with the driver's text.
#pragma once

#include "ReportData.h"
#include "ReportDefinition.h"

#include <QSqlDatabase>

class ReportRunner {
public:
    // QIBASE -> SQL_IB, QOCI -> SQL_ORACLE, QODBC to SQL Server -> SQL_MSSQL,
    // anything else -> SQL.
    static int dialectOf(const QSqlDatabase &db);

    // A parameter list holding exactly the declared parameters, with their
    // types and defaults (null when none).
    static TParams declaredParams(const ReportDefinition &def);

    // The value bound for a parameter: its value converted to the type the
    // definition declares (a date given as text is read as dd/MM/yyyy or
    // ISO). Throws EHostError naming the parameter when it cannot be.
    static QVariant boundValue(const ReportParamDecl &decl, const TParam &param);

    // Runs every query with params; the rows of the first one keep the
    // fields in `fields` (all of them when empty). dialect -1 picks the text
    // by the connection; tests force one to run another dialect's text.
    static ReportData run(const ReportDefinition &def, const TParams &params, const QSqlDatabase &db,
                          const QStringList &fields = QStringList(), int dialect = -1);

    // The fields the layout reads: columns, group fields and {FIELD} names.
    static QStringList layoutFields(const ReportDefinition &def);
};
