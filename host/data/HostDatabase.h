// The shell's shared database as the host's components see it: the Qt
// connection that the shell's data module opened, the engine behind it, and
// the statement dialect that queries run on it.
//
// The shell installs its connection by name when it opens the database and
// uninstalls it before closing; queries close themselves on closing().
// setDialectOverride is for tests only: it makes queries run their Oracle or
// SQL Server text on SQLite (the SQLite routines for those texts must then be
// registered: SqliteRoutines::installForeign).
#pragma once

#include "SqlDialect.h"

#include <QObject>
#include <QSqlDatabase>
#include <optional>

class HostDatabase : public QObject {
    Q_OBJECT
public:
    static HostDatabase &instance();

    void install(const QString &connectionName);
    // Emits closing() first, so that open queries let go of the connection.
    void uninstall();
    bool isInstalled() const { return !m_connection.isEmpty(); }
    QString connectionName() const { return m_connection; }

    // The connection; throws EHostError when none is open.
    QSqlDatabase database() const;
    SqlEngine engine() const;
    // The text dialect that queries run: the override, else the engine's.
    SqlDialect dialect() const;
    void setDialectOverride(std::optional<SqlDialect> dialect) { m_override = dialect; }

signals:
    void closing();

private:
    HostDatabase() = default;
    QString m_connection;
    std::optional<SqlDialect> m_override;
};
