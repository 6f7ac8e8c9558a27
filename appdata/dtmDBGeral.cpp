#include "dtmDBGeral.h"
#include "core/Errors.h"
#include "data/FirebirdSharing.h"
#include "data/HostDatabase.h"
#include "data/SqliteRoutines.h"
#include "data/SqlStatement.h"
#include "session/LocalCache.h"
#include "session/ShellContext.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <ibase.h>

namespace {

TdtmDBGeral *g_instance = nullptr;

QString quoted(const QString &s)
{
    QString out = s;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

QString firebirdTarget(const DatabaseLocation &location)
{
    if (location.kind == DatabaseLocation::FirebirdServer)
        return QStringLiteral("%1/%2:%3").arg(location.host).arg(location.port).arg(location.path);
    return location.path;
}

QString statusText(const ISC_STATUS *status)
{
    QStringList parts;
    char buf[1024];
    const ISC_STATUS *vector = status;
    while (fb_interpret(buf, sizeof buf, &vector))
        parts << QString::fromLocal8Bit(buf);
    return parts.join(QLatin1String(" - "));
}

// Throws when the connection is not usable or lacks the system's tables.
void checkSchema(const QSqlDatabase &db, const QString &where)
{
    const bool firebird = SqlDialects::engineOf(db) == SqlEngine::Firebird;
    QSqlQuery q(db);
    const QString sql = firebird
        ? QStringLiteral("SELECT RDB$RELATION_NAME FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'FILIAL'")
        : QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND upper(name) = 'FILIAL'");
    if (!q.exec(sql))
        throw EHostError(QStringLiteral("Não foi possível ler o banco de dados %1: %2")
                             .arg(where, SqlStatement::errorText(q.lastError())));
    if (!q.next())
        throw EHostError(QStringLiteral("O banco de dados %1 não contém as tabelas do sistema (FILIAL).").arg(where));
}

QSqlDatabase addConnection(const DatabaseLocation &location, const QString &user, const QString &password,
                           const QString &name)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(location.isFirebird() ? QStringLiteral("QIBASE") : QStringLiteral("QSQLITE"),
                                                name);
    if (!db.isValid())
        throw EHostError(QStringLiteral("O driver do Qt para %1 não está instalado.")
                             .arg(location.isFirebird() ? QStringLiteral("Firebird (QIBASE)") : QStringLiteral("SQLite (QSQLITE)")));
    db.setDatabaseName(location.path);
    if (location.kind == DatabaseLocation::FirebirdServer) {
        db.setHostName(location.host);
        db.setPort(location.port);
    }
    if (location.isFirebird()) {
        db.setUserName(user);
        db.setPassword(password);
    }
    return db;
}

// The location the shell uses when none is given: the only one where the demo
// database is made without being asked for.
bool isDefaultLocation(const DatabaseLocation &location)
{
    if (location.kind != DatabaseLocation::Sqlite)
        return false;
    const DatabaseLocation def = DatabaseLocation::parse(ShellConfig::defaultDatabase());
    return QFileInfo(location.path).absoluteFilePath() == QFileInfo(def.path).absoluteFilePath();
}

// True when the demo database is to be made at a SQLite location; throws when
// the location is missing or empty and nobody asked for a database there.
bool sqliteToCreate(const DatabaseLocation &location, bool create, const QString &where)
{
    const QFileInfo file(location.path);
    if (file.isDir())
        throw EHostError(QStringLiteral("Não foi possível abrir o banco de dados %1: o caminho é uma pasta.").arg(where));
    if (!file.exists()) {
        if (create || isDefaultLocation(location))
            return true;
        const QString folder = file.absolutePath();
        throw EHostError(QStringLiteral("O banco de dados %1 não existe%2. Confira o caminho dado em --db, --database "
                                        "ou em [database] location= da configuração. Para criar ali um banco novo com "
                                        "os dados de demonstração, acrescente --create-database.")
                             .arg(where, QFileInfo(folder).isDir() ? QString()
                                                                    : QStringLiteral(" (nem a pasta %1)").arg(folder)));
    }
    if (file.size() == 0) {
        if (create)
            return true;
        throw EHostError(QStringLiteral("O arquivo do banco de dados %1 está vazio (0 bytes): não é um banco de dados. "
                                        "Confira se é o arquivo certo e se a cópia dele terminou. Para criar nele um "
                                        "banco novo com os dados de demonstração, use --create-database.")
                             .arg(where));
    }
    return false;
}

// The text of a failed Firebird connect: a server that took the whole
// connection timeout accepted the connection and never answered.
QString connectFailure(const DatabaseLocation &location, const QString &driverText, qint64 elapsedMs)
{
    const QString where = location.toString();
    const int limit = FirebirdSharing::kConnectTimeoutSeconds;
    if (location.kind == DatabaseLocation::FirebirdServer && elapsedMs >= (limit - 1) * 1000)
        return QStringLiteral("O servidor Firebird em %1:%2 não respondeu em %3 s: aceitou a conexão, mas não atendeu. "
                              "Confira se o serviço do Firebird está funcionando nesse endereço e porta (banco de "
                              "dados %4; o cliente do Firebird disse: %5).")
            .arg(location.host)
            .arg(location.port)
            .arg((elapsedMs + 500) / 1000)
            .arg(where, driverText);
    return QStringLiteral("Não foi possível abrir o banco de dados %1: %2").arg(where, driverText);
}

// Opens db; throws the text above when it cannot.
void openTimed(QSqlDatabase &db, const DatabaseLocation &location)
{
    QElapsedTimer timer;
    timer.start();
    if (!db.open())
        throw EHostError(connectFailure(location, SqlStatement::errorText(db.lastError()), timer.elapsed()));
}

// A Firebird database to be made: on a server the file cannot be seen from
// here, so an attach is tried first. True when it is missing; throws when the
// server did not answer.
bool firebirdToCreate(const DatabaseLocation &location, const QString &user, const QString &password,
                      const QString &connectionName)
{
    if (location.kind == DatabaseLocation::FirebirdEmbedded)
        return !QFileInfo::exists(location.path);
    QElapsedTimer timer;
    timer.start();
    bool opened = false;
    QString why;
    {
        QSqlDatabase probe = addConnection(location, user, password, connectionName);
        opened = probe.open();
        why = SqlStatement::errorText(probe.lastError());
        probe.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
    if (!opened && timer.elapsed() >= (FirebirdSharing::kConnectTimeoutSeconds - 1) * 1000)
        throw EHostError(connectFailure(location, why, timer.elapsed()));
    return !opened;
}

} // namespace

TdtmDBGeral *dtmDBGeral() { return g_instance; }

TdtmDBGeral::TdtmDBGeral(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("dtmDBGeral"));
    for (const char *name : {"adcGeral", "dtbGeral", "ibtGeral"})
        (new QObject(this))->setObjectName(QLatin1String(name));
    if (!g_instance)
        g_instance = this;
}

TdtmDBGeral::~TdtmDBGeral()
{
    close();
    if (g_instance == this)
        g_instance = nullptr;
}

void TdtmDBGeral::open(const ShellConfig &config)
{
    close();
    // One shared connection: a second data module must not take it from the first.
    if (QSqlDatabase::contains(QLatin1String(ConnectionName)))
        throw EHostError(QStringLiteral("O banco de dados do shell já está aberto por outro módulo de dados."));
    const DatabaseLocation location = config.databaseLocation();
    openConnection(location, config.user, config.password, QLatin1String(ConnectionName), config.createDatabase);
    m_config = config;
    m_open = true;
    HostDatabase::instance().install(QLatin1String(ConnectionName));
    ShellContext &ctx = ShellContext::instance();
    ctx.branch = config.branch;
    ctx.webHost = config.costsHost;
    ctx.webPort = config.costsPort;
    ctx.costsToken = config.costsToken;
    LocalCache::instance().clear();
}

void TdtmDBGeral::close()
{
    if (!m_open)
        return;
    if (HostDatabase::instance().connectionName() == QLatin1String(ConnectionName))
        HostDatabase::instance().uninstall();
    LocalCache::instance().clear();
    closeConnection(QLatin1String(ConnectionName));
    m_open = false;
}

QSqlDatabase TdtmDBGeral::database() const
{
    if (!m_open)
        throw EHostError(QStringLiteral("O banco de dados não está aberto."));
    return QSqlDatabase::database(QLatin1String(ConnectionName), false);
}

SqlEngine TdtmDBGeral::engine() const { return SqlDialects::engineOf(database()); }

void TdtmDBGeral::closeConnection(const QString &connectionName)
{
    if (!QSqlDatabase::contains(connectionName))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(connectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
}

QSqlDatabase TdtmDBGeral::openConnection(const DatabaseLocation &location, const QString &user, const QString &password,
                                         const QString &connectionName, bool create, const DemoData::Sizes &sizes)
{
    closeConnection(connectionName);
    const QString where = location.toString();
    if (location.isFirebird()) {
        // The client's configuration (connection timeout, shared files) is read at its first use.
        FirebirdSharing::prepare();
    }
    if (location.kind == DatabaseLocation::Sqlite) {
        if (sqliteToCreate(location, create, where))
            createSqliteFile(location.path, sizes);
    } else if (create && firebirdToCreate(location, user, password, connectionName)) {
        createFirebirdFile(location, user, password);
        try {
            QSqlDatabase db = addConnection(location, user, password, connectionName);
            openTimed(db, location);
            DemoData::create(db, sizes);
        } catch (const EHostError &e) {
            closeConnection(connectionName);
            // A half-made database would pass for one at the next start.
            dropFirebirdFile(location, user, password);
            throw EHostError(QStringLiteral("Não foi possível criar o banco de dados %1: %2").arg(where, e.text()));
        }
        closeConnection(connectionName);
    }

    try {
        QSqlDatabase db = addConnection(location, user, password, connectionName);
        openTimed(db, location);
        if (location.kind == DatabaseLocation::Sqlite)
            SqliteRoutines::install(db);
        checkSchema(db, where);
        DemoData::addMissingRoutines(db);
        return db;
    } catch (...) {
        closeConnection(connectionName);
        throw;
    }
}

void TdtmDBGeral::createFirebirdFile(const DatabaseLocation &location, const QString &user, const QString &password)
{
    FirebirdSharing::prepare();
    // CREATE DATABASE takes no parameters; the quoted texts are escaped.
    const QString sql = QStringLiteral("CREATE DATABASE %1 USER %2 PASSWORD %3 PAGE_SIZE 8192 "
                                       "DEFAULT CHARACTER SET WIN1252")
                            .arg(quoted(firebirdTarget(location)), quoted(user), quoted(password));
    const QByteArray bytes = sql.toUtf8();
    ISC_STATUS_ARRAY status = {};
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    if (isc_dsql_execute_immediate(status, &db, &tr, 0, bytes.constData(), 3, nullptr))
        throw EHostError(QStringLiteral("Não foi possível criar o banco de dados %1: %2")
                             .arg(location.toString(), statusText(status)));
    isc_detach_database(status, &db);
}

bool TdtmDBGeral::dropFirebirdFile(const DatabaseLocation &location, const QString &user, const QString &password)
{
    FirebirdSharing::prepare();
    const QByteArray target = firebirdTarget(location).toUtf8();
    const QByteArray userBytes = user.toUtf8(), passwordBytes = password.toUtf8();
    // Database parameter block: version, user name, password.
    QByteArray dpb(1, char(isc_dpb_version1));
    dpb += char(isc_dpb_user_name);
    dpb += char(userBytes.size());
    dpb += userBytes;
    dpb += char(isc_dpb_password);
    dpb += char(passwordBytes.size());
    dpb += passwordBytes;
    ISC_STATUS_ARRAY status = {};
    isc_db_handle db = 0;
    if (isc_attach_database(status, short(target.size()), target.constData(), &db, short(dpb.size()), dpb.constData()))
        return false;
    if (isc_drop_database(status, &db)) {
        isc_detach_database(status, &db);
        return false;
    }
    return true;
}

void TdtmDBGeral::createSqliteFile(const QString &path, const DemoData::Sizes &sizes)
{
    const QFileInfo target(path);
    if (!QDir().mkpath(target.absolutePath()))
        throw EHostError(QStringLiteral("Não foi possível criar a pasta %1.").arg(target.absolutePath()));
    const QString part = path + QStringLiteral(".part");
    QFile::remove(part);
    const QString name = QStringLiteral("dtmDBGeral-create-") + QUuid::createUuid().toString(QUuid::Id128);
    try {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            db.setDatabaseName(part);
            if (!db.open())
                throw EHostError(SqlStatement::errorText(db.lastError()));
            DemoData::create(db, sizes);
            db.close();
        }
        QSqlDatabase::removeDatabase(name);
    } catch (const EHostError &e) {
        closeConnection(name);
        QFile::remove(part);
        throw EHostError(QStringLiteral("Não foi possível criar o banco de dados sqlite:%1: %2").arg(path, e.text()));
    }
    if (target.exists())
        QFile::remove(path); // an empty file left by someone else
    if (!QFile::rename(part, path)) {
        QFile::remove(part);
        throw EHostError(QStringLiteral("Não foi possível criar o banco de dados sqlite:%1.").arg(path));
    }
}
