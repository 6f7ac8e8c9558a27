// PostgreSQL's failures, classified and told in the user's words. libpq hands over no code
// for a failed connect, only its text (and the server's, in the server's
// language): both English and Portuguese words are looked for.
#include "PostgresDialect.h"
#include "PostgresEngine.h"
#include "PostgresPasswordFile.h"
#include "data/SqlStatement.h"

#include <QSqlError>

namespace {

bool saysAny(const QString &text, std::initializer_list<const char *> words)
{
    for (const char *w : words)
        if (text.contains(QString::fromUtf8(w), Qt::CaseInsensitive)) // UTF-8: "Conexão recusada"
            return true;
    return false;
}

QString shortText(const QString &text)
{
    QString out = text.simplified().left(100);
    while (out.endsWith(QLatin1Char('.')))
        out.chop(1);
    return out;
}

QString userOf(const ConnectionDescription &d)
{
    const QString user = d.location.user.isEmpty() ? d.user : d.location.user;
    return user.isEmpty() ? QStringLiteral("(o usuário do sistema)") : user.left(100);
}

} // namespace

bool PostgresEngine::loginRefused(const QString &driverText)
{
    return saysAny(driverText, {"password authentication failed", "authentication failed", "no password supplied",
                                "autenticação", "nenhuma senha"});
}

QString PostgresEngine::connectFailureText(const ConnectionDescription &d, const QString &driverText,
                                          qint64 elapsedMs) const
{
    const QString server = QStringLiteral("%1:%2").arg(d.location.host.left(100)).arg(d.location.port);
    const QString said = shortText(driverText);
    if (saysAny(driverText, {"timeout expired", "tempo esgotado"}) || elapsedMs >= (kConnectTimeoutSeconds - 1) * 1000)
        return QStringLiteral("O servidor PostgreSQL em %1 não respondeu em %2 s: aceitou a conexão, mas não atendeu. "
                              "Confira se o serviço do PostgreSQL está funcionando nesse endereço e porta (banco de "
                              "dados %3).")
            .arg(server)
            .arg((elapsedMs + 500) / 1000)
            .arg(d.where().left(100));
    const QString ignoredFile = PostgresPasswordFile::ignoredFile();
    if (loginRefused(driverText) && d.password.isEmpty() && qEnvironmentVariableIsEmpty("PGPASSWORD")
        && !ignoredFile.isEmpty())
        return QStringLiteral("O servidor PostgreSQL em %1 recusou o acesso do usuário %2: a senha não foi enviada, "
                              "porque o arquivo de senhas %3 pode ser lido por outros usuários desta máquina, e o "
                              "PostgreSQL não usa um arquivo assim. Deixe-o só para o seu dono com: chmod 600 %3")
            .arg(server, userOf(d), ignoredFile);
    if (loginRefused(driverText))
        return QStringLiteral("O servidor PostgreSQL em %1 recusou o acesso do usuário %2: a senha está errada ou "
                              "não foi informada. Informe a senha certa (ao entrar no programa; para roteiros, em "
                              "PGPASSWORD ou ~/.pgpass, ou em [database] password= num arquivo só seu) ou peça ao "
                              "administrador do banco que confira o usuário.")
            .arg(server, userOf(d));
    if (saysAny(driverText, {"role", "papel"}) && saysAny(driverText, {"does not exist", "não existe"}))
        return QStringLiteral("O servidor PostgreSQL em %1 não conhece o usuário %2. Confira o usuário no endereço "
                              "do banco (postgresql://USUARIO@SERVIDOR:PORTA/BANCO) ou peça ao administrador que o crie.")
            .arg(server, userOf(d));
    if (saysAny(driverText, {"does not exist", "não existe"}))
        return QStringLiteral("O banco de dados %1 não existe no servidor PostgreSQL em %2. Confira o nome do banco, "
                              "ou crie-o com --create-database.")
            .arg(d.location.path.left(100), server);
    if (saysAny(driverText, {"Connection refused", "Conexão recusada", "could not translate host name",
                             "No route to host", "Network is unreachable"}))
        return QStringLiteral("Não foi possível conectar ao servidor PostgreSQL em %1: não há servidor ouvindo nesse "
                              "endereço e porta, ou o nome do servidor não existe. Confira o endereço e se o "
                              "PostgreSQL está no ar (o cliente disse: %2).")
            .arg(server, said);
    if (saysAny(driverText, {"pg_hba.conf", "permission denied", "permissão negada"}))
        return QStringLiteral("O servidor PostgreSQL em %1 não permite que o usuário %2 use o banco %3. Peça ao "
                              "administrador do banco o direito de conexão (pg_hba.conf, GRANT CONNECT); o servidor "
                              "disse: %4")
            .arg(server, userOf(d), d.location.path.left(100), said);
    return QStringLiteral("Não foi possível abrir o banco de dados %1: %2").arg(d.where().left(100), said);
}

DatabaseFailure PostgresDialect::failure(const QSqlDatabase &db, const QSqlError &error) const
{
    DatabaseFailure f = SqlDialect::failure(db, error);
    const QString code = error.nativeErrorCode();
    const QString text = error.databaseText() + QLatin1Char(' ') + error.driverText();
    // 57P01-57P03: the server is shutting down or restarting; 08xxx: the connection.
    if (code.startsWith(QLatin1String("57P0")) || code.startsWith(QLatin1String("08"))
        || saysAny(text, {"server closed the connection unexpectedly", "no connection to the server",
                          "could not receive data from server", "could not send data to server",
                          "terminating connection", "connection to server was lost", "SSL SYSCALL error",
                          "connection not open", "Connection reset by peer"})) {
        f.kind = DatabaseFailure::Kind::ConnectionLost;
    } else if (code == QLatin1String("25006")) {
        f.kind = DatabaseFailure::Kind::ReadOnly;
        f.advice = QStringLiteral("A instrução foi recusada: por esta conexão o banco de dados %1 só pode ser "
                                  "consultado (a de um relatório não grava). O PostgreSQL disse: %2")
                       .arg(PostgresEngine::whereOf(db).left(100), shortText(f.engineText));
    } else if (code == QLatin1String("42501")) {
        f.kind = DatabaseFailure::Kind::Permission;
        f.advice = QStringLiteral("O banco de dados %2 recusou a instrução por falta de permissão do usuário %1. Se "
                                  "é uma leitura de que precisa, peça ao administrador do banco o direito de leitura "
                                  "(GRANT SELECT); o PostgreSQL disse: %3")
                       .arg(db.userName().left(100), PostgresEngine::whereOf(db).left(100), shortText(f.engineText));
    } else if (code == QLatin1String("57014")) {
        f.kind = DatabaseFailure::Kind::TimedOut;
    } else if (code.startsWith(QLatin1String("42")) || code.startsWith(QLatin1String("22"))) {
        f.kind = DatabaseFailure::Kind::BadStatement;
    }
    return f;
}
