// costs_server: the costs application server program (see CostsServer.h).
#include "CostsOptions.h"
#include "CostsServer.h"
#include "SqlCostTypeSource.h"
#include "appdata/SecretArguments.h"
#include "core/Errors.h"
#include "data/engines/DatabaseEngine.h"

#include <QCoreApplication>
#include <QLocale>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <exception>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] auto n = ::write(g_signalPipe[1], &c, 1);
}
} // namespace

namespace {
// Every wrong token goes to standard error with the address (and local
// user) it came from: what an administrator reads to see who is guessing.
void logRefusedTokens(CostsServer &server, QTextStream &err)
{
    QObject::connect(&server, &CostsServer::tokenRefused, &server,
                     [&err](const QString &sender, bool localUser, int failures, qint64 nextWaitMs) {
                         err << "costs_server: chave de acesso (token) errada vinda de " << sender << " ("
                             << failures << (failures == 1 ? " vez" : " vezes seguidas") << ")";
                         if (nextWaitMs > 0)
                             err << "; a próxima tentativa " << (localUser ? "desse usuário" : "desse endereço")
                                 << " espera "
                                 << QLocale(QLocale::Portuguese, QLocale::Brazil).toString(nextWaitMs / 1000.0, 'f', 2)
                                 << " s";
                         err << ".\n";
                         err.flush();
                     });
}

// Beyond this machine without a token, anyone who reaches the port reads the
// cost types: said once, at the start.
void warnIfOpen(const CostsServer &server, const CostsOptions &options, QTextStream &err)
{
    if (!options.token.isEmpty() || server.address().isLoopback())
        return;
    err << "costs_server: aviso: escutando em " << server.address().toString() << ":" << server.port()
        << " sem chave de acesso (token): qualquer computador que alcance esta porta lê os tipos de custo. Defina "
           "token= na seção [costs] de --config (ou COSTS_TOKEN no ambiente) e a mesma chave na configuração do "
           "shell, ou escute só em 127.0.0.1.\n";
    err.flush();
}

// SIGTERM and SIGINT end the event loop, so connections close cleanly; so
// does the end of standard input when asked (the shell that started it died).
void endOnSignals(QCoreApplication &app, bool exitWithStdin)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) == 0) {
        auto *sn = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(sn, &QSocketNotifier::activated, &app, [] { QCoreApplication::quit(); });
        std::signal(SIGTERM, onSignal);
        std::signal(SIGINT, onSignal);
    }
    if (exitWithStdin) {
        auto *sn = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, &app);
        QObject::connect(sn, &QSocketNotifier::activated, &app, [sn] {
            char buf[256];
            if (::read(STDIN_FILENO, buf, sizeof buf) <= 0) {
                sn->setEnabled(false);
                QCoreApplication::quit();
            }
        });
    }
}

int runServer(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("costs_server"));
    QTextStream out(stdout), err(stderr);

    CostsOptions options;
    QString error;
    if (!options.parse(app.arguments(), error)) {
        err << "costs_server: " << error << "\nUse --help para ver as opções.\n";
        return 2;
    }
    if (options.help) {
        out << options.helpText;
        return 0;
    }
    if (const QString warning = SecretArguments::hide(argc, argv, "password"); !warning.isEmpty()) {
        err << "costs_server: " << warning << "\n";
        err.flush();
    }
    // Before any worker's first connection: the client reads its configuration once.
    try {
        options.db.engine().prepareClient();
    } catch (const EHostError &e) {
        err << "costs_server: " << e.text() << "\n";
        return 1;
    }

    // Each worker reads through a database connection of its own.
    CostsServer server(
        [&options] { return std::make_unique<SqlCostTypeSource>(options.db, options.user, options.password); },
        options.workers);
    server.setLimits(options.limits());
    server.setToken(options.token);
    logRefusedTokens(server, err);
    if (!server.listen(options.address, options.port, &error)) {
        err << "costs_server: não foi possível escutar em " << options.address.toString() << ":" << options.port
            << ": " << error << "\n";
        return 1;
    }

    endOnSignals(app, options.exitWithStdin);

    warnIfOpen(server, options, err);
    out << "LISTENING " << server.address().toString() << " " << server.port() << "\n";
    out.flush();
    const int rc = app.exec();
    server.close();
    return rc;
}
} // namespace

// Nothing escapes: a failure anywhere ends with a message and exit code 1.
int main(int argc, char **argv)
{
    try {
        return runServer(argc, argv);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "costs_server: erro inesperado: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "costs_server: erro inesperado.\n");
    }
    return 1;
}
