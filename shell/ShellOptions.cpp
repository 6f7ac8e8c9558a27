#include "ShellOptions.h"
#include "toolkit/InstallPaths.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

bool ShellOptions::parse(const QStringList &arguments)
{
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Merenda escolar: shell with its report screens."));
    p.addHelpOption();
    const QCommandLineOption open(QStringLiteral("open"), QStringLiteral("Open the screen of MODULE (e.g. XEV01700) at start; may be repeated."), QStringLiteral("MODULE"));
    const QCommandLineOption shot(QStringLiteral("screenshot"), QStringLiteral("Write a PNG of the open screen to FILE and exit."), QStringLiteral("FILE"));
    const QCommandLineOption modules(QStringLiteral("modules"), QStringLiteral("Folder of the module files (default: beside the shell)."), QStringLiteral("DIR"));
    const QCommandLineOption db(QStringLiteral("db"), QStringLiteral("Database: sqlite:PATH, firebird:PATH or firebird://HOST:PORT/PATH."), QStringLiteral("DATABASE"));
    const QCommandLineOption costs(QStringLiteral("costs"), QStringLiteral("Costs server address; without it the shell starts its own."), QStringLiteral("HOST:PORT"));
    const QCommandLineOption script(QStringLiteral("script"), QStringLiteral("Run a scripted session from FILE ('-' for standard input) and exit."), QStringLiteral("FILE"));
    const QCommandLineOption out(QStringLiteral("out"), QStringLiteral("Folder where scripted print and preview write PDF and CSV."), QStringLiteral("DIR"));
    p.addOptions({open, shot, modules, db, costs, script, out});
    ShellConfig::addOptions(p);
    if (!p.parse(arguments)) {
        std::fprintf(stderr, "%s\n%s", qPrintable(p.errorText()), qPrintable(p.helpText()));
        m_exitCode = 2;
        return false;
    }
    if (p.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(p.helpText()), stdout);
        m_exitCode = 0;
        return false;
    }
    m_open = p.values(open);
    m_screenshot = p.value(shot);
    m_moduleDir = p.isSet(modules) ? p.value(modules) : InstallPaths::moduleDir();
    m_shellConfig.applyOptions(p);
    if (p.isSet(db))
        m_shellConfig.database = p.value(db);
    if (p.isSet(costs)) {
        const QString hostPort = p.value(costs);
        const int colon = hostPort.lastIndexOf(QLatin1Char(':'));
        bool ok = colon > 0;
        const int port = ok ? hostPort.mid(colon + 1).toInt(&ok) : 0;
        if (!ok || port <= 0 || port > 65535) {
            std::fprintf(stderr, "--costs takes HOST:PORT, not '%s'\n", qPrintable(hostPort));
            m_exitCode = 2;
            return false;
        }
        m_shellConfig.costsHost = hostPort.left(colon);
        m_shellConfig.costsPort = port;
    }
    m_script = p.value(script);
    m_out = p.value(out);
    return true;
}
