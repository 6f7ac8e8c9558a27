#include "DatabaseEngine.h"
#include "ReportAccess.h"
#include "core/Errors.h"
#include "data/SqlScript.h"
#include "data/SqlStatement.h"

#include <QElapsedTimer>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <vector>

namespace {

struct Registered {
    int rank;
    std::unique_ptr<DatabaseEngine> engine;
};

std::vector<Registered> &registry()
{
    static std::vector<Registered> engines; // filled while the library loads
    return engines;
}

} // namespace

DatabaseEngine::Registration::Registration(std::unique_ptr<DatabaseEngine> engine, int rank)
{
    auto &r = registry();
    auto at = std::find_if(r.begin(), r.end(), [rank](const Registered &e) { return e.rank > rank; });
    r.insert(at, Registered{rank, std::move(engine)});
}

QList<const DatabaseEngine *> DatabaseEngine::all()
{
    QList<const DatabaseEngine *> out;
    for (const Registered &e : registry())
        out << e.engine.get();
    return out;
}

const DatabaseEngine *DatabaseEngine::forScheme(const QString &scheme)
{
    for (const DatabaseEngine *engine : all())
        if (engine->schemes().contains(scheme, Qt::CaseInsensitive))
            return engine;
    return nullptr;
}

const DatabaseEngine &DatabaseEngine::of(const DatabaseLocation &location) { return location.engine(); }

bool DatabaseEngine::readHostPort(const QString &hostPort, DatabaseLocation &location)
{
    const int colon = int(hostPort.lastIndexOf(QLatin1Char(':')));
    if (colon < 0) {
        location.host = hostPort;
        return !location.host.isEmpty();
    }
    bool ok = false;
    location.port = hostPort.mid(colon + 1).toInt(&ok);
    location.host = hostPort.left(colon);
    return ok && location.port > 0 && location.port <= 65535 && !location.host.isEmpty();
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
    ReportAccess::forget(connectionName);
    SqlDialect::use(connectionName, nullptr);
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
        ReportAccess::learn(db, *this);
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
        QElapsedTimer timer;
        timer.start();
        try {
            // A report logs in as the database's report role when it has one.
            if (const auto login = ReportAccess::loginFor(source); login && access == Access::ReadOnly) {
                db.setUserName(login->user);
                db.setPassword(login->password);
            }
            if (access == Access::ReadOnly)
                engine.openReadOnly(db);
            else if (!db.open())
                throw EHostError(SqlStatement::errorText(db.lastError()));
        } catch (const EHostError &e) {
            throw EHostError(engine.connectFailureText(engine.describe(db), e.text(), timer.elapsed()));
        }
        engine.registerRoutines(db);
        // A dialect put in the source's place speaks on this one too.
        if (const SqlDialect *replaced = SqlDialect::replacement(source)) {
            SqlDialect::use(name, replaced);
            replaced->attach(db);
        }
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

ConnectionDescription DatabaseEngine::describe(const QSqlDatabase &db) const
{
    ConnectionDescription d;
    d.location.scheme = schemes().first();
    d.location.path = db.databaseName();
    d.location.host = db.hostName();
    d.location.port = db.port();
    d.location.user = db.userName();
    d.user = db.userName();
    d.name = db.connectionName();
    return d;
}

QString DatabaseEngine::connectFailureText(const ConnectionDescription &description, const QString &driverText,
                                           qint64) const
{
    return QStringLiteral("Não foi possível abrir o banco de dados %1: %2").arg(description.where(), driverText);
}

void DatabaseEngine::checkTables(const QSqlDatabase &db, const QString &where) const
{
    QSqlQuery q(db);
    if (!q.exec(tableQuery())) {
        const DatabaseFailure failure = dialect().failure(db, q.lastError());
        if (!failure.advice.isEmpty())
            throw EHostError(failure.advice);
        throw EHostError(QStringLiteral("Não foi possível ler o banco de dados %1: %2")
                             .arg(where, SqlStatement::errorText(q.lastError())));
    }
    if (!q.next())
        throw EHostError(QStringLiteral("O banco de dados %1 não contém as tabelas do sistema (FILIAL).").arg(where));
}

void DatabaseEngine::makeReportRole(const QSqlDatabase &db, const QString &script) const { SqlScript::run(db, script); }

void DatabaseEngine::runStatementsHolding(const QSqlDatabase &db, const QString &script, const QStringList &texts)
{
    for (const SqlScript::Statement &st : SqlScript::split(script))
        for (const QString &text : texts)
            if (st.text.contains(text, Qt::CaseInsensitive)) {
                QSqlQuery q(db);
                if (!q.exec(st.text))
                    throw EHostError(SqlStatement::errorText(q.lastError()));
            }
}

void DatabaseEngine::addWhenMissing(const QSqlDatabase &db, const QString &script, const QString &existsQuery,
                                    const QString &createText)
{
    QSqlQuery q(db);
    if (!q.exec(existsQuery) || q.next())
        return;
    q.finish();
    try {
        runStatementsHolding(db, script, {createText});
    } catch (const EHostError &) {
        // Without the right to create it the database stays as it is.
    }
}
