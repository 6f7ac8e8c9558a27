// Runs a definition's queries on a database connection: picks the text of
// the connection's dialect (SqlDialect::statementProperty), binds the
// parameters by name (values are never spliced into the text) after
// converting them to the declared types, as the engine takes them
// (SqlDialect::bind), runs the one-row look-ups, then reads the rows of the
// first query with a forward-only cursor, handing them on one at a time.
// Database errors throw EHostError in the user's words (SqlDialect::failure),
// with at most 100 characters of the engine's.
//
// The connection is used on the calling thread only; a report that runs on
// a worker thread opens a connection of its own there (ReportConnection.h,
// ReportRun.h).
#pragma once

#include "report/model/ReportDefinition.h"

#include <QHash>
#include <QSqlDatabase>
#include <QStringList>
#include <QVariant>
#include <functional>

class SqlDialect;

class ReportRunner {
public:
    // A parameter list holding exactly the declared parameters, with their
    // types and defaults (null when none).
    static TParams declaredParams(const ReportDefinition &def);

    // A parameter's value converted to the type the definition declares (a
    // date given as text is read as dd/MM/yyyy or ISO), typed so. Throws
    // EHostError naming the parameter when it cannot be.
    static TParam typedValue(const ReportParamDecl &decl, const TParam &param);
    // What is bound for it on an engine (typedValue as the dialect binds it).
    static QVariant boundValue(const ReportParamDecl &decl, const TParam &param, const SqlDialect &dialect);

    // A query's text in a dialect with positional markers (the dialect's
    // plain ones), names receiving the parameters in order.
    static QString statementText(const ReportQuery &q, const TParams &params, const SqlDialect &dialect,
                                 QStringList &names);
    // Throws EHostError (Portuguese, naming the limit) when a bound text is
    // longer than the engine takes; stream() calls it before any query runs.
    static void checkLimits(const TParams &bound, const SqlDialect &dialect);

    // The declared parameters, with the values params gives them.
    static TParams boundParams(const ReportDefinition &def, const TParams &params);
    // The look-up queries' rows: "QUERY.FIELD" (upper case) -> the value of
    // the first row, "QUERY.FIELD*" -> the values of every row as texts (a
    // QStringList of at most LookupListMax, then "…").
    static constexpr int LookupListMax = 200;
    static QHash<QString, QVariant> lookups(const ReportDefinition &def, const TParams &bound, const QSqlDatabase &db);

    // Where stream() hands its results: begin once, with the fields each row
    // holds and the look-ups, then row for every row (the vector is reused).
    struct Sink {
        std::function<void(const QStringList &fields, const QHash<QString, QVariant> &lookups)> begin;
        std::function<void(const QVector<QVariant> &row)> row;
    };
    // Runs every query with params in the dialect of db (SqlDialect::of);
    // the rows of the first one keep the fields in `fields` (all of them when
    // empty).
    static void stream(const ReportDefinition &def, const TParams &params, const QSqlDatabase &db,
                       const QStringList &fields, const Sink &sink);

    // The fields the layout reads: columns, group fields, the chart's fields
    // and the row fields their templates name.
    static QStringList layoutFields(const ReportDefinition &def);

private:
    static QVariant convertedValue(const ReportParamDecl &decl, const TParam &param);
};
