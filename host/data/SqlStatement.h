// Runs one statement with named parameters on a connection: picks the
// engine's markers (NamedSql), binds every value by position from a TParams
// list by name, and turns every database error, also one that only shows
// while rows are fetched, into an EHostError carrying the driver's own text.
//
// Binding rules:
//  - a parameter that the list lacks, or whose value is null, is bound as a
//    typed NULL; an empty text is bound as '' (host strings: empty is a value);
//  - SQLite keeps dates as text: a date, or a date-time at midnight, is bound
//    as 'YYYY-MM-DD', any other date-time as 'YYYY-MM-DD HH:MM:SS[.zzz]';
//  - Firebird: every marker is cast (NamedSql); a text longer than
//    MaxFirebirdText characters is refused with a clear error instead of being
//    cut by the driver.
//  - SQL Server: Qt's ODBC driver sends a text of more than MsSqlShortText
//    characters as a long text (ntext), which CHARINDEX and comparisons
//    refuse: its marker is cast to NVARCHAR(MAX).
//  - Oracle: a text bound to a statement holds at most MaxOracleTextBytes
//    bytes; a longer one is refused with a message naming that limit before
//    the statement runs.
// Rows are read forward only, so a result of a million rows costs one row;
// once the last row is read the statement is finished, holding nothing of
// the database (another program may write at once).
// Errors: one that shows the connection is gone marks the shell's connection
// lost (HostDatabase::noteFailure: the next action reconnects) and says so;
// one the engine knows (DatabaseEngine::failureText: a SQLite file locked by
// another writer past the busy timeout) says that; any other carries the
// driver's text alone.
#pragma once

#include "SqlDialect.h"
#include "TParam.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QVariant>

class NamedSql;

class EHostError;
class QSqlError;

class SqlStatement {
public:
    static constexpr int MaxFirebirdText = 8191;
    static constexpr int MsSqlShortText = 127;
    static constexpr int MaxOracleTextBytes = 4000;

    explicit SqlStatement(const QSqlDatabase &db);

    // Prepares namedText and runs it with the values of params.
    void exec(const QString &namedText, const TParams &params = TParams());
    // Next row; false at the end. Throws when the fetch fails.
    bool next();
    QVariant value(int column) const { return m_query.value(column); }
    QSqlRecord record() const { return m_query.record(); }
    // The text actually prepared (positional markers) and the values bound to it.
    QString preparedText() const { return m_prepared; }
    QVariantList boundValues() const { return m_bound; }
    void finish() { m_query.finish(); }
    SqlEngine engine() const { return m_engine; }

    // The Firebird cast type of a parameter.
    static QString firebirdType(const TParam *param);
    // What a marker of the parameter is cast to on an engine ("": a bare marker
    // where the engine allows one).
    static QString castType(const TParam *param, SqlEngine engine);
    // Throws EHostError, in Portuguese and naming the limit, when the engine
    // cannot take a text this long as a parameter.
    static void checkTextLength(const QString &name, const QString &text, SqlEngine engine);
    // The value bound for a parameter on an engine (typed null included).
    static QVariant bindValue(const TParam *param, SqlEngine engine);
    // The text of an error: the database's own message, else Qt's.
    static QString errorText(const QSqlError &error);

private:
    [[noreturn]] void fail(const QSqlError &error);
    bool prepareTyped(const NamedSql &sql, const TParams &params);

    QSqlDatabase m_db;
    SqlEngine m_engine;
    QSqlQuery m_query;
    QString m_prepared;
    QVariantList m_bound;
};
