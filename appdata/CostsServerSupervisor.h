// The shell's own costs server, kept running. start() starts it (a
// CostsServerProcess on 127.0.0.1, at a free port); when it ends by itself it
// is started again at once, at most kMaxRestarts times within
// kRestartWindowMs. Past that, or when starting it again fails, it stays
// down until restart() or ensureRunning() (what a person's "try again"
// does), so a server that cannot stay up never spins.
//
// Every change of state or address is told by stateChanged(): the status bar
// shows stateText(), and whoever hands the address to the screens reads
// host() and port() again (a restarted server has a new port). The end of a
// server reaches the supervisor through the event loop; confirmRunning(),
// called just before the address is read, closes that gap: a server that
// no longer answers at its port is started again there and then, so the
// address read is the one of a server that answers. The ends and
// returns a person should know of come as notice(), one Portuguese sentence
// saying what happened and what to do. Lives in the thread that made it; a
// start waits for the server to listen (at most startTimeoutMs).
#pragma once

#include "appdata/CostsServerProcess.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>

class CostsServerSupervisor : public QObject {
    Q_OBJECT
public:
    enum class State {
        Stopped, // not started, or stopped by stop()
        Running, // listening at host():port()
        Down     // could not start, or ended too often: waits for restart()
    };
    Q_ENUM(State)
    static constexpr int kMaxRestarts = 3;
    static constexpr int kRestartWindowMs = 60000;

    explicit CostsServerSupervisor(QObject *parent = nullptr);
    ~CostsServerSupervisor() override;

    // The program, credentials and token: set them before start().
    CostsServerProcess &process() { return m_process; }
    // The database the server reads (sqlite:..., firebird:...).
    void setDatabase(const QString &location) { m_database = location; }
    void setStartTimeout(int ms) { m_startTimeoutMs = ms; }

    // Starts the server; false with error set (and state Down) when it did not.
    bool start(QString *error = nullptr);
    // Stops it and starts it again at once, with the restart count cleared:
    // the entry for a person's "try again".
    bool restart(QString *error = nullptr);
    // Starts it (count cleared) unless it is running; true when it runs.
    bool ensureRunning(QString *error = nullptr);
    // Stops it for good (state Stopped); nothing restarts it.
    void stop();
    // While Running: when nothing answers at host():port() any more (the
    // server was killed, and its end is not yet handled), it is started
    // again now, as its end would have (restart count, notice). True when
    // it runs afterwards. Waits at most about a second beyond a start.
    bool confirmRunning();

    State state() const { return m_state; }
    QString host() const { return m_process.host(); }
    int port() const { return m_process.port(); }
    qint64 processId() const { return m_process.processId(); }
    // Why it is down (empty while it runs).
    QString lastError() const { return m_lastError; }
    // Starts since the count was last cleared, within the window.
    int recentRestarts() const { return int(m_restarts.size()); }
    // For the status bar: "127.0.0.1:PORT (próprio)", "não iniciou", "parado".
    QString stateText() const;

signals:
    void stateChanged(CostsServerSupervisor::State state);
    void notice(const QString &text);

private:
    bool startNow(QString *error);
    void serverEnded(const QString &why);
    void startAgain(const QString &why);
    void setState(State state);

    CostsServerProcess m_process;
    QString m_database;
    int m_startTimeoutMs = 10000;
    State m_state = State::Stopped;
    bool m_everRan = false;
    QString m_lastError;
    QElapsedTimer m_clock;
    QList<qint64> m_restarts; // m_clock times of the restarts within the window
};
