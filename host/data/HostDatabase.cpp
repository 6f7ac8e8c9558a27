#include "HostDatabase.h"
#include "toolkit/Errors.h"

HostDatabase &HostDatabase::instance()
{
    static HostDatabase *db = new HostDatabase; // lives as long as the process
    return *db;
}

void HostDatabase::install(const QString &connectionName)
{
    if (!m_connection.isEmpty() && m_connection != connectionName)
        uninstall();
    m_connection = connectionName;
}

void HostDatabase::uninstall()
{
    if (m_connection.isEmpty())
        return;
    emit closing();
    m_connection.clear();
    m_override.reset();
}

QSqlDatabase HostDatabase::database() const
{
    if (m_connection.isEmpty())
        throw EHostError(QStringLiteral("Nenhum banco de dados está aberto."));
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.isOpen())
        throw EHostError(QStringLiteral("O banco de dados não está aberto."));
    return db;
}

SqlEngine HostDatabase::engine() const { return SqlDialects::engineOf(database()); }

SqlDialect HostDatabase::dialect() const
{
    if (m_override)
        return *m_override;
    return SqlDialects::dialectFor(engine());
}
