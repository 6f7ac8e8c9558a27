// Runs a costs server (the costs_server program) of the shell's own: on
// 127.0.0.1 at a free port, on the shell's database, stopped when this
// object goes (or stop()). The server also ends by itself when the shell
// dies, since it watches its standard input (--exit-with-stdin).
//
// For an embedded Firebird database, call FirebirdSharing::prepare() before
// the shell opens its database; start() does it too, for the server's sake.
#pragma once

#include <QObject>
#include <QProcess>
#include <QString>

class CostsServerProcess : public QObject {
    Q_OBJECT
public:
    explicit CostsServerProcess(QObject *parent = nullptr);
    ~CostsServerProcess() override;

    // The program to run; defaults to costs_server beside the application.
    void setProgram(const QString &path) { m_program = path; }
    QString program() const { return m_program; }
    static QString defaultProgram();

    // Firebird user and password for the server; handed over in its
    // environment (ISC_USER, ISC_PASSWORD), not on its command line.
    void setCredentials(const QString &user, const QString &password);
    // The shared secret the server asks for in "Open" (empty: none); handed
    // over in its environment (COSTS_TOKEN).
    void setToken(const QString &token) { m_token = token; }

    // Starts the server on the database (sqlite:..., firebird:..., ...) and
    // waits up to timeoutMs for it to listen. False with error set when it
    // could not start, ended, or did not report its port in time.
    bool start(const QString &databaseLocation, const QStringList &extraArguments = {},
               int timeoutMs = 10000, QString *error = nullptr);
    // Ends the server: asks it to stop, kills it after a short grace time.
    void stop();

    bool isRunning() const;
    QString host() const { return m_host; }
    int port() const { return m_port; }
    // What the server wrote to its error output so far.
    QString errorOutput();
    qint64 processId() const;

private:
    QProcess m_process;
    QString m_program;
    QString m_user;
    QString m_password;
    QString m_token;
    QString m_host;
    int m_port = 0;
};
