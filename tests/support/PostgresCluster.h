// Test fixture: a PostgreSQL cluster on 127.0.0.1 whose superuser is User
// with Password (scram-sha-256 over TCP, so a wrong password is refused);
// its messages are in English (lc_messages=C).
//
// Within a suite run, start() joins the cluster the suite started for every
// test (SuiteServers), and the fixture's databases get names of their own
// there: location() and psql() take the name a test gives ("demo") and
// reach the fixture's database. A program run alone, or a fixture made
// Private, makes a cluster of its own with Debian's initdb in a temporary
// folder and runs it as a plain process at a free port, stopped (and its
// folder removed) when the fixture goes; it starts again on the same port
// and folder, so a test can kill it mid-session (every server process at
// once, as a crash would) and bring it back. Stopping or killing a joined
// cluster is a fault of the test: qFatal says to make the fixture Private.
//
// initdb and the server refuse to run as root: as root they run as `nobody`
// (setpriv), the folder given to that user; otherwise as the current user.
// Needs postgresql-15 (initdb, postgres, psql).
#pragma once

#include "SuiteServers.h"

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

class PostgresCluster {
public:
    static constexpr const char *User = "merenda";
    static constexpr const char *Password = "senha-de-teste";

    using Sharing = SuiteServers::Sharing;

    explicit PostgresCluster(Sharing sharing = Sharing::JoinSuite) : m_sharing(sharing) {}
    ~PostgresCluster();

    // The folder of the server's programs; empty when none is installed.
    static QString binaries();

    // Joins the suite's cluster; else makes the cluster on the first call,
    // then starts the server and waits until it accepts connections. False
    // with *error set when it cannot.
    bool start(QString *error);
    // Stops the server politely (fast shutdown), then by force.
    void stop();
    // Kills the server and every backend at once (SIGKILL), as a crash would.
    void kill();
    // Sends sig to the server and every backend: SIGSTOP holds the whole
    // server still (connections are still accepted by the system, nothing
    // answers), SIGCONT lets it go on.
    void signalAll(int sig);

    bool running() const { return m_joined || m_server.state() == QProcess::Running; }
    int port() const { return m_port; }
    // "postgresql://merenda@127.0.0.1:PORT/DATABASE", the database as the
    // fixture names it on the cluster (database() below).
    QString location(const QString &database) const;
    // Runs psql on database with the cluster's credentials; the exit code,
    // standard output in *out (when given).
    int psql(const QString &database, const QStringList &arguments, QString *out = nullptr) const;
    // The name on the cluster of the fixture's database `name`: the name
    // itself on a cluster of its own, the name with the fixture's mark on
    // the suite's ("demo_f1234_1"); "postgres" is always the cluster's own.
    QString database(const QString &name) const;

private:
    void refuseOnJoined(const char *what) const;
    bool initialise(QString *error);
    bool waitUntilReady(QString *error);
    // The command line that runs program as the cluster's owner.
    QStringList asOwner(const QString &program, const QStringList &arguments) const;

    QTemporaryDir m_dir;
    QProcess m_server;
    int m_port = 0;
    bool m_initialised = false;
    Sharing m_sharing;
    bool m_joined = false;
    QString m_mark; // "_f<pid>_<n>" on the suite's cluster
};
