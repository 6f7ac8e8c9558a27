#include "HostDatabase.h"
#include "core/Errors.h"
#include "engines/DatabaseEngine.h"

#include <QElapsedTimer>

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
    m_lost = false;
}

void HostDatabase::uninstall()
{
    if (m_connection.isEmpty())
        return;
    emit closing();
    m_connection.clear();
    m_lost = false;
}

QSqlDatabase HostDatabase::database()
{
    if (m_connection.isEmpty())
        throw EHostError(QStringLiteral("Nenhum banco de dados está aberto."));
    // A driver that sees its connection broken (QPSQL) reports it closed:
    // lost too, though no statement of ours failed on it.
    if (m_lost || !QSqlDatabase::database(m_connection, false).isOpen())
        reconnect();
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.isOpen())
        throw EHostError(QStringLiteral("O banco de dados não está aberto."));
    return db;
}

void HostDatabase::reconnect()
{
    // Statements still open on the dead connection let go of it first.
    emit closing();
    QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    db.close();
    QElapsedTimer timer;
    timer.start();
    if (!db.open()) {
        const QSqlError e = db.lastError();
        QString why = e.databaseText().trimmed();
        if (why.isEmpty())
            why = e.driverText().trimmed();
        // The engine names a server that did not answer, and what to do.
        if (const DatabaseEngine *engine = DatabaseEngine::find(db))
            why = engine->connectFailureText(engine->describe(db), why, timer.elapsed());
        while (why.endsWith(QLatin1Char('.')))
            why.chop(1);
        throw EHostError(QStringLiteral("A conexão com o banco de dados %1 caiu e ainda não pôde ser refeita. %2. "
                                        "Confira se o servidor de banco de dados está no ar; a próxima ação tenta "
                                        "de novo.")
                             .arg(where(db), why));
    }
    m_lost = false;
    emit reconnected();
}

QString HostDatabase::where(const QSqlDatabase &db)
{
    const DatabaseEngine *engine = DatabaseEngine::find(db);
    return engine ? engine->where(db) : db.databaseName();
}

bool HostDatabase::isConnectionLoss(const QSqlDatabase &db, const QSqlError &error)
{
    return DatabaseEngine::find(db) && SqlDialect::of(db).failure(db, error).is(DatabaseFailure::Kind::ConnectionLost);
}

void HostDatabase::noteLost(const QSqlDatabase &db)
{
    if (!m_connection.isEmpty() && db.connectionName() == m_connection)
        m_lost = true;
}

bool HostDatabase::noteFailure(const QSqlDatabase &db, const QSqlError &error)
{
    if (m_connection.isEmpty() || db.connectionName() != m_connection || !isConnectionLoss(db, error))
        return false;
    m_lost = true;
    return true;
}

const SqlDialect &HostDatabase::dialect() { return SqlDialect::of(database()); }
