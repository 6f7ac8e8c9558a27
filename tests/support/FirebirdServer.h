// Test fixture: a Firebird 3 server on 127.0.0.1, SYSDBA/masterkey, and a
// folder for the fixture's databases (folder()).
//
// Within a suite run, start() joins the server the suite started for every
// test (SuiteServers): nothing is started or stopped. A program run alone,
// or a fixture made Private, runs a server of its own as a plain process at
// a free port, with a configuration root of its own (firebird.conf naming
// the port and a security database made for it), stopped when the fixture
// goes; it can be stopped or killed mid-session and started again on the
// same port and folder. Stopping or killing a joined server is a fault of
// the test (it would take the server from every other test): qFatal says
// to make the fixture Private. Needs /usr/sbin/firebird and isql-fb
// (firebird3.0-server).
#pragma once

#include "SuiteServers.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

class FirebirdServer {
public:
    static constexpr const char *User = "SYSDBA";
    static constexpr const char *Password = "masterkey";

    using Sharing = SuiteServers::Sharing;

    explicit FirebirdServer(Sharing sharing = Sharing::JoinSuite) : m_sharing(sharing) {}
    ~FirebirdServer();

    // The installation's root (plugins, messages); empty when none is found.
    static QString systemRoot();

    // Joins the suite's server; else prepares the folder on the first call,
    // then starts the server and waits until it listens. False with *error
    // set when it cannot.
    bool start(QString *error);
    // Stops the server politely (SIGINT), by force after a second.
    void stop();
    // Kills the server at once (SIGKILL), as a crash would.
    void kill();
    // Sends sig to the server process (SIGSTOP holds it still: connections
    // are still accepted by the system, nothing answers; SIGCONT lets it go on).
    void signal(int sig);

    bool running() const { return m_joined || m_server.state() == QProcess::Running; }
    int port() const { return m_port; }
    // Where the fixture's databases go: the server's root for a server of
    // its own, a folder of the fixture's for the suite's server.
    QString folder() const { return m_dir.path(); }

private:
    void refuseOnJoined(const char *what) const;
    bool prepareRoot(QString *error);
    bool linkInstallation(const QString &system);
    bool writeConfiguration(QString *error);
    bool createSecurityDatabase(QString *error);
    bool waitUntilListening(QString *error);

    QTemporaryDir m_dir;
    QProcess m_server;
    QProcessEnvironment m_env;
    int m_port = 0;
    bool m_prepared = false;
    Sharing m_sharing;
    bool m_joined = false;
};
