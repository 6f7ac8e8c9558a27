#include "SqliteEngine.h"
#include "SqliteRoutines.h"
#include "core/Errors.h"
#include "data/SqlStatement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <sqlite3.h>

#include <cstring>

static const DatabaseEngine::Registration registered(std::make_unique<SqliteEngine>(), 1);

sqlite3 *SqliteEngine::handle(const QSqlDatabase &db)
{
    if (!db.isOpen() || !db.driver())
        throw EHostError(QStringLiteral("O banco de dados SQLite não está aberto."));
    const QVariant v = db.driver()->handle();
    if (!v.isValid() || std::strcmp(v.typeName(), "sqlite3*") != 0)
        throw EHostError(QStringLiteral("A conexão não é de um banco de dados SQLite."));
    sqlite3 *h = *static_cast<sqlite3 *const *>(v.constData());
    if (!h)
        throw EHostError(QStringLiteral("O banco de dados SQLite não está aberto."));
    return h;
}

bool SqliteEngine::canOpenAgain(const QSqlDatabase &db) const
{
    const QString name = db.databaseName();
    return !name.isEmpty() && name != QLatin1String(":memory:") && !name.contains(QLatin1String("mode=memory"))
        && !db.connectOptions().contains(QLatin1String("QSQLITE_OPEN_URI"));
}

void SqliteEngine::registerRoutines(const QSqlDatabase &db) const { SqliteRoutines::install(db); }

bool SqliteEngine::readLocation(const QString &rest, DatabaseLocation &location) const
{
    location.path = rest;
    return true;
}

QString SqliteEngine::locationText(const DatabaseLocation &location) const
{
    return QStringLiteral("sqlite:") + location.path;
}

std::function<void()> SqliteEngine::interrupter(const QSqlDatabase &db) const
{
    sqlite3 *h = handle(db);
    return [h] { sqlite3_interrupt(h); };
}

bool SqliteEngine::onlyReads(const QSqlDatabase &db, const QString &sql) const
{
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(handle(db), text.constData(), int(text.size()), &stmt, nullptr) != SQLITE_OK || !stmt) {
        sqlite3_finalize(stmt);
        return true;
    }
    const bool reads = sqlite3_stmt_readonly(stmt) != 0;
    sqlite3_finalize(stmt);
    return reads;
}

bool SqliteEngine::toCreate(const ConnectionDescription &description) const
{
    const QString where = description.where();
    const QFileInfo file(description.location.path);
    if (file.isDir())
        throw EHostError(QStringLiteral("Não foi possível abrir o banco de dados %1: o caminho é uma pasta.").arg(where));
    if (!file.exists()) {
        if (description.create)
            return true;
        const QString folder = file.absolutePath();
        throw EHostError(QStringLiteral("O banco de dados %1 não existe%2. Confira o caminho dado em --db, --database "
                                        "ou em [database] location= da configuração. Para criar ali um banco novo com "
                                        "os dados de demonstração, acrescente --create-database.")
                             .arg(where, QFileInfo(folder).isDir() ? QString()
                                                                    : QStringLiteral(" (nem a pasta %1)").arg(folder)));
    }
    if (file.size() > 0)
        return false;
    if (description.create)
        return true;
    throw EHostError(QStringLiteral("O arquivo do banco de dados %1 está vazio (0 bytes): não é um banco de dados. "
                                    "Confira se é o arquivo certo e se a cópia dele terminou. Para criar nele um "
                                    "banco novo com os dados de demonstração, use --create-database.")
                         .arg(where));
}

void SqliteEngine::create(const ConnectionDescription &description) const
{
    const QString path = description.location.path;
    const QString where = description.where();
    const QFileInfo target(path);
    if (!QDir().mkpath(target.absolutePath()))
        throw EHostError(QStringLiteral("Não foi possível criar o banco de dados %1: não foi possível criar a pasta %2.")
                             .arg(where, target.absolutePath()));
    const QString part = path + QStringLiteral(".part");
    QFile::remove(part);
    const QString name = description.name + QStringLiteral("-create");
    try {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(driverName(), name);
            db.setDatabaseName(part);
            if (!db.open())
                throw EHostError(SqlStatement::errorText(db.lastError()));
            // Other programs may read and write while the shell reads.
            QSqlQuery wal(db);
            if (!wal.exec(QStringLiteral("PRAGMA journal_mode=WAL")))
                throw EHostError(SqlStatement::errorText(wal.lastError()));
            wal.finish();
            registerRoutines(db);
            if (description.fill)
                description.fill(db);
        }
        close(name);
    } catch (const EHostError &e) {
        close(name);
        QFile::remove(part);
        throw EHostError(QStringLiteral("Não foi possível criar o banco de dados %1: %2").arg(where, e.text()));
    }
    if (target.exists())
        QFile::remove(path); // an empty file left by someone else
    if (!QFile::rename(part, path)) {
        QFile::remove(part);
        throw EHostError(QStringLiteral("Não foi possível criar o banco de dados %1.").arg(where));
    }
}

bool SqliteEngine::drop(const ConnectionDescription &description) const
{
    const QString path = description.location.path;
    for (const char *suffix : {"-wal", "-shm", "-journal"})
        QFile::remove(path + QLatin1String(suffix));
    return QFile::remove(path);
}

QString SqliteEngine::tableQuery() const
{
    return QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND upper(name) = 'FILIAL'");
}

QSqlDatabase SqliteEngine::add(const ConnectionDescription &description) const
{
    QSqlDatabase db = DatabaseEngine::add(description);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    return db;
}

namespace {

// What a report's connection may do: read, and call functions.
int readOnlyAuthorizer(void *, int action, const char *, const char *, const char *, const char *)
{
    switch (action) {
    case SQLITE_SELECT:
    case SQLITE_READ:
    case SQLITE_FUNCTION:
    case SQLITE_RECURSIVE:
        return SQLITE_OK;
    default:
        return SQLITE_DENY;
    }
}

} // namespace

void SqliteEngine::openReadOnly(QSqlDatabase &db) const
{
    QString options = db.connectOptions();
    if (!options.contains(QLatin1String("QSQLITE_OPEN_READONLY")))
        options += (options.isEmpty() ? QString() : QStringLiteral(";")) + QStringLiteral("QSQLITE_OPEN_READONLY");
    db.setConnectOptions(options);
    if (!db.open())
        throw EHostError(SqlStatement::errorText(db.lastError()));
    {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("PRAGMA query_only = 1")))
            throw EHostError(SqlStatement::errorText(q.lastError()));
    }
    sqlite3_set_authorizer(handle(db), readOnlyAuthorizer, nullptr);
}
