// Runs a costs server (the costs_server program) of the shell's own: on
// 127.0.0.1 at a free port, on the shell's database, stopped when this
// object goes (or stop()). The server also ends by itself when the shell
// dies, since it watches its standard input (--exit-with-stdin).
//
// For an embedded Firebird database, call FirebirdSharing::prepare() before
// the shell opens its database; start() does it too, for the server's sake.
// A server that ends by itself once started is told by ended(); keeping it
// running is CostsServerSupervisor's (appdata). What it writes to its error
// output is kept up to its last kErrorTail bytes, never more.
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
    // over in its environment (COSTS_TOKEN), never on its command line, which
    // every user of the machine can read. start() refuses one longer than
    // RemoteProtocol::kMaxToken bytes.
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
    // What the server wrote to its error output since the last call (its
    // last kErrorTail bytes at most).
    QString errorOutput();
    qint64 processId() const;

    static constexpr qsizetype kErrorTail = 8 * 1024;

signals:
    // The server ended by itself after start() had succeeded (not through
    // stop() or a new start()); why says how, in Portuguese ("foi encerrado
    // à força", "terminou com o código 1: ...").
    void ended(const QString &why);

private:
    // The shell's environment with the credentials and the token.
    QProcessEnvironment environment() const;
    void keepErrorTail();
    void onFinished(int exitCode, QProcess::ExitStatus status);

    QProcess m_process;
    QString m_program;
    QString m_user;
    QString m_password;
    QString m_token;
    QString m_host;
    int m_port = 0;
    QByteArray m_errorTail;
};
