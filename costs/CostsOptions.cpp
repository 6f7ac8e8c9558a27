#include "CostsOptions.h"

#include "toolkit/Errors.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QSettings>

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
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Servidor de custos: atende o objeto remoto \"Vbr.rdmCustProd\" (tipos de custo) por TCP.\n"
        "Ao começar a escutar, escreve na saída padrão uma linha \"LISTENING <endereço> <porta>\"."));
    const QCommandLineOption helpOpt(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                     QStringLiteral("Mostra estas opções."));
    const QCommandLineOption dbOpt(QStringLiteral("db"),
                                   QStringLiteral("Banco de dados: sqlite:CAMINHO, firebird:CAMINHO ou "
                                                  "firebird://SERVIDOR:PORTA/CAMINHO."),
                                   QStringLiteral("location"));
    const QCommandLineOption listenOpt(QStringLiteral("listen"),
                                       QStringLiteral("Endereço e porta de escuta (padrão 127.0.0.1:0; a porta 0 "
                                                      "escolhe uma livre)."),
                                       QStringLiteral("host:port"));
    const QCommandLineOption configOpt(QStringLiteral("config"),
                                       QStringLiteral("Arquivo INI com a seção [costs] (db, listen, user, password, "
                                                      "read_timeout_ms, idle_timeout_ms, max_clients)."),
                                       QStringLiteral("file"));
    const QCommandLineOption userOpt(QStringLiteral("user"), QStringLiteral("Usuário do Firebird."),
                                     QStringLiteral("name"));
    const QCommandLineOption passOpt(QStringLiteral("password"), QStringLiteral("Senha do Firebird."),
                                     QStringLiteral("text"));
    const QCommandLineOption stdinOpt(QStringLiteral("exit-with-stdin"),
                                      QStringLiteral("Termina quando a entrada padrão fecha (o processo que o "
                                                     "iniciou terminou)."));
    p.addOption(helpOpt);
    p.addOptions({dbOpt, listenOpt, configOpt, userOpt, passOpt, stdinOpt});
    helpText = p.helpText();
    if (!p.parse(arguments)) {
        error = p.errorText();
        return false;
    }
    if (p.isSet(helpOpt)) {
        help = true;
        return true;
    }
    if (!p.positionalArguments().isEmpty()) {
        error = QStringLiteral("Argumento inesperado: %1").arg(p.positionalArguments().first());
        return false;
    }

    QString db, listen;
    user = qEnvironmentVariable("ISC_USER", QStringLiteral("SYSDBA"));
    password = qEnvironmentVariable("ISC_PASSWORD", QStringLiteral("masterkey"));
    if (p.isSet(configOpt)) {
        const QString file = p.value(configOpt);
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
        bool ok = true;
        auto number = [&](const char *key, int current, int min) {
            const QVariant v = ini.value(QLatin1String(key));
            if (!v.isValid())
                return current;
            bool good = false;
            const int n = v.toString().toInt(&good);
            if (!good || n < min) {
                error = QStringLiteral("Valor inválido para %1 em %2.").arg(QLatin1String(key), file);
                ok = false;
                return current;
            }
            return n;
        };
        readTimeoutMs = number("read_timeout_ms", readTimeoutMs, 1);
        idleTimeoutMs = number("idle_timeout_ms", idleTimeoutMs, 1);
        maxClients = number("max_clients", maxClients, 1);
        if (!ok)
            return false;
    }
    if (p.isSet(dbOpt))
        db = p.value(dbOpt);
    if (p.isSet(listenOpt))
        listen = p.value(listenOpt);
    if (p.isSet(userOpt))
        user = p.value(userOpt);
    if (p.isSet(passOpt))
        password = p.value(passOpt);
    exitWithStdin = p.isSet(stdinOpt);

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
