// TERM, INT and HUP (a logout, `kill`, Ctrl+C in a terminal) end the shell
// the way "Sair" does: the event loop returns, the screens run their close
// handling, the window's place is remembered and the program exits with 0,
// instead of dying where it stands.
#pragma once

class QObject;

namespace TerminationSignals {

// Catches the signals from here on; one that arrives before the event loop
// runs is kept and acted on as soon as it does. Call once, early.
void catchEarly();

// Quits the application when a caught signal arrives (after catchEarly and
// once a QApplication exists); the notifier lives as long as parent.
void quitApplicationOnSignal(QObject *parent);

} // namespace TerminationSignals
