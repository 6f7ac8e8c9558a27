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
// - isConnectionLoss(): the client's words for a connection that is gone.
#pragma once

#include "DatabaseEngine.h"

class FirebirdEngine : public DatabaseEngine {
public:
    SqlEngine kind() const override { return SqlEngine::Firebird; }
    QString driverName() const override { return QStringLiteral("QIBASE"); }
    QString scriptFolder() const override { return QStringLiteral("firebird"); }

    void prepareClient() const override;
    std::function<void()> interrupter(const QSqlDatabase &db) const override;
    bool onlyReads(const QSqlDatabase &db, const QString &sql) const override;
    bool isConnectionLoss(const QSqlError &error) const override;
    QString where(const QSqlDatabase &db) const override;
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
};
