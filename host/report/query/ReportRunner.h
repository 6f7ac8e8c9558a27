// Runs a definition's queries on a database connection: picks the dialect
// text for the connection's driver, binds the parameters by name (values are
// never spliced into the text) after converting them to the declared types,
// runs the one-row look-ups, then reads the rows of the first query with a
// forward-only cursor, handing them on one at a time. Database errors throw EHostError with the driver's text.
//
// The connection is used on the calling thread only; a report that runs on
// a worker thread opens a connection of its own there (ReportConnection.h,
// ReportRun.h).
#pragma once

#include "data/SqlDialect.h"
#include "report/model/ReportDefinition.h"

#include <QHash>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariant>
#include <functional>

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

    // A query's text for a dialect with positional markers, names receiving
    // the parameters in order. On SQL Server a text parameter longer than
    // SqlStatement::MsSqlShortText is cast to NVARCHAR(MAX).
    static QString statementText(const ReportQuery &q, const TParams &params, int dialect, SqlEngine engine,
                                 QStringList &names);
    // Throws EHostError (Portuguese, naming the limit) when a bound text is
    // longer than the engine takes; stream() calls it before any query runs.
    static void checkLimits(const TParams &bound, SqlEngine engine);

    // The declared parameters, with the values params gives them.
    static TParams boundParams(const ReportDefinition &def, const TParams &params);
    // The look-up queries' rows: "QUERY.FIELD" (upper case) -> the value of
    // the first row, "QUERY.FIELD*" -> the values of every row as texts (a
    // QStringList of at most LookupListMax, then "…").
    static constexpr int LookupListMax = 200;
    static QHash<QString, QVariant> lookups(const ReportDefinition &def, const TParams &bound, const QSqlDatabase &db,
                                            int dialect);

    // Where stream() hands its results: begin once, with the fields each row
    // holds and the look-ups, then row for every row (the vector is reused).
    struct Sink {
        std::function<void(const QStringList &fields, const QHash<QString, QVariant> &lookups)> begin;
        std::function<void(const QVector<QVariant> &row)> row;
    };
    // Runs every query with params; the rows of the first one keep the
    // fields in `fields` (all of them when empty). dialect -1 picks the text
    // by the connection; tests force one to run another dialect's text.
    static void stream(const ReportDefinition &def, const TParams &params, const QSqlDatabase &db,
                       const QStringList &fields, int dialect, const Sink &sink);

    // The fields the layout reads: columns, group fields, the chart's fields
    // and the row fields their templates name.
    static QStringList layoutFields(const ReportDefinition &def);
};
