// The Firebird 3 engine, embedded ("firebird:PATH") or on a server
// ("firebird://HOST:PORT/PATH").
//
// - The client runs with this program's own configuration
//   (FirebirdSharing::prepare, before the first connection): processes share
//   an embedded file, and a server that accepts the connection and never
//   answers is given up after FirebirdSharing::kConnectTimeoutSeconds with a
//   text that says so (host, port, seconds waited).
// - With create, a missing database is made through the client library
//   (CREATE DATABASE, character set WIN1252, page size 8192) and filled; on a
//   server the file cannot be seen from here, so an attach is tried first.
//   Connections use Qt's character set (UTF8).
// - A read-only connection (reports) runs in one transaction of its own that
//   is rolled back, never committed, when the connection closes: Qt's driver
//   starts its transactions without options, so none can be declared read
//   only, and what a statement changes is undone instead.
// - PARAM, NVLSTR and INSTR live in the schema script.
// - interrupter(): fb_cancel_operation on the attachment.
// - Its statements, values and failures: FirebirdDialect.
// - Locations: "/PATH" after a server's host is an absolute file when it
//   holds another "/" (firebird://h:3050/var/db/x.fdb -> /var/db/x.fdb) and an
//   alias otherwise (firebird://h/employee -> employee); "//PATH" is always
//   absolute; port 3050 when none is written.
#pragma once

#include "FirebirdDialect.h"
#include "data/engines/DatabaseEngine.h"

class FirebirdEngine : public DatabaseEngine {
public:
    const SqlDialect &dialect() const override { return m_dialect; }
    QString driverName() const override { return QStringLiteral("QIBASE"); }
    QString scriptFolder() const override { return QStringLiteral("firebird"); }
    QStringList schemes() const override { return {QStringLiteral("firebird")}; }
    QString locationForms() const override
    {
        return QStringLiteral("firebird:ARQUIVO, firebird://SERVIDOR:PORTA/ARQUIVO");
    }
    bool readLocation(const QString &rest, DatabaseLocation &location) const override;
    QString locationText(const DatabaseLocation &location) const override;
    bool isLocalFile(const DatabaseLocation &location) const override { return !location.isServer(); }
    // SYSDBA when none is named.
    QString userOf(const ConnectionDescription &description) const override;

    void prepareClient() const override;
    void upgrade(const QSqlDatabase &db, const QString &schemaScript) const override;
    std::function<void()> interrupter(const QSqlDatabase &db) const override;
    // On a server: abort by fb_cancel_abort; answers: an attach, with the
    // client's connect time-out, answered by anything but silence.
    ServerProbe serverProbe(const QSqlDatabase &db) const override;
    bool onlyReads(const QSqlDatabase &db, const QString &sql) const override;
    QString where(const QSqlDatabase &db) const override;
    QString connectFailureText(const ConnectionDescription &description, const QString &driverText,
                               qint64 elapsedMs) const override;
    // SYSDBA, the role RDB$ADMIN or the owner of the tables (FirebirdRights.cpp).
    QString privilegeOf(const QSqlDatabase &db) const override;
    bool drop(const ConnectionDescription &description) const override;

    // Makes an empty database (no tables) through the client library.
    // Throws EHostError with the client's text.
    static void createEmpty(const ConnectionDescription &description);

protected:
    bool toCreate(const ConnectionDescription &description) const override;
    void create(const ConnectionDescription &description) const override;
    QSqlDatabase add(const ConnectionDescription &description) const override;
    void connect(QSqlDatabase &db, const ConnectionDescription &description) const override;
    QString tableQuery() const override;
    void openReadOnly(QSqlDatabase &db) const override;
    void beforeClose(QSqlDatabase &db) const override;

private:
    FirebirdDialect m_dialect;
};
