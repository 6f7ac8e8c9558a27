#include "CostsOptions.h"

#include "core/Errors.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QSettings>
#include <limits>

namespace {

struct Parser {
    QCommandLineParser p;
    QCommandLineOption help{QStringList{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Mostra estas opções.")};
    QCommandLineOption db{QStringLiteral("db"),
                          QStringLiteral("Banco de dados: sqlite:CAMINHO, firebird:CAMINHO ou "
                                         "firebird://SERVIDOR:PORTA/CAMINHO."),
                          QStringLiteral("location")};
    QCommandLineOption listen{QStringLiteral("listen"),
                              QStringLiteral("Endereço e porta de escuta (padrão 127.0.0.1:0; a porta 0 escolhe uma "
                                             "livre)."),
                              QStringLiteral("host:port")};
    QCommandLineOption config{QStringLiteral("config"),
                              QStringLiteral("Arquivo INI com a seção [costs] (db, listen, user, password, token, "
                                             "workers, first_request_timeout_ms, read_timeout_ms, idle_timeout_ms, "
                                             "max_clients, max_unsent_bytes)."),
                              QStringLiteral("file")};
    QCommandLineOption user{QStringLiteral("user"), QStringLiteral("Usuário do Firebird."), QStringLiteral("name")};
    QCommandLineOption password{QStringLiteral("password"), QStringLiteral("Senha do Firebird."),
                                QStringLiteral("text")};
    QCommandLineOption exitWithStdin{QStringLiteral("exit-with-stdin"),
                                     QStringLiteral("Termina quando a entrada padrão fecha (o processo que o "
                                                    "iniciou terminou).")};

    Parser()
    {
        p.setApplicationDescription(QStringLiteral(
            "Servidor de custos: atende o objeto remoto \"Vbr.rdmCustProd\" (tipos de custo) por TCP.\n"
            "Ao começar a escutar, escreve na saída padrão uma linha \"LISTENING <endereço> <porta>\".\n"
            "Com token= em --config (ou COSTS_TOKEN no ambiente), só atende quem o apresenta no \"Open\"."));
        p.addOption(help);
        p.addOptions({db, listen, config, user, password, exitWithStdin});
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
    helpText = o.p.helpText();
    if (!o.p.parse(arguments)) {
        error = o.p.errorText();
        return false;
    }
    if (o.p.isSet(o.help)) {
        help = true;
        return true;
    }
    if (!o.p.positionalArguments().isEmpty()) {
        error = QStringLiteral("Argumento inesperado: %1").arg(o.p.positionalArguments().first());
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
    if (!QFileInfo(file).isReadable()) {
        error = QStringLiteral("Arquivo de configuração ilegível: %1").arg(file);
        return false;
    }
    QSettings ini(file, QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("costs"));
    db = ini.value(QStringLiteral("db")).toString();
    listen = ini.value(QStringLiteral("listen")).toString();
    user = ini.value(QStringLiteral("user"), user).toString();
    password = ini.value(QStringLiteral("password"), password).toString();
    token = ini.value(QStringLiteral("token"), token).toString();
    return readNumbers(ini, file, error);
}

bool CostsOptions::readNumbers(QSettings &ini, const QString &file, QString &error)
{
    bool ok = true;
    auto number = [&](const char *key, qint64 current, qint64 min) {
        const QVariant v = ini.value(QLatin1String(key));
        if (!v.isValid() || !ok)
            return current;
        bool good = false;
        const qint64 n = v.toString().toLongLong(&good);
        if (!good || n < min || n > std::numeric_limits<int>::max()) {
            error = QStringLiteral("Valor inválido para %1 em %2: \"%3\".").arg(QLatin1String(key), file, v.toString());
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
        error = QStringLiteral("Endereço de escuta inválido: %1 (use ENDEREÇO:PORTA).").arg(listen);
        return false;
    }
    return true;
}
