#include "SqliteEngine.h"
#include "SqliteRoutines.h"
#include "core/Errors.h"
#include "data/SqlStatement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QVariant>
#include <sqlite3.h>

#include <cstring>

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

void SqliteEngine::registerForeignRoutines(const QSqlDatabase &db) const { SqliteRoutines::installForeign(db); }

std::function<void()> SqliteEngine::interrupter(const QSqlDatabase &db) const
{
    sqlite3 *h = handle(db);
    return [h] { sqlite3_interrupt(h); };
}

bool SqliteEngine::isBusy(const QSqlError &error)
{
    // SQLITE_BUSY (5) and SQLITE_LOCKED (6), after the driver's busy timeout.
    const QString code = error.nativeErrorCode();
    return code == QLatin1String("5") || code == QLatin1String("6")
        || error.databaseText().contains(QLatin1String("database is locked"), Qt::CaseInsensitive);
}

QString SqliteEngine::failureText(const QSqlDatabase &db, const QSqlError &error) const
{
    if (!isBusy(error))
        return QString();
    QString text = SqlStatement::errorText(error);
    while (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return QStringLiteral("O banco de dados %1 está bloqueado por outro programa que grava nele, e a espera "
                          "terminou: %2. Tente de novo em instantes.")
        .arg(where(db), text);
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

QString SqliteEngine::tableQuery() const
{
    return QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND upper(name) = 'FILIAL'");
}
