// Test fixture: a Firebird 3 server run as a plain process on 127.0.0.1 at a
// free port, with a configuration root of its own (firebird.conf naming the
// port and a security database made for it, SYSDBA/masterkey), stopped when
// the fixture goes. Needs /usr/sbin/firebird and isql-fb (firebird3.0-server).
// A stopped server can be started again on the same port and folder, so a
// test can kill it mid-session and bring it back.
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

class FirebirdServer {
public:
    static constexpr const char *User = "SYSDBA";
    static constexpr const char *Password = "masterkey";

    ~FirebirdServer() { stop(); }

    // The installation's root (plugins, messages); empty when none is found.
    static QString systemRoot();

    // Prepares the folder on the first call, then starts the server and waits
    // until it listens; false with *error set when it cannot.
    bool start(QString *error);
    // Stops the server politely (SIGTERM), then by force.
    void stop();
    // Kills the server at once (SIGKILL), as a crash would.
    void kill();
    // Sends sig to the server process (SIGSTOP holds it still: connections
    // are still accepted by the system, nothing answers; SIGCONT lets it go on).
    void signal(int sig);

    bool running() const { return m_server.state() == QProcess::Running; }
    int port() const { return m_port; }
    QString folder() const { return m_dir.path(); }

private:
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
};
