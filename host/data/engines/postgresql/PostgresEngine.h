// The PostgreSQL engine: a database on a server
// ("postgresql://[USER@]HOST[:PORT]/DATABASE"), through Qt's QPSQL driver.
//
// - Who connects: the location's user, else the description's, else
//   libpq's default (PGUSER, the system user). The password is the
//   description's when given, else libpq's (PGPASSWORD, ~/.pgpass); a
//   password file that others may read is not read, and a refused login
//   names it with its fix (PostgresPasswordFile). A refused login throws
//   ELoginRefused.
// - A server that accepts the connection and never answers is given up after
//   kConnectTimeoutSeconds (libpq's connect_timeout) with a text that names
//   host, port and seconds; a refused login, a missing database or user, a
//   server that is not there each get a text in the user's words naming the
//   location and what to do (connectFailureText).
// - With create, a database that has no table FILIAL is filled
//   (description.fill: schema, routines and demo rows of
//   db/postgresql/schema.sql); a database that does not exist is made first
//   (CREATE DATABASE through the server's "postgres" database, UTF8, which
//   needs the right to create databases).
// - A read-only connection (reports) starts every transaction read only and
//   runs in one transaction, declared READ ONLY, that is rolled back when the
//   connection closes. onlyReads() tells a report's statement from its words
//   (PostgresStatements) before it runs.
// - drop(): DROP DATABASE through the server's "postgres" database.
// - NUMERIC values come as text (QSql::HighPrecision), every digit kept.
// - PARAM, NVLSTR, INSTR and the folding used by look-ups live in the schema.
// - interrupter(): libpq's cancel request for the connection's backend.
// - Its statements, values and failures: PostgresDialect.
#pragma once

#include "PostgresDialect.h"
#include "data/engines/DatabaseEngine.h"

class PostgresEngine : public DatabaseEngine {
public:
    static constexpr int kConnectTimeoutSeconds = 10;

    const SqlDialect &dialect() const override { return m_dialect; }
    QString driverName() const override { return QStringLiteral("QPSQL"); }
    QString scriptFolder() const override { return QStringLiteral("postgresql"); }
    QStringList schemes() const override { return {QStringLiteral("postgresql"), QStringLiteral("postgres")}; }
    QString locationForms() const override { return QStringLiteral("postgresql://USUARIO@SERVIDOR:PORTA/BANCO"); }
    bool readLocation(const QString &rest, DatabaseLocation &location) const override;
    QString locationText(const DatabaseLocation &location) const override;
    QString locationHint() const override;
    // The location's user, else the description's, else libpq's default (the system user).
    QString userOf(const ConnectionDescription &description) const override;

    std::function<void()> interrupter(const QSqlDatabase &db) const override;
    // DECIMAL_SUM, the exact sum of the reports, for a database made before it.
    void upgrade(const QSqlDatabase &db, const QString &schemaScript) const override;
    // The script in one piece (a DO block; needs a superuser), PostgresRights.cpp.
    void makeReportRole(const QSqlDatabase &db, const QString &script) const override;
    // A superuser, a member of the tables' owner or of a role that reads the
    // server's files or signals its sessions.
    QString privilegeOf(const QSqlDatabase &db) const override;
    // abort: the connection's socket shut; answers: a reply to an SSLRequest.
    ServerProbe serverProbe(const QSqlDatabase &db) const override;
    bool onlyReads(const QSqlDatabase &db, const QString &sql) const override;
    bool drop(const ConnectionDescription &description) const override;
    QString where(const QSqlDatabase &db) const override;
    // where() of a connection, and the text of a location.
    static QString whereOf(const QSqlDatabase &db);
    static QString locationOf(const DatabaseLocation &location);

    // The user's text for a connection that could not be made: driverText is
    // what libpq said, elapsedMs how long the attempt took.
    QString connectFailureText(const ConnectionDescription &description, const QString &driverText,
                               qint64 elapsedMs) const override;
    // Whether libpq's text says the login was refused (password, user).
    static bool loginRefused(const QString &driverText);

protected:
    bool toCreate(const ConnectionDescription &description) const override;
    void create(const ConnectionDescription &description) const override;
    QSqlDatabase add(const ConnectionDescription &description) const override;
    void connect(QSqlDatabase &db, const ConnectionDescription &description) const override;
    QString tableQuery() const override;
    void openReadOnly(QSqlDatabase &db) const override;
    void beforeClose(QSqlDatabase &db) const override;

private:
    // Opens a connection named name to another database of the same server.
    QSqlDatabase addTo(const ConnectionDescription &description, const QString &database, const QString &name) const;
    void createDatabase(const ConnectionDescription &description) const;

    PostgresDialect m_dialect;
};
