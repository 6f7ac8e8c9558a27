// What the statements the host writes look like on one engine, and how values
// and failures cross into and out of it: everything that differs between
// engines above the client library. Each engine owns one (DatabaseEngine::
// dialect()); the layers above ask it, or its capability flags (has()), and
// never which engine they run on.
//
// The dialect of a connection (of()) is its engine's, unless another was put
// in its place for that connection (use(): tests run the Oracle and SQL
// Server texts on SQLite that way). A second connection opened to the same
// database (DatabaseEngine::openAgain) takes the same dialect, attach()ed to it.
//
// The base class holds what most engines share (LIMIT/OFFSET paging, bare
// markers, values bound as Qt gives them); engines override what differs.
#pragma once

#include "DatabaseFailure.h"
#include "data/TParam.h"

#include <QString>
#include <QStringList>
#include <QVariant>

class QSqlDatabase;
class QSqlError;

class SqlDialect {
public:
    // What an engine can do beyond plain SQL, asked as QSqlDriver::hasFeature is.
    enum class Feature {
        // A full-text index narrows a filter's rows (searchIndexTerm()).
        SearchIndexNarrowing,
        // Writes are queued for the search index and folded in before a search.
        SearchIndexCatchUp,
        // A filter few rows match reads in storage order and sorts, instead of
        // walking the order's index (sparseFilterProbe() and the sorted texts).
        SortedScanForSparseFilters,
        // A filter on a column that is not text fails until the column is cast.
        FilterNeedsTextCast,
        // A statement whose parameter types cannot be inferred is prepared
        // again with each marker typed (typedMarker()).
        TypedMarkersOnRetry,
    };
    // How a marker stands for its parameter: statements the data layer runs
    // get Typed ones (an engine that needs them casts every marker); report
    // definitions' own texts get Plain ones, cast only where the engine could
    // not take the value otherwise.
    enum class Markers { Typed, Plain };

    virtual ~SqlDialect() = default;

    // The dialect of an open connection (see above); throws EHostError for a
    // connection no engine serves.
    static const SqlDialect &of(const QSqlDatabase &db);
    // Puts dialect in place of the engine's for the connection named
    // connectionName (nullptr: the engine's again). The dialect must outlive
    // that use.
    static void use(const QString &connectionName, const SqlDialect *dialect);
    // The dialect put in place for a connection, nullptr when none was.
    static const SqlDialect *replacement(const QString &connectionName);

    // For messages and tests: "SQLite", "Firebird", ...
    virtual QString name() const = 0;
    // Which of a query's statement texts this dialect runs: "SQL" (the
    // default), "SQL_IB", "SQL_ORACLE", "SQL_MSSQL".
    virtual QString statementProperty() const { return QStringLiteral("SQL"); }
    virtual bool has(Feature) const { return false; }
    // Called when a connection takes this dialect in place of its engine's
    // (use(), openAgain()): registers what its texts need there.
    virtual void attach(const QSqlDatabase &) const {}

    // Statements -------------------------------------------------------

    // The marker for a parameter (its value may be null, or the parameter missing).
    virtual QString marker(const TParam *param, Markers kind) const;
    // The marker for a parameter whose type the engine could not infer.
    virtual QString typedMarker(const TParam *param) const;
    // Whether a failed prepare asks for typedMarker()s (TypedMarkersOnRetry).
    virtual bool wantsTypedMarkers(const QSqlError &) const { return false; }
    // The text that runs, once the markers are in (a dialect of the tests
    // rewrites what its stand-in routines need).
    virtual QString finalText(const QString &text) const { return text; }

    // A statement's text as a derived table's, keeping its ORDER BY inside
    // (items: the clause's items; text: the whole statement).
    virtual QString orderedInside(const QString &body, const QStringList &items, const QString &text) const;
    // One page of an ordered statement: limit and offset are parameter names;
    // outerOrder tells whether the statement ends in an ORDER BY of its own.
    virtual QString page(const QString &ordered, bool outerOrder, const QString &limit, const QString &offset) const;
    // The condition that filter parameter param puts on column of Q__: the
    // text occurs in (prefix: starts) the value, case and accents aside.
    // castToText: the column may not be text (FilterNeedsTextCast).
    virtual QString filterTerm(const QString &column, const QString &param, bool prefix, bool castToText) const = 0;
    // The filter parameter's value for a text the user typed.
    virtual QString filterValue(const QString &text, bool prefix) const = 0;
    // The first rows (as many as parameter rows holds) of an ordered statement.
    virtual QString firstRows(const QString &ordered, const QString &rows) const;
    // A query that returns a row when the table exists; "" when the dialect cannot tell.
    virtual QString tableExistsQuery(const QString &) const { return QString(); }
    // SearchIndexNarrowing and search tables: the value a search index is
    // asked with for a text typed over columns; "" when no index can serve it.
    virtual QString searchIndexValue(const QString &, const QStringList &) const { return QString(); }
    // SearchIndexNarrowing: the condition that Q__.key is a key of the rows
    // of the index table matching parameter match.
    virtual QString searchIndexTerm(const QString &, const QString &, const QString &) const { return QString(); }
    // SortedScanForSparseFilters: a query that returns a row when a column
    // named as parameter column holds leads an ascending index of some table.
    virtual QString leadingIndexQuery(const QString &) const { return QString(); }

    // Values -----------------------------------------------------------

    // What is bound for a parameter: its value as this engine compares it
    // (dates and date-times as the engine keeps them), a typed NULL for a
    // null value or a missing parameter. Throws EHostError, naming the
    // parameter, for a text longer than the engine takes (checkText()).
    QVariant bind(const TParam *param, Markers kind) const;
    // Throws EHostError when a text bound through a marker of that kind is
    // longer than this engine takes.
    virtual void checkText(const QString &name, const QString &text, Markers kind) const;
    // A value of a date or date-time parameter as bound.
    virtual QVariant dateValue(const QDate &date) const { return date; }
    virtual QVariant dateTimeValue(const QDateTime &dateTime) const { return dateTime; }
    // A typed NULL for a parameter of type.
    virtual QVariant nullValue(TParam::DataType type) const;

    // Failures ---------------------------------------------------------

    // What kind of failure error is, with the engine's words (see DatabaseFailure).
    virtual DatabaseFailure failure(const QSqlDatabase &db, const QSqlError &error) const;

    // Writing many rows ------------------------------------------------

    // How many values one insert statement may carry.
    virtual int valuesPerInsert() const { return 1000; }
    // An insert of rows rows of columns into table, markers in row order.
    virtual QString insertRows(const QString &table, const QStringList &columns, int rows) const;

    // The type a parameter's value is cast to where a type is needed.
    static TParam::DataType valueType(const TParam *param);

protected:
    // For checkText(): the error that a text of length characters bound as
    // parameter name is longer than this engine takes (limit characters, or
    // limit bytes with inBytes), in the user's words.
    QString textTooLong(const QString &name, int length, int limit, bool inBytes) const;
    // A LIKE pattern (escape \\) finding text inside a value (prefix: at its
    // start): %, _ and \\ typed by the user are plain characters, and so is
    // [ with brackets (engines whose LIKE reads [...] as a set).
    static QString likePattern(const QString &text, bool prefix, bool brackets = false);
};
