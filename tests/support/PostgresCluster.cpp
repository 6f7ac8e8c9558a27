#include "PostgresCluster.h"
#include "SuiteServers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QTcpServer>
#include <QThread>
#include <csignal>
#include <pwd.h>
#include <unistd.h>

namespace {

bool isRoot() { return geteuid() == 0; }

// Gives the folder and what is in it to nobody, who runs the cluster.
bool giveToNobody(const QString &path)
{
    const passwd *nobody = getpwnam("nobody");
    return nobody && chown(QFile::encodeName(path).constData(), nobody->pw_uid, nobody->pw_gid) == 0;
}

} // namespace

QString PostgresCluster::binaries()
{
    for (const char *version : {"15", "16", "17", "14", "13"}) {
        const QString dir = QStringLiteral("/usr/lib/postgresql/%1/bin").arg(QLatin1String(version));
        if (QFileInfo::exists(dir + QStringLiteral("/initdb")) && QFileInfo::exists(dir + QStringLiteral("/postgres")))
            return dir;
    }
    return QString();
}

QStringList PostgresCluster::asOwner(const QString &program, const QStringList &arguments) const
{
    const QString path = QDir(binaries()).filePath(program);
    if (!isRoot())
        return QStringList{path} + arguments;
    return QStringList{QStringLiteral("setpriv"), QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                       QStringLiteral("--clear-groups"), path}
        + arguments;
}

PostgresCluster::~PostgresCluster()
{
    if (!m_joined)
        stop();
}

QString PostgresCluster::database(const QString &name) const
{
    // The maintenance database is the cluster's, whoever asks.
    return name == QLatin1String("postgres") ? name : name + m_mark;
}

QString PostgresCluster::location(const QString &name) const
{
    return QStringLiteral("postgresql://%1@127.0.0.1:%2/%3").arg(QLatin1String(User)).arg(m_port).arg(database(name));
}

bool PostgresCluster::initialise(QString *error)
{
    if (binaries().isEmpty()) {
        *error = QStringLiteral("PostgreSQL server not installed (initdb, postgres)");
        return false;
    }
    if (!m_dir.isValid() || (isRoot() && !giveToNobody(m_dir.path()))) {
        *error = QStringLiteral("no temporary folder for the cluster");
        return false;
    }
    const QDir dir(m_dir.path());
    QFile pw(dir.filePath(QStringLiteral("pwfile")));
    if (!pw.open(QIODevice::WriteOnly) || pw.write(Password) < 0) {
        *error = QStringLiteral("cannot write the password file");
        return false;
    }
    pw.close();
    if (isRoot())
        giveToNobody(pw.fileName());
    const QStringList command = asOwner(QStringLiteral("initdb"),
        {QStringLiteral("-D"), dir.filePath(QStringLiteral("data")), QStringLiteral("-U"), QLatin1String(User),
         QStringLiteral("--pwfile=") + pw.fileName(), QStringLiteral("--auth-local=trust"),
         QStringLiteral("--auth-host=scram-sha-256"), QStringLiteral("-E"), QStringLiteral("UTF8"),
         QStringLiteral("--locale=C.UTF-8"), QStringLiteral("--no-sync")});
    QProcess initdb;
    initdb.setProcessChannelMode(QProcess::MergedChannels);
    initdb.start(command.first(), command.mid(1));
    if (!initdb.waitForFinished(120000) || initdb.exitCode() != 0) {
        *error = QStringLiteral("initdb failed: ") + QString::fromLocal8Bit(initdb.readAll()).right(400);
        return false;
    }
    QTcpServer probe; // a free port: the one the system gives a listener, released just before
    if (!probe.listen(QHostAddress::LocalHost)) {
        *error = QStringLiteral("no free port");
        return false;
    }
    m_port = probe.serverPort();
    return true;
}

bool PostgresCluster::start(QString *error)
{
    if (m_sharing == Sharing::JoinSuite) {
        if (const auto suite = SuiteServers::find(QStringLiteral("postgresql"))) {
            if (!suite->error.isEmpty()) {
                *error = suite->error;
                return false;
            }
            // Fixtures of every test program meet on one cluster: each
            // names its databases apart.
            static int fixtures = 0;
            m_mark = QStringLiteral("_f%1_%2").arg(getpid()).arg(++fixtures);
            m_port = suite->port;
            m_joined = true;
            return true;
        }
    }
    if (!m_initialised && !initialise(error))
        return false;
    m_initialised = true;
    const QDir dir(m_dir.path());
    const QStringList command = asOwner(QStringLiteral("postgres"),
        {QStringLiteral("-D"), dir.filePath(QStringLiteral("data")), QStringLiteral("-p"), QString::number(m_port),
         QStringLiteral("-k"), m_dir.path(), QStringLiteral("-c"), QStringLiteral("listen_addresses=127.0.0.1"),
         QStringLiteral("-c"), QStringLiteral("lc_messages=C"), QStringLiteral("-c"), QStringLiteral("fsync=off"),
         QStringLiteral("-c"), QStringLiteral("max_connections=200"), QStringLiteral("-c"),
         QStringLiteral("shared_buffers=128MB")});
    m_server.setProcessChannelMode(QProcess::MergedChannels);
    m_server.start(command.first(), command.mid(1));
    if (!m_server.waitForStarted(10000)) {
        *error = QStringLiteral("the server did not start");
        return false;
    }
    return waitUntilReady(error);
}

bool PostgresCluster::waitUntilReady(QString *error)
{
    for (int i = 0; i < 300; ++i) {
        QProcess ready;
        ready.start(QDir(binaries()).filePath(QStringLiteral("pg_isready")),
                    {QStringLiteral("-q"), QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                     QString::number(m_port)});
        if (ready.waitForFinished(5000) && ready.exitCode() == 0)
            return true;
        if (m_server.state() == QProcess::NotRunning)
            break;
        QThread::msleep(100);
    }
    *error = QStringLiteral("the server does not accept connections: ") + QString::fromLocal8Bit(m_server.readAll());
    stop();
    return false;
}

int PostgresCluster::psql(const QString &database, const QStringList &arguments, QString *out) const
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("PGPASSWORD"), QLatin1String(Password));
    p.setProcessEnvironment(env);
    p.start(QDir(binaries()).filePath(QStringLiteral("psql")),
            QStringList{QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-v"), QStringLiteral("ON_ERROR_STOP=1"),
                        QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"), QString::number(m_port),
                        QStringLiteral("-U"), QLatin1String(User), QStringLiteral("-d"), this->database(database)}
                + arguments);
    if (!p.waitForFinished(600000))
        return -1;
    if (out)
        *out = QString::fromUtf8(p.readAllStandardOutput());
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

void PostgresCluster::refuseOnJoined(const char *what) const
{
    if (m_joined)
        qFatal("PostgresCluster: a test may not %s the suite's cluster, which every test shares; "
               "make the fixture PostgresCluster::Sharing::Private", what);
}

void PostgresCluster::stop()
{
    refuseOnJoined("stop");
    if (m_server.state() == QProcess::NotRunning)
        return;
    // SIGINT: the server's fast shutdown (ends the sessions, then stops).
    ::kill(pid_t(m_server.processId()), SIGINT);
    if (!m_server.waitForFinished(15000))
        kill();
}

namespace {

// The processes whose parent is parent ("PID (NAME) STATE PPID ..." in /proc).
QList<pid_t> childrenOf(pid_t parent)
{
    QList<pid_t> out;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields[1].toInt() == parent)
            out << pid_t(entry.toInt());
    }
    return out;
}

} // namespace

void PostgresCluster::signalAll(int sig)
{
    if (m_server.state() == QProcess::NotRunning)
        return;
    const pid_t server = pid_t(m_server.processId());
    // Held first, so that it forks no new backend meanwhile.
    if (sig == SIGSTOP)
        ::kill(server, SIGSTOP);
    for (const pid_t child : childrenOf(server))
        ::kill(child, sig);
    ::kill(server, sig);
}

void PostgresCluster::kill()
{
    refuseOnJoined("kill");
    if (m_server.state() == QProcess::NotRunning)
        return;
    // The backends are the server's children, each in a session of its own:
    // the server is held still (it forks no more), they go, then it.
    const pid_t server = pid_t(m_server.processId());
    ::kill(server, SIGSTOP);
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "PID (NAME) STATE PPID ...": the parent is the second field after the name.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() > 1 && fields[1].toInt() == server)
            ::kill(pid_t(entry.toInt()), SIGKILL);
    }
    ::kill(server, SIGKILL);
    m_server.waitForFinished(5000);
    // A stale pid file would make a new server on the folder wait for it.
    const QString pidFile = QDir(m_dir.path()).filePath(QStringLiteral("data/postmaster.pid"));
    QFile::remove(pidFile);
    QThread::msleep(200);
}
