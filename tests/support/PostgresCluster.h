// Test fixture: a PostgreSQL cluster of its own, made with Debian's initdb
// in a temporary folder and run as a plain process on 127.0.0.1 at a free
// port, stopped (and its folder removed) when the fixture goes.
//
// initdb and the server refuse to run as root: as root they run as `nobody`
// (setpriv), the folder given to that user; otherwise as the current user.
// The cluster's superuser is User with Password (scram-sha-256 over TCP, so
// a wrong password is refused); its messages are in English (lc_messages=C).
// A stopped cluster starts again on the same port and folder, so a test can
// kill it mid-session (every server process at once, as a crash would) and
// bring it back. Needs postgresql-15 (initdb, postgres, psql).
#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

class PostgresCluster {
public:
    static constexpr const char *User = "merenda";
    static constexpr const char *Password = "senha-de-teste";

    ~PostgresCluster() { stop(); }

    // The folder of the server's programs; empty when none is installed.
    static QString binaries();

    // Makes the cluster on the first call, then starts the server and waits
    // until it accepts connections; false with *error set when it cannot.
    bool start(QString *error);
    // Stops the server politely (fast shutdown), then by force.
    void stop();
    // Kills the server and every backend at once (SIGKILL), as a crash would.
    void kill();
    // Sends sig to the server and every backend: SIGSTOP holds the whole
    // server still (connections are still accepted by the system, nothing
    // answers), SIGCONT lets it go on.
    void signalAll(int sig);

    bool running() const { return m_server.state() == QProcess::Running; }
    int port() const { return m_port; }
    // "postgresql://merenda@127.0.0.1:PORT/DATABASE".
    QString location(const QString &database) const;
    // Runs psql on database with the cluster's credentials; the exit code,
    // standard output in *out (when given).
    int psql(const QString &database, const QStringList &arguments, QString *out = nullptr) const;

private:
    bool initialise(QString *error);
    bool waitUntilReady(QString *error);
    // The command line that runs program as the cluster's owner.
    QStringList asOwner(const QString &program, const QStringList &arguments) const;

    QTemporaryDir m_dir;
    QProcess m_server;
    int m_port = 0;
    bool m_initialised = false;
};
