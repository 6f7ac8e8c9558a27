#include "DatabaseEngine.h"
#include "FirebirdEngine.h"
#include "PostgresEngine.h"
#include "SqliteEngine.h"
#include "core/Errors.h"
#include "data/SqlStatement.h"

#include <QSqlError>
#include <QSqlQuery>

const DatabaseEngine &DatabaseEngine::of(DatabaseLocation::Kind kind)
{
    static const SqliteEngine sqlite;
    static const FirebirdEngine firebird;
    static const PostgresEngine postgres;
    switch (kind) {
    case DatabaseLocation::Sqlite: return sqlite;
    case DatabaseLocation::FirebirdEmbedded:
    case DatabaseLocation::FirebirdServer: return firebird;
    case DatabaseLocation::PostgreSql: return postgres;
    }
    return sqlite;
}

QList<const DatabaseEngine *> DatabaseEngine::all()
{
    return {&of(DatabaseLocation::Sqlite), &of(DatabaseLocation::FirebirdEmbedded), &of(DatabaseLocation::PostgreSql)};
}

const DatabaseEngine *DatabaseEngine::find(const QSqlDatabase &db)
{
    const QString driver = db.driverName();
    for (const DatabaseEngine *engine : all())
        if (engine->driverName() == driver)
            return engine;
    return nullptr;
}

const DatabaseEngine &DatabaseEngine::of(const QSqlDatabase &db)
{
    if (const DatabaseEngine *engine = find(db))
        return *engine;
    throw EHostError(QStringLiteral("O banco de dados da conexão %1 (driver %2) não é de um tipo que o sistema conhece.")
                         .arg(db.connectionName(), db.driverName()));
}

void DatabaseEngine::close(const QString &connectionName)
{
    if (!QSqlDatabase::contains(connectionName))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName, false);
        if (const DatabaseEngine *engine = find(db); engine && db.isOpen())
            engine->beforeClose(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
}

QSqlDatabase DatabaseEngine::open(const ConnectionDescription &description) const
{
    close(description.name);
    prepareClient();
    if (toCreate(description))
        create(description);
    try {
        QSqlDatabase db = add(description);
        connect(db, description);
        registerRoutines(db);
        checkTables(db, description.where());
        return db;
    } catch (...) {
        close(description.name);
        throw;
    }
}

QSqlDatabase DatabaseEngine::openAgain(const QString &source, const QString &name, Access access)
{
    // By name: a connection of another thread cannot be handed over here.
    QSqlDatabase db = QSqlDatabase::cloneDatabase(source, name);
    if (!db.isValid())
        throw EHostError(QStringLiteral("Não há conexão aberta com o banco de dados %1.").arg(source));
    try {
        const DatabaseEngine &engine = of(db);
        if (access == Access::ReadOnly)
            engine.openReadOnly(db);
        else if (!db.open())
            throw EHostError(SqlStatement::errorText(db.lastError()));
        engine.registerRoutines(db);
    } catch (...) {
        db = QSqlDatabase();
        close(name);
        throw;
    }
    return db;
}

QSqlDatabase DatabaseEngine::add(const ConnectionDescription &description) const
{
    QSqlDatabase db = QSqlDatabase::addDatabase(driverName(), description.name);
    if (!db.isValid())
        throw EHostError(QStringLiteral("O driver do Qt para %1 (%2) não está instalado.")
                             .arg(scriptFolder(), driverName()));
    db.setDatabaseName(description.location.path);
    if (description.location.isServer()) {
        db.setHostName(description.location.host);
        db.setPort(description.location.port);
    }
    return db;
}

void DatabaseEngine::connect(QSqlDatabase &db, const ConnectionDescription &description) const
{
    if (!db.open())
        throw EHostError(QStringLiteral("Não foi possível abrir o banco de dados %1: %2")
                             .arg(description.where(), SqlStatement::errorText(db.lastError())));
}

void DatabaseEngine::checkTables(const QSqlDatabase &db, const QString &where) const
{
    QSqlQuery q(db);
    if (!q.exec(tableQuery())) {
        const QString known = failureText(db, q.lastError());
        if (!known.isEmpty())
            throw EHostError(known);
        throw EHostError(QStringLiteral("Não foi possível ler o banco de dados %1: %2")
                             .arg(where, SqlStatement::errorText(q.lastError())));
    }
    if (!q.next())
        throw EHostError(QStringLiteral("O banco de dados %1 não contém as tabelas do sistema (FILIAL).").arg(where));
}
