#include "TerminationSignals.h"

#include <QApplication>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {
// [0] written by the handler, [1] read by the event loop.
int g_pipe[2] = {-1, -1};

extern "C" void onTerminationSignal(int number)
{
    // Only what is safe inside a signal handler: one write.
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[0], &byte, 1);
}
} // namespace

namespace TerminationSignals {

void catchEarly()
{
    if (g_pipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0)
        return;
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : {SIGTERM, SIGINT, SIGHUP})
        sigaction(number, &action, nullptr);
}

void quitApplicationOnSignal(QObject *parent)
{
    if (g_pipe[1] < 0)
        return;
    auto *notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, parent);
    QObject::connect(notifier, &QSocketNotifier::activated, parent, [] {
        unsigned char number = 0;
        if (::read(g_pipe[1], &number, 1) == 1)
            std::fprintf(stderr, "shell: encerrando (sinal %s).\n", sigabbrev_np(number) ? sigabbrev_np(number) : "?");
        // Every event loop returns, a modal one (a dialog, a report's progress)
        // as well as the main one.
        QApplication::closeAllWindows();
        QCoreApplication::exit(0);
    });
}

} // namespace TerminationSignals
