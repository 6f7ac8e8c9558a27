// What the shell tells the host about the running session: the working
// branch, the module being run and the costs server's address and token. The shell's
// data module fills it when it opens the database (TdtmDBGeral::open); the
// shell-context functions (ShellFunctions.h) read it.
#pragma once

#include <QString>

class ShellContext {
public:
    static ShellContext &instance();

    QString branch;                                // FiliProc
    QString module = QStringLiteral("XEV01700");   // module whose status ModuFili reads
    QString webHost;                               // WebURL
    int webPort = 0;                               // WebPort
    QString costsToken;                            // shared secret of the costs server ([costs] token=)

    void reset() { *this = ShellContext(); }
};
