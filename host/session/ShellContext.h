// What the shell tells the host about the running session: the working
// branch, the module being run and the costs server's address and token. The shell's
// data module fills it when it opens the database (TdtmDBGeral::open); the
// shell-context functions (ShellFunctions.h) read it.
#pragma once

#include <QString>
#include <functional>

class ShellContext {
public:
    static ShellContext &instance();

    QString branch;                                // FiliProc
    QString module = QStringLiteral("XEV01700");   // module whose status ModuFili reads
    QString webHost;                               // WebURL
    int webPort = 0;                               // WebPort
    QString costsToken;                            // shared secret of the costs server ([costs] token=)
    // Set while the shell runs a costs server of its own: run before the
    // address is read (WebURL, WebPort), it makes sure that server answers,
    // starting it again (and updating webHost and webPort) when it does not.
    std::function<void()> confirmCostsServer;

    void reset() { *this = ShellContext(); }
};
