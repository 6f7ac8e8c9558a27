// Who a report's connection logs in as. A database may keep the login of its
// report role (table ACESSO_RELATORIO, made by db/<engine>/report-role.sql):
// a role that may only read the tables the reports read. The login is read
// with the person's own connection when it opens (learn), and every
// read-only second connection to it logs in with it (DatabaseEngine::openAgain);
// the role cannot read that table itself.
//
// Without a report login, the reports run as the person's own user: when that
// user is a superuser, SYSDBA or the database's owner (the engine's
// privilegeOf), warning() says so in Portuguese, for the status bar and the
// scripted sessions. Safe to call from any thread.
#pragma once

#include <QSqlDatabase>
#include <QString>
#include <optional>

class DatabaseEngine;

class ReportAccess {
public:
    struct Login {
        QString user;
        QString password;
    };

    // Reads on db (just opened, on its thread) the report login and, when
    // there is none, whether its user has administrative rights. Never throws.
    static void learn(const QSqlDatabase &db, const DatabaseEngine &engine);
    static void forget(const QString &connectionName);

    // The report login of the database behind the connection, if it has one.
    static std::optional<Login> loginFor(const QString &connectionName);
    // "" when the reports on that connection's database run with read rights
    // only (or the engine cannot tell); else a warning saying who they run
    // as and what to do.
    static QString warning(const QString &connectionName);
};
