#include "ShellConfig.h"
#include "toolkit/Errors.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

DatabaseLocation DatabaseLocation::parse(const QString &location)
{
    DatabaseLocation s;
    const QString text = location.trimmed();
    auto bad = [&] {
        return EHostError(QStringLiteral("Banco de dados inválido: '%1'. Use sqlite:ARQUIVO, firebird:ARQUIVO "
                                         "ou firebird://SERVIDOR:PORTA/ARQUIVO.").arg(location));
    };
    if (text.startsWith(QLatin1String("sqlite:"), Qt::CaseInsensitive)) {
        s.kind = Sqlite;
        s.path = text.mid(7);
    } else if (text.startsWith(QLatin1String("firebird://"), Qt::CaseInsensitive)) {
        s.kind = FirebirdServer;
        const QString rest = text.mid(11);
        const int slash = int(rest.indexOf(QLatin1Char('/')));
        if (slash <= 0)
            throw bad();
        const QString hostPort = rest.left(slash);
        QString path = rest.mid(slash);              // starts with '/'
        if (path.startsWith(QLatin1String("//")))
            path = path.mid(1);
        else if (!path.mid(1).contains(QLatin1Char('/')))
            path = path.mid(1);                      // an alias
        const int colon = int(hostPort.lastIndexOf(QLatin1Char(':')));
        if (colon >= 0) {
            bool ok = false;
            s.port = hostPort.mid(colon + 1).toInt(&ok);
            if (!ok || s.port <= 0 || s.port > 65535)
                throw bad();
            s.host = hostPort.left(colon);
        } else {
            s.host = hostPort;
        }
        s.path = path;
        if (s.host.isEmpty())
            throw bad();
    } else if (text.startsWith(QLatin1String("firebird:"), Qt::CaseInsensitive)) {
        s.kind = FirebirdEmbedded;
        s.path = text.mid(9);
    } else {
        throw bad();
    }
    if (s.path.isEmpty())
        throw bad();
    return s;
}

QString DatabaseLocation::toString() const
{
    switch (kind) {
    case Sqlite: return QStringLiteral("sqlite:") + path;
    case FirebirdEmbedded: return QStringLiteral("firebird:") + path;
    case FirebirdServer:
        // An absolute path keeps its own slash after the separating one.
        return QStringLiteral("firebird://%1:%2/%3").arg(host).arg(port).arg(path);
    }
    return QString();
}

ShellConfig::ShellConfig() : database(defaultDatabase()) {}

QString ShellConfig::defaultDatabase()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (dir.isEmpty())
        dir = QDir::homePath();
    return QStringLiteral("sqlite:") + QDir(dir).filePath(QStringLiteral("xev-demo.sqlite"));
}

void ShellConfig::readIni(const QString &path)
{
    if (path.isEmpty() || !QFileInfo::exists(path))
        return;
    QSettings ini(path, QSettings::IniFormat);
    if (ini.status() != QSettings::NoError)
        throw EHostError(QStringLiteral("Não foi possível ler a configuração %1.").arg(path));
    auto str = [&](const char *key, QString &target) {
        const QString k = QString::fromLatin1(key);
        if (ini.contains(k))
            target = ini.value(k).toString();
    };
    str("database/location", database);
    str("database/user", user);
    str("database/password", password);
    if (ini.contains(QStringLiteral("database/create")))
        createDatabase = ini.value(QStringLiteral("database/create")).toBool();
    str("shell/branch", branch);
    str("costs/host", costsHost);
    str("costs/token", costsToken);
    if (ini.contains(QStringLiteral("costs/port"))) {
        bool ok = false;
        const int port = ini.value(QStringLiteral("costs/port")).toInt(&ok);
        if (!ok || port < 0 || port > 65535)
            throw EHostError(QStringLiteral("Porta do servidor de custos inválida em %1.").arg(path));
        costsPort = port;
    }
}

void ShellConfig::addOptions(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("config"), QStringLiteral("Configuration file (INI)."), QStringLiteral("file")});
    parser.addOption({QStringLiteral("database"),
                      QStringLiteral("Database: sqlite:PATH, firebird:PATH or firebird://HOST:PORT/PATH."),
                      QStringLiteral("location")});
    parser.addOption({QStringLiteral("branch"), QStringLiteral("Working branch code."), QStringLiteral("code")});
    parser.addOption({QStringLiteral("db-user"), QStringLiteral("Firebird user name."), QStringLiteral("name")});
    parser.addOption({QStringLiteral("db-password"), QStringLiteral("Firebird password."), QStringLiteral("text")});
    parser.addOption({QStringLiteral("create-database"),
                      QStringLiteral("Create the database with schema and demo data when it is missing "
                                     "(SQLite: also when its file is empty).")});
    parser.addOption({QStringLiteral("costs-host"), QStringLiteral("Costs server host."), QStringLiteral("host")});
    parser.addOption({QStringLiteral("costs-port"), QStringLiteral("Costs server port."), QStringLiteral("port")});
}

void ShellConfig::applyOptions(const QCommandLineParser &parser)
{
    if (parser.isSet(QStringLiteral("config")))
        readIni(parser.value(QStringLiteral("config")));
    if (parser.isSet(QStringLiteral("database")))
        database = parser.value(QStringLiteral("database"));
    if (parser.isSet(QStringLiteral("branch")))
        branch = parser.value(QStringLiteral("branch"));
    if (parser.isSet(QStringLiteral("db-user")))
        user = parser.value(QStringLiteral("db-user"));
    if (parser.isSet(QStringLiteral("db-password")))
        password = parser.value(QStringLiteral("db-password"));
    if (parser.isSet(QStringLiteral("create-database")))
        createDatabase = true;
    if (parser.isSet(QStringLiteral("costs-host")))
        costsHost = parser.value(QStringLiteral("costs-host"));
    if (parser.isSet(QStringLiteral("costs-port"))) {
        bool ok = false;
        const int port = parser.value(QStringLiteral("costs-port")).toInt(&ok);
        if (!ok || port < 0 || port > 65535)
            throw EHostError(QStringLiteral("Porta do servidor de custos inválida: %1.")
                                 .arg(parser.value(QStringLiteral("costs-port"))));
        costsPort = port;
    }
}

ShellConfig ShellConfig::fromArguments(const QStringList &args)
{
    QCommandLineParser parser;
    addOptions(parser);
    if (!parser.parse(args))
        throw EHostError(parser.errorText());
    ShellConfig config;
    config.applyOptions(parser);
    return config;
}
