#include "ShellConfig.h"
#include "CommandLineText.h"
#include "EConfigError.h"
#include "IniFile.h"
#include "core/Errors.h"
#include "core/QuotedText.h"
#include "remote/RemoteProtocol.h"

#include <QCommandLineParser>
#include <QDir>
#include <QStandardPaths>

ShellConfig::ShellConfig() : database(defaultDatabase()) {}

QString ShellConfig::defaultDatabase()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (dir.isEmpty())
        dir = QDir::homePath();
    return QStringLiteral("sqlite:") + QDir(dir).filePath(QStringLiteral("xev-demo.sqlite"));
}

QString ShellConfig::defaultConfigFile()
{
    return QStandardPaths::locate(QStandardPaths::AppConfigLocation, QStringLiteral("shell.ini"));
}

QString ShellConfig::userConfigFile()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)).filePath(QStringLiteral("shell.ini"));
}

namespace {
bool parseBool(const QString &text, bool &value)
{
    static const QStringList yes = {QStringLiteral("true"), QStringLiteral("1"), QStringLiteral("sim"),
                                    QStringLiteral("yes"), QStringLiteral("on")};
    static const QStringList no = {QStringLiteral("false"), QStringLiteral("0"), QStringLiteral("não"),
                                   QStringLiteral("nao"), QStringLiteral("no"), QStringLiteral("off")};
    if (yes.contains(text, Qt::CaseInsensitive))
        value = true;
    else if (no.contains(text, Qt::CaseInsensitive))
        value = false;
    else
        return false;
    return true;
}

// A whole number from low to high into *target; the text says why not.
QString setNumber(int *target, const QString &v, int low, int high)
{
    bool ok = false;
    const int n = v.trimmed().toInt(&ok);
    if (!ok || n < low || n > high)
        return QStringLiteral("valor inválido: \"%1\" (use um número de %2 a %3).").arg(QuotedText::clip(v)).arg(low).arg(high);
    *target = n;
    return QString();
}

// Sets one value of the configuration; the text says why it cannot (empty: it did).
using Setter = QString (*)(ShellConfig &config, const QString &value);

struct Key {
    const char *name;     // "section/key" in the INI file
    const char *option;   // the command-line option that sets it too
    Setter set;
};

// Every key the INI file may hold. A key not listed here is refused, so a
// mistyped one never goes unnoticed.
const Key keys[] = {
    {"database/location", "database", [](ShellConfig &c, const QString &v) {
         try {
             DatabaseLocation::parse(v);
         } catch (const EHostError &e) {
             return e.text();
         }
         c.database = v;
         return QString();
     }},
    {"database/user", "db-user", [](ShellConfig &c, const QString &v) { c.user = v; return QString(); }},
    {"database/password", "db-password", [](ShellConfig &c, const QString &v) { c.password = v; return QString(); }},
    {"database/create", nullptr, [](ShellConfig &c, const QString &v) {
         return parseBool(v, c.createDatabase) ? QString()
                                                : QStringLiteral("valor inválido: \"%1\" (use true ou false).")
                                                      .arg(QuotedText::clip(v));
     }},
    {"shell/branch", "branch", [](ShellConfig &c, const QString &v) {
         if (v.trimmed().isEmpty())
             return QStringLiteral("o código da filial não pode ficar vazio.");
         c.branch = v.trimmed();
         return QString();
     }},
    {"costs/host", "costs-host", [](ShellConfig &c, const QString &v) {
         if (v.trimmed().isEmpty())
             return QStringLiteral("o endereço do servidor de custos não pode ficar vazio.");
         c.costsHost = v.trimmed();
         return QString();
     }},
    {"costs/port", "costs-port", [](ShellConfig &c, const QString &v) {
         const int port = ShellConfig::parsePort(v, true);
         if (port < 0)
             return QStringLiteral("porta inválida: \"%1\" (use um número de 1 a 65535, ou 0 para o programa "
                                   "iniciar o seu próprio servidor de custos).").arg(QuotedText::clip(v));
         c.costsPort = port;
         return QString();
     }},
    {"costs/token", nullptr, [](ShellConfig &c, const QString &v) {
         // Never quoted: it is a secret.
         const qsizetype bytes = v.toUtf8().size();
         if (bytes > RemoteProtocol::kMaxToken)
             return QStringLiteral("a chave de acesso tem %1 bytes; o limite é %2, pois uma chave maior não caberia "
                                   "num pedido ao servidor de custos. Use uma chave menor, a mesma na configuração "
                                   "do servidor de custos.").arg(bytes).arg(RemoteProtocol::kMaxToken);
         c.costsToken = v;
         return QString();
     }},
    {"mail/host", nullptr, [](ShellConfig &c, const QString &v) { c.mail.host = v.trimmed(); return QString(); }},
    {"mail/port", nullptr, [](ShellConfig &c, const QString &v) { return setNumber(&c.mail.port, v, 1, 65535); }},
    {"mail/from", nullptr, [](ShellConfig &c, const QString &v) { c.mail.from = v.trimmed(); return QString(); }},
    {"mail/user", nullptr, [](ShellConfig &c, const QString &v) { c.mail.user = v.trimmed(); return QString(); }},
    {"mail/security", nullptr, [](ShellConfig &c, const QString &v) {
         return MailSettings::parseSecurity(v, &c.mail.security)
                    ? QString()
                    : QStringLiteral("valor inválido: \"%1\" (use none, starttls ou tls).").arg(QuotedText::clip(v));
     }},
    {"mail/cafile", nullptr, [](ShellConfig &c, const QString &v) { c.mail.caFile = v.trimmed(); return QString(); }},
    {"mail/timeout", nullptr, [](ShellConfig &c, const QString &v) { return setNumber(&c.mail.timeoutSeconds, v, 1, 600); }},
    {"history/months", nullptr, [](ShellConfig &c, const QString &v) { return setNumber(&c.historyMonths, v, 1, 120); }},
    {"history/runs", nullptr, [](ShellConfig &c, const QString &v) { return setNumber(&c.historyRuns, v, 10, 100000); }},
};

// "costs/port" -> "[costs] port", as the file spells it.
QString spelled(const QString &key)
{
    const qsizetype slash = key.indexOf(QLatin1Char('/'));
    return QStringLiteral("[%1] %2").arg(key.left(slash), key.mid(slash + 1));
}

// "[database] location, user; [shell] branch; ..."
QString keyList()
{
    QStringList sections;
    QString section;
    for (const Key &k : keys) {
        const QString name = QString::fromLatin1(k.name);
        const QString s = name.section(QLatin1Char('/'), 0, 0);
        if (s != section) {
            section = s;
            sections << spelled(name);
        } else {
            sections.last() += QStringLiteral(", ") + name.section(QLatin1Char('/'), 1);
        }
    }
    return sections.join(QStringLiteral("; "));
}
}

int ShellConfig::parsePort(const QString &text, bool allowZero)
{
    bool ok = false;
    const int port = text.trimmed().toInt(&ok);
    return ok && port >= (allowZero ? 0 : 1) && port <= 65535 ? port : -1;
}

void ShellConfig::readIni(const QString &path)
{
    for (const IniFile::Entry &e : IniFile::read(path)) {
        const Key *key = nullptr;
        for (const Key &k : keys)
            if (e.key == QLatin1String(k.name))
                key = &k;
        const QString where = QStringLiteral("Arquivo de configuração %1, linha %2: ").arg(path).arg(e.line);
        if (!key)
            throw EConfigError(where + QStringLiteral("chave desconhecida \"%1\" (as chaves são %2).")
                                           .arg(QuotedText::clip(spelled(e.key)), keyList()));
        const QString why = key->set(*this, e.value);
        if (!why.isEmpty())
            throw EConfigError(where + spelled(e.key) + QStringLiteral(": ") + why);
    }
}

QList<QCommandLineOption> ShellConfig::options()
{
    return {
        {QStringLiteral("config"),
         QStringLiteral("Arquivo de configuração (INI). Sem esta opção: o do usuário, se existir (veja abaixo)."),
         QStringLiteral("ARQUIVO")},
        {QStringLiteral("database"),
         QStringLiteral("Banco de dados: sqlite:CAMINHO, firebird:CAMINHO, firebird://SERVIDOR:PORTA/CAMINHO ou "
                        "postgresql://USUARIO@SERVIDOR:PORTA/BANCO."),
         QStringLiteral("LOCAL")},
        {QStringLiteral("branch"), QStringLiteral("Filial de trabalho (padrão 0101)."), QStringLiteral("CÓDIGO")},
        {QStringLiteral("db-user"), QStringLiteral("Usuário do banco de dados (Firebird: padrão SYSDBA)."), QStringLiteral("NOME")},
        {QStringLiteral("db-password"), QStringLiteral("Senha do banco de dados (PostgreSQL: também PGPASSWORD ou ~/.pgpass)."), QStringLiteral("SENHA")},
        {QStringLiteral("create-database"),
         QStringLiteral("Cria o banco que não existe (e o arquivo SQLite vazio), com as tabelas e os dados de "
                        "demonstração.")},
        {QStringLiteral("costs-host"), QStringLiteral("Endereço do servidor de custos."), QStringLiteral("SERVIDOR")},
        {QStringLiteral("costs-port"), QStringLiteral("Porta do servidor de custos."), QStringLiteral("PORTA")},
    };
}

void ShellConfig::addOptions(QCommandLineParser &parser)
{
    parser.addOptions(options());
}

void ShellConfig::applyOptions(const QCommandLineParser &parser)
{
    if (parser.isSet(QStringLiteral("config")))
        readIni(parser.value(QStringLiteral("config")));
    for (const Key &k : keys) {
        if (!k.option || !parser.isSet(QString::fromLatin1(k.option)))
            continue;
        const QString value = parser.value(QString::fromLatin1(k.option));
        const QString why = k.set(*this, value);
        if (!why.isEmpty())
            throw EConfigError(QStringLiteral("Opção --%1: %2").arg(QString::fromLatin1(k.option), why));
    }
    if (parser.isSet(QStringLiteral("create-database")))
        createDatabase = true;
}

ShellConfig ShellConfig::fromArguments(const QStringList &args)
{
    QCommandLineParser parser;
    addOptions(parser);
    if (!parser.parse(args))
        throw EConfigError(CommandLineText::parseError(parser, args, options()));
    ShellConfig config;
    config.applyOptions(parser);
    return config;
}
