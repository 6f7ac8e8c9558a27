#include "CostsOptions.h"

#include "appdata/CommandLineText.h"
#include "appdata/IniFile.h"
#include "core/Errors.h"
#include "core/QuotedText.h"
#include "remote/RemoteProtocol.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QHash>
#include <limits>
#include <sys/resource.h>

namespace {

// The keys of [costs]; any other is refused, so a mistyped one never goes unnoticed.
const QStringList kKeys = {QStringLiteral("db"), QStringLiteral("listen"), QStringLiteral("user"),
                           QStringLiteral("password"), QStringLiteral("token"), QStringLiteral("workers"),
                           QStringLiteral("first_request_timeout_ms"), QStringLiteral("read_timeout_ms"),
                           QStringLiteral("idle_timeout_ms"), QStringLiteral("max_clients"),
                           QStringLiteral("max_unsent_bytes")};

// Open files a worker may hold: its thread's event notifier and its database
// connection with the journal files beside it.
constexpr int kFilesPerWorker = 4;
// Open files the program holds besides its workers and clients: standard
// streams, the listening socket, the signal pipe, the database client's own.
constexpr int kFilesReserved = 32;

struct Parser {
    QCommandLineParser p;
    QCommandLineOption help{QStringList{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Mostra estas opções.")};
    QCommandLineOption db{QStringLiteral("db"),
                          QStringLiteral("Banco de dados: sqlite:CAMINHO, firebird:CAMINHO, "
                                         "firebird://SERVIDOR:PORTA/CAMINHO ou "
                                         "postgresql://USUARIO@SERVIDOR:PORTA/BANCO."),
                          QStringLiteral("LOCAL")};
    QCommandLineOption listen{QStringLiteral("listen"),
                              QStringLiteral("Endereço e porta de escuta (padrão 127.0.0.1:0; a porta 0 escolhe uma "
                                             "livre)."),
                              QStringLiteral("ENDEREÇO:PORTA")};
    QCommandLineOption config{QStringLiteral("config"),
                              QStringLiteral("Arquivo INI com a seção [costs] (db, listen, user, password, token, "
                                             "workers, first_request_timeout_ms, read_timeout_ms, idle_timeout_ms, "
                                             "max_clients, max_unsent_bytes)."),
                              QStringLiteral("ARQUIVO")};
    QCommandLineOption user{QStringLiteral("user"), QStringLiteral("Usuário do Firebird."), QStringLiteral("NOME")};
    QCommandLineOption password{QStringLiteral("password"), QStringLiteral("Senha do Firebird."),
                                QStringLiteral("SENHA")};
    QCommandLineOption exitWithStdin{QStringLiteral("exit-with-stdin"),
                                     QStringLiteral("Termina quando a entrada padrão fecha (o processo que o "
                                                    "iniciou terminou).")};

    Parser() { p.addOptions(all()); }
    QList<QCommandLineOption> all() const { return {help, db, listen, config, user, password, exitWithStdin}; }

    // The help in Portuguese (QCommandLineParser's own is in English).
    QString helpText(const QString &program) const
    {
        return CommandLineText::help(
            program,
            QStringLiteral("Servidor de custos do Merenda Escolar: atende o objeto remoto\n"
                           "\"Vbr.rdmCustProd\" (tipos de custo) por TCP."),
            all(),
            QStringLiteral("Ao começar a escutar, escreve na saída padrão uma linha \"LISTENING <endereço> "
                           "<porta>\".\n"
                           "Com token= em --config (ou COSTS_TOKEN no ambiente; até 4096 bytes), só atende quem o "
                           "apresenta no \"Open\"; cada chave errada vai para a saída de erros com o endereço de quem "
                           "a mandou, e depois de 5 seguidas as tentativas desse endereço esperam cada vez mais. "
                           "O usuário e a senha do Firebird também podem vir de ISC_USER e ISC_PASSWORD; a senha do "
                           "PostgreSQL, de PGPASSWORD ou ~/.pgpass.\n"
                           "Códigos de saída: 0 tudo certo; 1 falha ao abrir o banco ou ao escutar; 2 opção ou "
                           "valor de configuração inválido."));
    }
};

} // namespace

bool CostsOptions::parseListen(const QString &text, QHostAddress &address, quint16 &port)
{
    const int colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;
    QString host = text.left(colon);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    bool ok = false;
    const int p = text.mid(colon + 1).toInt(&ok);
    if (!ok || p < 0 || p > 65535)
        return false;
    QHostAddress a;
    if (host == QLatin1String("localhost"))
        a = QHostAddress(QHostAddress::LocalHost);
    else if (!a.setAddress(host))
        return false;
    address = a;
    port = quint16(p);
    return true;
}

bool CostsOptions::parse(const QStringList &arguments, QString &error)
{
    Parser o;
    helpText = o.helpText(QFileInfo(arguments.value(0, QStringLiteral("merenda-costs"))).fileName());
    if (!o.p.parse(arguments)) {
        error = CommandLineText::parseError(o.p, arguments, o.all());
        return false;
    }
    if (o.p.isSet(o.help)) {
        help = true;
        return true;
    }
    if (!o.p.positionalArguments().isEmpty()) {
        error = QStringLiteral("Argumento inesperado: \"%1\".").arg(QuotedText::clip(o.p.positionalArguments().first()));
        return false;
    }
    QString db, listen;
    // Empty: the engine's default (Firebird SYSDBA/masterkey, PostgreSQL ~/.pgpass).
    user = qEnvironmentVariable("ISC_USER");
    password = qEnvironmentVariable("ISC_PASSWORD");
    token = qEnvironmentVariable("COSTS_TOKEN");
    if (o.p.isSet(o.config) && !readIni(o.p.value(o.config), db, listen, error))
        return false;
    if (o.p.isSet(o.db))
        db = o.p.value(o.db);
    if (o.p.isSet(o.listen))
        listen = o.p.value(o.listen);
    if (o.p.isSet(o.user))
        user = o.p.value(o.user);
    if (o.p.isSet(o.password))
        password = o.p.value(o.password);
    exitWithStdin = o.p.isSet(o.exitWithStdin);
    return finish(db, listen, error);
}

bool CostsOptions::readIni(const QString &file, QString &db, QString &listen, QString &error)
{
    Values values;
    try {
        for (const IniFile::Entry &e : IniFile::read(file)) {
            if (!e.key.startsWith(QLatin1String("costs/")))
                continue; // another program's section
            const QString key = e.key.mid(6);
            if (!kKeys.contains(key)) {
                error = QStringLiteral("Arquivo de configuração %1, linha %2: chave desconhecida \"[costs] %3\" (as "
                                       "chaves são %4).")
                            .arg(file, QString::number(e.line), QuotedText::clip(key),
                                 kKeys.join(QStringLiteral(", ")));
                return false;
            }
            values.insert(key, e);
        }
    } catch (const EHostError &e) {
        error = e.text();
        return false;
    }
    auto text = [&values](const char *key, const QString &current) {
        const auto it = values.constFind(QLatin1String(key));
        return it == values.cend() ? current : it->value;
    };
    db = text("db", db);
    listen = text("listen", listen);
    user = text("user", user);
    password = text("password", password);
    token = text("token", token);
    return readNumbers(values, file, error);
}

bool CostsOptions::readNumbers(const Values &values, const QString &file, QString &error)
{
    bool ok = true;
    auto number = [&](const char *key, qint64 current, qint64 min) {
        const auto it = values.constFind(QLatin1String(key));
        if (it == values.cend() || !ok)
            return current;
        bool good = false;
        const qint64 n = it->value.toLongLong(&good);
        const qint64 max = std::numeric_limits<int>::max();
        if (!good || n < min || n > max) {
            error = QStringLiteral("Arquivo de configuração %1, linha %2: [costs] %3: valor inválido \"%4\" (use um "
                                   "número inteiro de %5 a %6).")
                        .arg(file, QString::number(it->line), QLatin1String(key), QuotedText::clip(it->value),
                             QString::number(min), QString::number(max));
            ok = false;
            return current;
        }
        return n;
    };
    workers = int(number("workers", workers, 1));
    firstRequestTimeoutMs = int(number("first_request_timeout_ms", firstRequestTimeoutMs, 1));
    readTimeoutMs = int(number("read_timeout_ms", readTimeoutMs, 1));
    idleTimeoutMs = int(number("idle_timeout_ms", idleTimeoutMs, 1));
    maxClients = int(number("max_clients", maxClients, 1));
    maxUnsentBytes = number("max_unsent_bytes", maxUnsentBytes, 1024);
    return ok;
}

qint64 CostsOptions::openFileLimit()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY
        || limit.rlim_cur > rlim_t(std::numeric_limits<qint64>::max()))
        return -1;
    return qint64(limit.rlim_cur);
}

int CostsOptions::workersAllowed(qint64 fileLimit, int clients)
{
    if (fileLimit < 0)
        return std::numeric_limits<int>::max();
    const qint64 n = (fileLimit - kFilesReserved - clients) / kFilesPerWorker;
    return n < 0 ? 0 : int(qMin<qint64>(n, std::numeric_limits<int>::max()));
}

bool CostsOptions::checkBounds(QString &error) const
{
    const qsizetype tokenBytes = token.toUtf8().size();
    if (tokenBytes > RemoteProtocol::kMaxToken) {
        error = QStringLiteral("A chave de acesso (token) tem %1 bytes; o limite é %2, pois uma chave maior não caberia "
                               "num pedido. Use uma chave menor, a mesma na configuração do shell.")
                    .arg(tokenBytes).arg(RemoteProtocol::kMaxToken);
        return false;
    }
    const qint64 files = openFileLimit();
    const int allowed = workersAllowed(files, maxClients);
    if (allowed < 1) {
        error = QStringLiteral("max_clients=%1 não cabe no limite de arquivos abertos deste processo (%2; veja ulimit "
                               "-n): cada cliente ocupa um. Diminua max_clients ou aumente o limite.")
                    .arg(maxClients).arg(files);
        return false;
    }
    if (workers > allowed) {
        error = QStringLiteral("workers=%1 passa do que o limite de arquivos abertos deste processo (%2; veja ulimit "
                               "-n) permite: no máximo %3 com max_clients=%4. Diminua workers (ou max_clients), ou "
                               "aumente o limite.")
                    .arg(workers).arg(files).arg(allowed).arg(maxClients);
        return false;
    }
    return true;
}

CostsServer::Limits CostsOptions::limits() const
{
    CostsServer::Limits l;
    l.firstRequestTimeoutMs = firstRequestTimeoutMs;
    l.readTimeoutMs = readTimeoutMs;
    l.idleTimeoutMs = idleTimeoutMs;
    l.maxClients = maxClients;
    l.maxUnsentBytes = maxUnsentBytes;
    return l;
}

bool CostsOptions::finish(const QString &db, const QString &listen, QString &error)
{
    if (db.isEmpty()) {
        error = QStringLiteral("Falta o banco de dados (--db ou db= em --config).");
        return false;
    }
    try {
        this->db = DatabaseLocation::parse(db);
    } catch (const EHostError &e) {
        error = e.text();
        return false;
    }
    database = db;
    if (!listen.isEmpty() && !parseListen(listen, address, port)) {
        error = QStringLiteral("Endereço de escuta inválido: \"%1\" (use ENDEREÇO:PORTA).").arg(QuotedText::clip(listen));
        return false;
    }
    return checkBounds(error);
}
