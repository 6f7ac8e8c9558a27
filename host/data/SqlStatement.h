// Runs one statement with named parameters on a connection: picks the
// engine's markers (NamedSql), binds every value by position from a TParams
// list by name, and turns every database error, also one that only shows
// while rows are fetched, into an EHostError carrying the driver's own text.
//
// Values are bound as the engine compares them (SqlDialect::bind: typed
// NULLs, dates as the engine keeps them, an empty text as ''); markers are
// the engine's typed ones (SqlDialect::marker), and a text longer than they
// take is refused, named, before the statement runs. A statement whose
// parameter types the engine cannot infer is prepared again with each marker
// typed (SqlDialect::Feature::TypedMarkersOnRetry).
// Rows are read forward only, so a result of a million rows costs one row;
// once the last row is read the statement is finished, holding nothing of
// the database (another program may write at once).
// On a server, the statement is watched while it runs and while each row is
// fetched (StatementWatch): a server that stops answering is named within
// seconds, and the connection, closed under the statement, is marked lost.
// Errors (SqlDialect::failure): one that shows the connection is gone marks
// the shell's connection lost (HostDatabase::noteFailure: the next action
// reconnects) and says so; one the engine explains (a SQLite file locked by
// another writer past the busy timeout) says that; any other is said in a
// Portuguese sentence by its kind, the engine's text after it (FailureText).
#pragma once

#include "TParam.h"
#include "engines/StatementWatch.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <QVariant>
#include <memory>

class NamedSql;
class SqlDialect;

class EHostError;
class QSqlError;

class SqlStatement {
public:
    explicit SqlStatement(const QSqlDatabase &db);
    ~SqlStatement();

    // Prepares namedText and runs it with the values of params.
    void exec(const QString &namedText, const TParams &params = TParams());
    // Next row; false at the end. Throws when the fetch fails.
    bool next();
    QVariant value(int column) const { return m_query.value(column); }
    QSqlRecord record() const { return m_query.record(); }
    // The text actually prepared (positional markers) and the values bound to it.
    QString preparedText() const { return m_prepared; }
    QVariantList boundValues() const { return m_bound; }
    void finish();
    const SqlDialect &dialect() const { return *m_dialect; }

    // The text of an error: the database's own message, else Qt's.
    static QString errorText(const QSqlError &error);
    // What the user reads when the server at where did not answer a
    // statement (StatementWatch) within seconds.
    static QString timedOutText(const QString &where, int seconds);

private:
    [[noreturn]] void fail(const QSqlError &error);
    bool prepareTyped(const NamedSql &sql, const TParams &params);

    QSqlDatabase m_db;
    const SqlDialect *m_dialect;
    QSqlQuery m_query;
    std::unique_ptr<StatementWatch::Running> m_running;
    QString m_prepared;
    QVariantList m_bound;
};
