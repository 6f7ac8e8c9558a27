#include "CostsServerProcess.h"
#include "core/Errors.h"
#include "core/QuotedText.h"
#include "data/engines/DatabaseEngine.h"
#include "remote/RemoteProtocol.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <utility>

CostsServerProcess::CostsServerProcess(QObject *parent) : QObject(parent), m_program(defaultProgram())
{
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    // Drained as it comes: a server that logs for days (refused tokens, say)
    // must not grow the shell's memory.
    connect(&m_process, &QProcess::readyReadStandardError, this, &CostsServerProcess::keepErrorTail);
    connect(&m_process, &QProcess::finished, this, &CostsServerProcess::onFinished);
}

CostsServerProcess::~CostsServerProcess() { stop(); }

QString CostsServerProcess::defaultProgram()
{
    // Beside the shell: its build name, or the name it is installed under.
    const QDir dir(QCoreApplication::applicationDirPath());
    const QString built = dir.filePath(QStringLiteral("costs_server"));
    const QString installed = dir.filePath(QStringLiteral("merenda-costs"));
    return QFileInfo::exists(built) || !QFileInfo::exists(installed) ? built : installed;
}

void CostsServerProcess::setCredentials(const QString &user, const QString &password)
{
    m_user = user;
    m_password = password;
}

QProcessEnvironment CostsServerProcess::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!m_user.isEmpty())
        env.insert(QStringLiteral("ISC_USER"), m_user);
    if (!m_password.isEmpty())
        env.insert(QStringLiteral("ISC_PASSWORD"), m_password);
    if (m_token.isEmpty())
        env.remove(QStringLiteral("COSTS_TOKEN"));
    else
        env.insert(QStringLiteral("COSTS_TOKEN"), m_token);
    return env;
}

bool CostsServerProcess::start(const QString &databaseLocation, const QStringList &extraArguments, int timeoutMs,
                               QString *error)
{
    stop();
    auto failed = [&](const QString &why) {
        if (error)
            *error = why;
        stop();
        return false;
    };
    if (m_token.toUtf8().size() > RemoteProtocol::kMaxToken)
        return failed(QStringLiteral("A chave de acesso (token) do servidor de custos tem %1 bytes; o limite é %2. "
                                     "Use uma chave menor.")
                          .arg(m_token.toUtf8().size()).arg(RemoteProtocol::kMaxToken));
    if (!QFileInfo(m_program).isExecutable())
        return failed(QStringLiteral("Servidor de custos não encontrado: %1").arg(m_program));
    // The child inherits the client's set-up (an embedded Firebird file is
    // shared only between processes that run with the same one).
    try {
        DatabaseLocation::parse(databaseLocation).engine().prepareClient();
    } catch (const EHostError &e) {
        return failed(e.text());
    }
    QStringList args{QStringLiteral("--db"), databaseLocation, QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"),
                     QStringLiteral("--exit-with-stdin")};
    args += extraArguments;
    m_process.setProcessEnvironment(environment());
    m_errorTail.clear();
    m_process.start(m_program, args);
    QDeadlineTimer deadline(timeoutMs);
    if (!m_process.waitForStarted(int(qMax<qint64>(1, deadline.remainingTime()))))
        return failed(QStringLiteral("Não foi possível iniciar o servidor de custos: %1").arg(m_process.errorString()));
    // First line: "LISTENING <address> <port>".
    QByteArray line;
    while (!line.endsWith('\n')) {
        if (m_process.canReadLine()) {
            line = m_process.readLine();
            break;
        }
        if (m_process.state() != QProcess::Running || deadline.hasExpired())
            break;
        m_process.waitForReadyRead(int(qMax<qint64>(1, qMin<qint64>(deadline.remainingTime(), 200))));
    }
    const QList<QByteArray> parts = line.trimmed().split(' ');
    bool ok = false;
    const int port = parts.size() == 3 && parts[0] == "LISTENING" ? parts[2].toInt(&ok) : 0;
    if (!ok || port <= 0) {
        m_process.waitForFinished(100);
        // Its own words, bounded: the first lines tell why it did not start.
        const QString detail = errorOutput().trimmed().left(2000);
        return failed(QStringLiteral("O servidor de custos não informou sua porta%1")
                          .arg(detail.isEmpty() ? QStringLiteral(".") : QStringLiteral(": ") + detail));
    }
    m_host = QString::fromLatin1(parts[1]);
    m_port = port;
    return true;
}

void CostsServerProcess::stop()
{
    m_port = 0;
    m_host.clear();
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}

bool CostsServerProcess::isRunning() const { return m_process.state() == QProcess::Running; }

void CostsServerProcess::keepErrorTail()
{
    m_errorTail += m_process.readAllStandardError();
    if (m_errorTail.size() > kErrorTail)
        m_errorTail.remove(0, m_errorTail.size() - kErrorTail);
}

QString CostsServerProcess::errorOutput()
{
    keepErrorTail();
    return QString::fromUtf8(std::exchange(m_errorTail, QByteArray()));
}

void CostsServerProcess::onFinished(int exitCode, QProcess::ExitStatus status)
{
    // Only a server that was up: a failed start() and stop() say so themselves.
    if (m_port == 0)
        return;
    m_port = 0;
    m_host.clear();
    QString why = status == QProcess::CrashExit ? QStringLiteral("foi encerrado à força")
                                                : QStringLiteral("terminou com o código %1").arg(exitCode);
    const QStringList lines = errorOutput().trimmed().split(QLatin1Char('\n'));
    if (!lines.last().isEmpty())
        why += QStringLiteral(": ") + QuotedText::clip(lines.last(), 300);
    emit ended(why);
}

qint64 CostsServerProcess::processId() const { return m_process.processId(); }
