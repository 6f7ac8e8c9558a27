#include "FirebirdServer.h"
#include "SuiteServers.h"

#include <csignal>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <csignal>

QString FirebirdServer::systemRoot()
{
    for (const char *dir : {"/usr/lib/x86_64-linux-gnu/firebird/3.0", "/usr/lib/aarch64-linux-gnu/firebird/3.0",
                            "/usr/lib/firebird/3.0", "/opt/firebird"})
        if (QFileInfo::exists(QDir(QLatin1String(dir)).filePath(QStringLiteral("plugins"))))
            return QLatin1String(dir);
    return QString();
}

FirebirdServer::~FirebirdServer()
{
    if (!m_joined)
        stop();
}

bool FirebirdServer::start(QString *error)
{
    if (m_sharing == Sharing::JoinSuite) {
        if (const auto suite = SuiteServers::find(QStringLiteral("firebird"))) {
            if (!suite->error.isEmpty()) {
                *error = suite->error;
                return false;
            }
            m_port = suite->port;
            m_joined = true;
            return true;
        }
    }
    if (!m_prepared && !prepareRoot(error))
        return false;
    m_prepared = true;
    m_server.setProcessEnvironment(m_env);
    m_server.setProcessChannelMode(QProcess::MergedChannels);
    m_server.start(QStringLiteral("/usr/sbin/firebird"), {});
    if (!m_server.waitForStarted(10000)) {
        *error = QStringLiteral("the server did not start");
        return false;
    }
    return waitUntilListening(error);
}

bool FirebirdServer::prepareRoot(QString *error)
{
    const QString system = systemRoot();
    if (system.isEmpty() || !QFileInfo::exists(QStringLiteral("/usr/sbin/firebird"))) {
        *error = QStringLiteral("Firebird 3 server not installed");
        return false;
    }
    if (!m_dir.isValid()) {
        *error = QStringLiteral("no temporary folder");
        return false;
    }
    linkInstallation(system);
    if (!writeConfiguration(error))
        return false;
    const QString root = m_dir.path();
    m_env = QProcessEnvironment::systemEnvironment();
    m_env.insert(QStringLiteral("FIREBIRD"), root);
    m_env.insert(QStringLiteral("FIREBIRD_LOCK"), QDir(root).filePath(QStringLiteral("lock")));
    m_env.remove(QStringLiteral("ISC_USER"));
    m_env.remove(QStringLiteral("ISC_PASSWORD"));
    return createSecurityDatabase(error);
}

bool FirebirdServer::linkInstallation(const QString &system)
{
    const QDir root(m_dir.path());
    root.mkpath(QStringLiteral("lock"));
    for (const char *entry : {"plugins", "UDF", "firebird.msg", "plugins.conf", "fbtrace.conf"}) {
        const QString target = QDir(system).filePath(QLatin1String(entry));
        if (QFileInfo::exists(target))
            QFile::link(target, root.filePath(QLatin1String(entry)));
    }
    // The character-set module is refused when loaded through a link
    // (WIN1252 would be missing): intl/ gets copies.
    root.mkpath(QStringLiteral("intl"));
    for (const QFileInfo &f : QDir(QDir(system).filePath(QStringLiteral("intl"))).entryInfoList(QDir::Files))
        QFile::copy(f.canonicalFilePath(), root.filePath(QStringLiteral("intl/") + f.fileName()));
    return QFile(root.filePath(QStringLiteral("databases.conf"))).open(QIODevice::WriteOnly);
}

bool FirebirdServer::writeConfiguration(QString *error)
{
    // A free port: the one the system gives a listener, released just before.
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost)) {
        *error = QStringLiteral("no free port");
        return false;
    }
    m_port = probe.serverPort();
    probe.close();
    const QDir root(m_dir.path());
    QFile conf(root.filePath(QStringLiteral("firebird.conf")));
    if (!conf.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("cannot write firebird.conf");
        return false;
    }
    conf.write(QStringLiteral("RemoteServicePort = %1\nRemoteBindAddress = 127.0.0.1\n"
                              "SecurityDatabase = %2\nUdfAccess = None\n")
                   .arg(m_port)
                   .arg(root.filePath(QStringLiteral("security3.fdb")))
                   .toUtf8());
    return true;
}

bool FirebirdServer::createSecurityDatabase(QString *error)
{
    // Made embedded, with the server's own configuration.
    QProcess isql;
    isql.setProcessEnvironment(m_env);
    isql.start(QStringLiteral("isql-fb"),
               {QStringLiteral("-q"), QStringLiteral("-b"), QStringLiteral("-user"), QLatin1String(User)});
    if (!isql.waitForStarted(10000)) {
        *error = QStringLiteral("isql-fb did not start");
        return false;
    }
    isql.write(QStringLiteral("CREATE DATABASE '%1';\nCREATE USER %2 PASSWORD '%3';\nCOMMIT;\nQUIT;\n")
                   .arg(QDir(m_dir.path()).filePath(QStringLiteral("security3.fdb")), QLatin1String(User),
                        QLatin1String(Password))
                   .toUtf8());
    isql.closeWriteChannel();
    if (!isql.waitForFinished(60000) || isql.exitCode() != 0) {
        *error = QStringLiteral("security database: ") + QString::fromLocal8Bit(isql.readAll());
        return false;
    }
    return true;
}

bool FirebirdServer::waitUntilListening(QString *error)
{
    for (int i = 0; i < 100; ++i) {
        QTcpSocket s;
        s.connectToHost(QHostAddress::LocalHost, quint16(m_port));
        if (s.waitForConnected(100))
            return true;
        if (m_server.state() == QProcess::NotRunning)
            break;
        QThread::msleep(100);
    }
    *error = QStringLiteral("the server does not listen: ") + QString::fromLocal8Bit(m_server.readAll());
    stop();
    return false;
}

void FirebirdServer::refuseOnJoined(const char *what) const
{
    if (m_joined)
        qFatal("FirebirdServer: a test may not %s the suite's server, which every test shares; "
               "make the fixture FirebirdServer::Sharing::Private", what);
}

void FirebirdServer::stop()
{
    refuseOnJoined("stop");
    if (m_server.state() == QProcess::NotRunning)
        return;
    // SIGINT, as Ctrl+C. Its shutdown often lingers some 9 s whatever the
    // signal (20 s on SIGTERM), with nothing to save for a test: a second,
    // then by force.
    ::kill(pid_t(m_server.processId()), SIGINT);
    if (!m_server.waitForFinished(1000)) {
        m_server.kill();
        m_server.waitForFinished(5000);
    }
}

void FirebirdServer::signal(int sig)
{
    if (m_server.state() != QProcess::NotRunning)
        ::kill(pid_t(m_server.processId()), sig);
}

void FirebirdServer::kill()
{
    refuseOnJoined("kill");
    if (m_server.state() == QProcess::NotRunning)
        return;
    m_server.kill();
    m_server.waitForFinished(5000);
}
