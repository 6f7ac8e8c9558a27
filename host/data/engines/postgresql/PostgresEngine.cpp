#include "PostgresEngine.h"
#include "PostgresPasswordFile.h"
#include "PostgresStatements.h"
#include "data/engines/ServerReply.h"
#include "core/Errors.h"
#include "data/SqlStatement.h"

#include <QElapsedTimer>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>
#include <libpq-fe.h>
#include <QStringDecoder>
#include <cctype>
#include <memory>
#include <sys/socket.h>

static const DatabaseEngine::Registration registered(std::make_unique<PostgresEngine>(), 3);

namespace {

// libpq ends a connect that waits longer than this on a silent server, and
// sends keep-alives so that a server gone mid-statement is noticed.
QString connectOptions()
{
    return QStringLiteral("connect_timeout=%1;keepalives=1;keepalives_idle=30;keepalives_interval=10;"
                          "keepalives_count=3;application_name=merenda-shell")
        .arg(PostgresEngine::kConnectTimeoutSeconds);
}

// Set on a report's connection: every transaction starts read only.
const char *const kReadOnlyOption = "default_transaction_read_only";

QString quotedIdentifier(const QString &name)
{
    QString out = name;
    out.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

// The server's "database does not exist" (SQLSTATE 3D000 is not handed over
// on a failed connect, only the words).
bool missingDatabase(const QString &driverText)
{
    return driverText.contains(QLatin1String("does not exist")) && driverText.contains(QLatin1String("database"));
}

// Statistics of the new rows now, so that the first plans use the indexes.
// Only the tables the user owns: a plain ANALYZE by a role that is not a
// superuser warns once for every catalog it may not analyze.
void analyzeOwnTables(const QSqlDatabase &db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT string_agg(format('%I.%I', schemaname, tablename), ', ') FROM pg_tables "
                               "WHERE tableowner = current_user AND schemaname NOT IN ('pg_catalog', "
                               "'information_schema')"))
        || !q.next() || q.value(0).toString().isEmpty())
        return;
    const QString tables = q.value(0).toString();
    q.exec(QStringLiteral("ANALYZE ") + tables);
}

} // namespace

QSqlDatabase PostgresEngine::add(const ConnectionDescription &description) const
{
    QSqlDatabase db = DatabaseEngine::add(description);
    const QString user = description.location.user.isEmpty() ? description.user : description.location.user;
    if (!user.isEmpty())
        db.setUserName(user);
    if (!description.password.isEmpty())
        db.setPassword(description.password);
    db.setConnectOptions(connectOptions());
    // A password file libpq would pass over with an English warning is not
    // read at all; a refused login then names it (connectFailureText).
    if (description.password.isEmpty() && qEnvironmentVariableIsEmpty("PGPASSWORD")
        && !PostgresPasswordFile::ignoredFile().isEmpty())
        db.setConnectOptions(connectOptions() + QLatin1Char(';') + PostgresPasswordFile::noFileOption());
    // NUMERIC as the server writes it (text), not as a double: money keeps
    // every digit (FixedDecimal reads the text).
    db.setNumericalPrecisionPolicy(QSql::HighPrecision);
    return db;
}

QSqlDatabase PostgresEngine::addTo(const ConnectionDescription &description, const QString &database,
                                   const QString &name) const
{
    ConnectionDescription other = description;
    other.location.path = database;
    other.name = name;
    return add(other);
}

void PostgresEngine::connect(QSqlDatabase &db, const ConnectionDescription &description) const
{
    QElapsedTimer timer;
    timer.start();
    if (db.open())
        return;
    const QString said = SqlStatement::errorText(db.lastError());
    const QString text = connectFailureText(description, said, timer.elapsed());
    if (loginRefused(said))
        throw ELoginRefused(text);
    throw EHostError(text);
}

bool PostgresEngine::toCreate(const ConnectionDescription &description) const
{
    if (!description.create)
        return false;
    QElapsedTimer timer;
    timer.start();
    bool opened = false, filled = false;
    QString why;
    {
        QSqlDatabase probe = add(description);
        opened = probe.open();
        why = SqlStatement::errorText(probe.lastError());
        if (opened) {
            QSqlQuery q(probe);
            filled = q.exec(tableQuery()) && q.next();
        }
    }
    close(description.name);
    if (!opened && loginRefused(why))
        throw ELoginRefused(connectFailureText(description, why, timer.elapsed()));
    if (!opened && !missingDatabase(why))
        throw EHostError(connectFailureText(description, why, timer.elapsed()));
    return !filled;
}

void PostgresEngine::createDatabase(const ConnectionDescription &description) const
{
    const QString name = QStringLiteral("postgres-create-") + QUuid::createUuid().toString(QUuid::Id128);
    try {
        QSqlDatabase admin = addTo(description, QStringLiteral("postgres"), name);
        connect(admin, description);
        QSqlQuery q(admin);
        // CREATE DATABASE takes no parameters; the name is quoted as an identifier.
        if (!q.exec(QStringLiteral("CREATE DATABASE %1 TEMPLATE template0 ENCODING 'UTF8'")
                        .arg(quotedIdentifier(description.location.path))))
            throw EHostError(QStringLiteral("o servidor recusou CREATE DATABASE (o usuário precisa do direito "
                                            "CREATEDB, ou peça ao administrador que crie o banco vazio): %1")
                                 .arg(SqlStatement::errorText(q.lastError()).left(100)));
    } catch (...) {
        close(name);
        throw;
    }
    close(name);
}

void PostgresEngine::create(const ConnectionDescription &description) const
{
    try {
        QSqlDatabase db = add(description);
        if (!db.open()) {
            if (!missingDatabase(SqlStatement::errorText(db.lastError())))
                connect(db, description);
            close(description.name);
            createDatabase(description);
            db = add(description);
            connect(db, description);
        }
        if (description.fill)
            description.fill(db);
        analyzeOwnTables(db);
    } catch (const EHostError &e) {
        close(description.name);
        throw EHostError(QStringLiteral("Não foi possível criar o banco de dados %1: %2").arg(description.where(), e.text()));
    }
    close(description.name);
}

bool PostgresEngine::drop(const ConnectionDescription &description) const
{
    const QString name = QStringLiteral("postgres-drop-") + QUuid::createUuid().toString(QUuid::Id128);
    bool dropped = false;
    {
        QSqlDatabase admin = addTo(description, QStringLiteral("postgres"), name);
        if (admin.open())
            dropped = QSqlQuery(admin).exec(
                QStringLiteral("DROP DATABASE IF EXISTS %1").arg(quotedIdentifier(description.location.path)));
    }
    close(name);
    return dropped;
}

bool PostgresEngine::onlyReads(const QSqlDatabase &, const QString &sql) const
{
    return PostgresStatements::onlyReads(sql);
}

namespace {

// The libpq connection of an open QPSQL connection, nullptr when none.
PGconn *connectionOf(const QSqlDatabase &db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    // The driver hands its PGconn over as "PGconn*" or by libpq's own name.
    if (qstrcmp(handle.typeName(), "PGconn*") != 0 && qstrcmp(handle.typeName(), "pg_conn*") != 0)
        return nullptr;
    return *static_cast<PGconn *const *>(handle.data());
}

} // namespace

DatabaseEngine::ServerProbe PostgresEngine::serverProbe(const QSqlDatabase &db) const
{
    PGconn *connection = connectionOf(db);
    const int fd = connection ? PQsocket(connection) : -1;
    if (fd < 0)
        return {};
    ServerProbe probe;
    probe.abort = [fd] { ::shutdown(fd, SHUT_RDWR); };
    // SSLRequest: a server answers it at once with one byte, before any login.
    const QString host = db.hostName();
    const int port = db.port() > 0 ? db.port() : 5432;
    probe.answers = [host, port](int timeoutMs) {
        static const QByteArray sslRequest("\x00\x00\x00\x08\x04\xd2\x16\x2f", 8);
        return ServerReply::arrives(host, port, sslRequest, timeoutMs);
    };
    return probe;
}

std::function<void()> PostgresEngine::interrupter(const QSqlDatabase &db) const
{
    PGconn *connection = connectionOf(db);
    if (!connection)
        return {};
    // The cancel object is made here, on the connection's thread; PQcancel
    // itself may be called from any thread.
    std::shared_ptr<PGcancel> cancel(PQgetCancel(connection), PQfreeCancel);
    if (!cancel)
        return {};
    return [cancel]() {
        char why[256];
        PQcancel(cancel.get(), why, int(sizeof why));
    };
}

void PostgresEngine::upgrade(const QSqlDatabase &db, const QString &schemaScript) const
{
    addWhenMissing(db, schemaScript, QStringLiteral("SELECT 1 WHERE to_regclass('conjparam') IS NOT NULL"),
                   QStringLiteral("CREATE TABLE CONJPARAM"));
    // The exact sum the report statements call came after the first databases.
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT 1 FROM pg_proc WHERE proname = 'decimal_sum'")) || q.next())
        return;
    q.finish();
    try {
        runStatementsHolding(db, schemaScript, {QStringLiteral("CREATE AGGREGATE DECIMAL_SUM")});
    } catch (const EHostError &) {
        // Without the right to create it the database stays as it is.
    }
}

QString PostgresEngine::where(const QSqlDatabase &db) const { return whereOf(db); }

QString PostgresEngine::whereOf(const QSqlDatabase &db)
{
    DatabaseLocation location;
    location.scheme = QStringLiteral("postgresql");
    location.host = db.hostName();
    location.port = db.port() > 0 ? db.port() : 5432;
    location.user = db.userName();
    location.path = db.databaseName();
    return locationOf(location);
}

namespace {

// A user or database name of a location, "%XX" decoded as UTF-8 bytes (as
// libpq reads a URI); false on a "%" not followed by two hex digits, or on
// bytes that are not UTF-8.
bool percentDecoded(const QString &text, QString &out)
{
    QByteArray bytes;
    const QByteArray raw = text.toUtf8();
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (raw[i] != '%') {
            bytes += raw[i];
            continue;
        }
        if (i + 2 >= raw.size() || !std::isxdigit(uchar(raw[i + 1])) || !std::isxdigit(uchar(raw[i + 2])))
            return false;
        bytes += char(raw.mid(i + 1, 2).toInt(nullptr, 16));
        i += 2;
    }
    auto decoder = QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    out = decoder.decode(bytes);
    return !decoder.hasError() && !out.contains(QChar(0));
}

// Encodes what percentDecoded() decodes, and the characters that would end
// the name where it stands; letters, digits and "-._~" stay as they are.
QString percentEncoded(const QString &name) { return QString::fromLatin1(name.toUtf8().toPercentEncoding()); }

} // namespace

QString PostgresEngine::locationOf(const DatabaseLocation &location)
{
    // Read back by readLocation(): names encoded as they were given.
    // Joined, not arg()-ed: the encoded names hold "%2F" and the like.
    return QStringLiteral("postgresql://") + (location.user.isEmpty() ? QString() : percentEncoded(location.user) + QLatin1Char('@'))
        + location.host + QLatin1Char(':') + QString::number(location.port) + QLatin1Char('/')
        + percentEncoded(location.path);
}

QString PostgresEngine::userOf(const ConnectionDescription &description) const
{
    if (!description.location.user.isEmpty())
        return description.location.user;
    if (!description.user.isEmpty())
        return description.user;
    const QString fromEnvironment = qEnvironmentVariable("PGUSER");
    return fromEnvironment.isEmpty() ? qEnvironmentVariable("USER") : fromEnvironment;
}

QString PostgresEngine::locationHint() const
{
    return QStringLiteral("No usuário e no banco, escreva %40 por @, %2F por /, %3F por ?, %3B por ;, %25 por % e %20 "
                          "por espaço.");
}

QString PostgresEngine::locationText(const DatabaseLocation &location) const { return locationOf(location); }

bool PostgresEngine::readLocation(const QString &rest, DatabaseLocation &location) const
{
    // "//[USER@]HOST[:PORT]/DATABASE": the user is what comes before the last
    // "@" of the part before the first "/"; a "/", "@", "?", ";", "%" or blank
    // in a name is written "%XX".
    if (!rest.startsWith(QLatin1String("//")))
        return false;
    const QString server = rest.mid(2);
    const int slash = int(server.indexOf(QLatin1Char('/')));
    if (slash <= 0)
        return false;
    QString authority = server.left(slash);
    const int at = int(authority.lastIndexOf(QLatin1Char('@')));
    if (at >= 0) {
        if (!percentDecoded(authority.left(at), location.user) || location.user.isEmpty())
            return false;
        authority = authority.mid(at + 1);
    }
    location.port = 5432;
    const QString database = server.mid(slash + 1);
    return readHostPort(authority, location) && !database.contains(QLatin1Char('/'))
        && !database.contains(QLatin1Char('?')) && percentDecoded(database, location.path);
}

QString PostgresEngine::tableQuery() const
{
    return QStringLiteral("SELECT 1 WHERE to_regclass('filial') IS NOT NULL");
}

void PostgresEngine::openReadOnly(QSqlDatabase &db) const
{
    db.setConnectOptions(db.connectOptions() + QStringLiteral(";options='-c %1=on'").arg(QLatin1String(kReadOnlyOption)));
    if (!db.open())
        throw EHostError(SqlStatement::errorText(db.lastError()));
    // One transaction for the whole report, read only from its first
    // statement on (it cannot be made read-write afterwards) and never committed.
    if (!db.transaction())
        throw EHostError(SqlStatement::errorText(db.lastError()));
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SET TRANSACTION READ ONLY")))
        throw EHostError(SqlStatement::errorText(q.lastError()));
}

void PostgresEngine::beforeClose(QSqlDatabase &db) const
{
    // A report's transaction is never committed (others hold none open).
    if (db.connectOptions().contains(QLatin1String(kReadOnlyOption)))
        db.rollback();
}
