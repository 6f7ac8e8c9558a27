#include "FirebirdEngine.h"
#include "FirebirdSharing.h"
#include "FirebirdStatements.h"
#include "core/Errors.h"
#include "data/SqlStatement.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <ibase.h>

static const DatabaseEngine::Registration registered(std::make_unique<FirebirdEngine>(), 2);

namespace {

QString quoted(const QString &s)
{
    QString out = s;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

// The database as the client library names it: HOST/PORT:PATH on a server.
QString clientTarget(const DatabaseLocation &location)
{
    if (location.isServer())
        return QStringLiteral("%1/%2:%3").arg(location.host).arg(location.port).arg(location.path);
    return location.path;
}

// The server's administrator when the configuration names no one.
QString userName(const ConnectionDescription &d) { return d.user.isEmpty() ? QStringLiteral("SYSDBA") : d.user; }
QString passwordOf(const ConnectionDescription &d)
{
    return d.user.isEmpty() && d.password.isEmpty() ? QStringLiteral("masterkey") : d.password;
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

// True when a failed connect took (almost) the whole connection timeout: the
// server accepted the connection and never answered.
bool timedOut(const DatabaseLocation &location, qint64 elapsedMs)
{
    return location.isServer() && elapsedMs >= (FirebirdSharing::kConnectTimeoutSeconds - 1) * 1000;
}

} // namespace

QString FirebirdEngine::connectFailureText(const ConnectionDescription &d, const QString &driverText,
                                           qint64 elapsedMs) const
{
    if (timedOut(d.location, elapsedMs))
        return QStringLiteral("O servidor Firebird em %1:%2 não respondeu em %3 s: aceitou a conexão, mas não atendeu. "
                              "Confira se o serviço do Firebird está funcionando nesse endereço e porta (banco de "
                              "dados %4; o cliente do Firebird disse: %5).")
            .arg(d.location.host)
            .arg(d.location.port)
            .arg((elapsedMs + 500) / 1000)
            .arg(d.where(), driverText);
    return QStringLiteral("Não foi possível abrir o banco de dados %1: %2").arg(d.where(), driverText);
}

namespace {

// Whether the server at host:port answers an attach within timeoutMs: any
// answer (a refusal of the made-up name included) comes at once from a live
// server; the client's connect time-out ends the wait for a silent one.
bool answersAttach(const QString &host, int port, int timeoutMs)
{
    const QByteArray target = QStringLiteral("%1/%2:merenda-sinal-de-vida").arg(host).arg(port).toUtf8();
    const int seconds = qMax(1, (timeoutMs + 999) / 1000);
    QByteArray dpb(1, char(isc_dpb_version1));
    dpb += char(isc_dpb_connect_timeout);
    dpb += char(4);
    for (int i = 0; i < 4; ++i)
        dpb += char((seconds >> (8 * i)) & 0xff);
    QElapsedTimer timer;
    timer.start();
    ISC_STATUS_ARRAY status = {};
    isc_db_handle db = 0;
    if (!isc_attach_database(status, short(target.size()), target.constData(), &db, short(dpb.size()), dpb.constData()))
        isc_detach_database(status, &db);
    return timer.elapsed() < qint64(seconds) * 1000 - 250;
}

} // namespace

void FirebirdEngine::upgrade(const QSqlDatabase &db, const QString &schemaScript) const
{
    addWhenMissing(db, schemaScript, QStringLiteral("SELECT 1 FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'CONJPARAM'"),
                   QStringLiteral("CREATE TABLE CONJPARAM"));
    // ITENS_LISTA came after the first databases were made.
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT 1 FROM RDB$PROCEDURES WHERE RDB$PROCEDURE_NAME = 'ITENS_LISTA'")) || q.next())
        return;
    q.finish();
    try {
        runStatementsHolding(db, schemaScript, {QStringLiteral("CREATE PROCEDURE ITENS_LISTA")});
    } catch (const EHostError &) {
        // Without the right to create it the database stays as it is.
    }
}

void FirebirdEngine::prepareClient() const
{
    // The client's configuration (connection timeout, shared files) is read at its first use.
    QString why;
    if (!FirebirdSharing::prepare(&why))
        throw EHostError(why);
}

QSqlDatabase FirebirdEngine::add(const ConnectionDescription &description) const
{
    QSqlDatabase db = DatabaseEngine::add(description);
    db.setUserName(userName(description));
    db.setPassword(passwordOf(description));
    return db;
}

void FirebirdEngine::connect(QSqlDatabase &db, const ConnectionDescription &description) const
{
    QElapsedTimer timer;
    timer.start();
    if (db.open())
        return;
    const QString said = SqlStatement::errorText(db.lastError());
    // The server's words for a wrong user or password (status 335544472).
    if (description.location.isServer() && said.contains(QLatin1String("user name and password are not defined")))
        throw ELoginRefused(QStringLiteral("O servidor Firebird em %1:%2 recusou o acesso do usuário %3: o usuário "
                                           "ou a senha estão errados. Informe a senha certa (ao entrar no "
                                           "programa; para roteiros, em ISC_PASSWORD ou em [database] password= "
                                           "num arquivo só seu) ou peça ao administrador do banco que confira o "
                                           "usuário.")
                                .arg(description.location.host)
                                .arg(description.location.port)
                                .arg(userName(description)));
    throw EHostError(connectFailureText(description, said, timer.elapsed()));
}

bool FirebirdEngine::toCreate(const ConnectionDescription &description) const
{
    if (!description.create)
        return false;
    if (!description.location.isServer())
        return !QFileInfo::exists(description.location.path);
    QElapsedTimer timer;
    timer.start();
    bool opened = false;
    QString why;
    {
        QSqlDatabase probe = add(description);
        opened = probe.open();
        why = SqlStatement::errorText(probe.lastError());
        probe.close();
    }
    close(description.name);
    if (!opened && timedOut(description.location, timer.elapsed()))
        throw EHostError(connectFailureText(description, why, timer.elapsed()));
    return !opened;
}

void FirebirdEngine::createEmpty(const ConnectionDescription &description)
{
    // CREATE DATABASE takes no parameters; the quoted texts are escaped.
    const QString sql = QStringLiteral("CREATE DATABASE %1 USER %2 PASSWORD %3 PAGE_SIZE 8192 "
                                       "DEFAULT CHARACTER SET WIN1252")
                            .arg(quoted(clientTarget(description.location)), quoted(userName(description)),
                                 quoted(passwordOf(description)));
    const QByteArray bytes = sql.toUtf8();
    ISC_STATUS_ARRAY status = {};
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    if (isc_dsql_execute_immediate(status, &db, &tr, 0, bytes.constData(), 3, nullptr))
        throw EHostError(QStringLiteral("Não foi possível criar o banco de dados %1: %2")
                             .arg(description.where(), statusText(status)));
    isc_detach_database(status, &db);
}

void FirebirdEngine::create(const ConnectionDescription &description) const
{
    createEmpty(description);
    try {
        QSqlDatabase db = add(description);
        connect(db, description);
        if (description.fill)
            description.fill(db);
    } catch (const EHostError &e) {
        close(description.name);
        // A half-made database would pass for one at the next start.
        drop(description);
        throw EHostError(QStringLiteral("Não foi possível criar o banco de dados %1: %2").arg(description.where(), e.text()));
    }
    close(description.name);
}

bool FirebirdEngine::drop(const ConnectionDescription &description) const
{
    prepareClient();
    const QByteArray target = clientTarget(description.location).toUtf8();
    const QByteArray user = userName(description).toUtf8(), password = passwordOf(description).toUtf8();
    // Database parameter block: version, user name, password.
    QByteArray dpb(1, char(isc_dpb_version1));
    dpb += char(isc_dpb_user_name);
    dpb += char(user.size());
    dpb += user;
    dpb += char(isc_dpb_password);
    dpb += char(password.size());
    dpb += password;
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

std::function<void()> FirebirdEngine::interrupter(const QSqlDatabase &db) const
{
    isc_db_handle h = 0;
    if (!FirebirdStatements::attachment(db, h))
        return {};
    return [h]() mutable {
        ISC_STATUS_ARRAY status = {};
        fb_cancel_operation(status, &h, fb_cancel_raise);
    };
}

DatabaseEngine::ServerProbe FirebirdEngine::serverProbe(const QSqlDatabase &db) const
{
    isc_db_handle h = 0;
    if (db.hostName().isEmpty() || !FirebirdStatements::attachment(db, h))
        return {};
    ServerProbe probe;
    // fb_cancel_abort closes the client side of the attachment at once.
    probe.abort = [h]() mutable {
        ISC_STATUS_ARRAY status = {};
        fb_cancel_operation(status, &h, fb_cancel_abort);
    };
    const QString host = db.hostName();
    const int port = db.port() > 0 ? db.port() : 3050;
    probe.answers = [host, port](int timeoutMs) { return answersAttach(host, port, timeoutMs); };
    return probe;
}

bool FirebirdEngine::onlyReads(const QSqlDatabase &db, const QString &sql) const
{
    return FirebirdStatements::kindOf(db, sql) != FirebirdStatements::Kind::Changes;
}

QString FirebirdEngine::userOf(const ConnectionDescription &description) const { return userName(description); }

bool FirebirdEngine::readLocation(const QString &rest, DatabaseLocation &location) const
{
    if (!rest.startsWith(QLatin1String("//"))) {
        location.path = rest;
        return true;
    }
    const QString server = rest.mid(2);
    const int slash = int(server.indexOf(QLatin1Char('/')));
    location.port = 3050;
    if (slash <= 0 || !readHostPort(server.left(slash), location))
        return false;
    QString path = server.mid(slash); // starts with '/'
    if (path.startsWith(QLatin1String("//")))
        path = path.mid(1);
    else if (!path.mid(1).contains(QLatin1Char('/')))
        path = path.mid(1); // an alias
    location.path = path;
    return true;
}

QString FirebirdEngine::locationText(const DatabaseLocation &location) const
{
    if (!location.isServer())
        return QStringLiteral("firebird:") + location.path;
    // An absolute path keeps its own slash after the separating one.
    return QStringLiteral("firebird://%1:%2/%3").arg(location.host).arg(location.port).arg(location.path);
}

QString FirebirdEngine::where(const QSqlDatabase &db) const
{
    if (db.hostName().isEmpty())
        return db.databaseName();
    return QStringLiteral("firebird://%1:%2/%3").arg(db.hostName()).arg(db.port()).arg(db.databaseName());
}

QString FirebirdEngine::tableQuery() const
{
    return QStringLiteral("SELECT RDB$RELATION_NAME FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'FILIAL'");
}

void FirebirdEngine::openReadOnly(QSqlDatabase &db) const
{
    if (!db.open())
        throw EHostError(SqlStatement::errorText(db.lastError()));
    // Every statement runs in this transaction, not in one the driver commits.
    if (!db.transaction())
        throw EHostError(SqlStatement::errorText(db.lastError()));
}

void FirebirdEngine::beforeClose(QSqlDatabase &db) const
{
    // Nothing a connection left uncommitted is kept (and Firebird will not
    // detach with a transaction open).
    db.rollback();
}
