#include "CostsServerSupervisor.h"
#include "core/QuotedText.h"

#include <QTcpSocket>

namespace {
QString endSentence(QString text)
{
    text = text.trimmed();
    if (!text.endsWith(QLatin1Char('.')))
        text += QLatin1Char('.');
    return text;
}
}

CostsServerSupervisor::CostsServerSupervisor(QObject *parent) : QObject(parent)
{
    m_clock.start();
    // Queued: the server is started again once QProcess is done with the
    // one that ended, never from inside its own signal.
    connect(&m_process, &CostsServerProcess::ended, this, &CostsServerSupervisor::serverEnded, Qt::QueuedConnection);
}

CostsServerSupervisor::~CostsServerSupervisor() { m_process.stop(); }

void CostsServerSupervisor::setState(State state)
{
    // Told even when the state stays Running: the address may have changed.
    m_state = state;
    emit stateChanged(state);
}

bool CostsServerSupervisor::startNow(QString *error)
{
    QString why;
    if (m_process.start(m_database, {}, m_startTimeoutMs, &why)) {
        m_lastError.clear();
        m_everRan = true;
        setState(State::Running);
        return true;
    }
    m_lastError = why;
    if (error)
        *error = why;
    setState(State::Down);
    return false;
}

bool CostsServerSupervisor::start(QString *error)
{
    m_restarts.clear();
    return startNow(error);
}

bool CostsServerSupervisor::restart(QString *error)
{
    m_process.stop();
    m_restarts.clear();
    return startNow(error);
}

bool CostsServerSupervisor::ensureRunning(QString *error)
{
    if (m_state == State::Running && m_process.isRunning())
        return true;
    return restart(error);
}

void CostsServerSupervisor::stop()
{
    m_process.stop();
    m_lastError.clear();
    setState(State::Stopped);
}

bool CostsServerSupervisor::confirmRunning()
{
    if (m_state != State::Running)
        return false;
    const QString address = QStringLiteral("%1:%2").arg(host()).arg(port());
    if (m_process.isRunning()) {
        // A refusal means that the process is gone or going; a busy server
        // (its queue of connections full) is left alone.
        QTcpSocket probe;
        probe.connectToHost(host(), quint16(port()));
        if (probe.waitForConnected(1000) || probe.error() != QAbstractSocket::ConnectionRefusedError)
            return true;
    }
    // Its end, handled now: the queued serverEnded() then finds it running.
    m_process.stop();
    startAgain(QStringLiteral("não atendia em %1").arg(address));
    return m_state == State::Running;
}

void CostsServerSupervisor::serverEnded(const QString &why)
{
    // Stopped meanwhile, or already started again (restart()): nothing to do.
    if (m_state != State::Running || m_process.isRunning())
        return;
    startAgain(why);
}

void CostsServerSupervisor::startAgain(const QString &why)
{
    const qint64 now = m_clock.elapsed();
    m_restarts.removeIf([now](qint64 t) { return now - t >= kRestartWindowMs; });
    if (m_restarts.size() >= kMaxRestarts) {
        m_lastError = QStringLiteral("parou %1 vezes em 1 minuto").arg(kMaxRestarts + 1);
        setState(State::Down);
        emit notice(QStringLiteral("O servidor de custos próprio parou de novo (%1) depois de ser iniciado de novo %2 "
                                   "vezes em 1 minuto; ele fica parado, e as telas abertas a partir de agora ficam "
                                   "sem tipos de custo. Feche e abra o programa; se continuar, avise o suporte.")
                        .arg(why).arg(kMaxRestarts));
        return;
    }
    m_restarts.append(now);
    QString error;
    if (startNow(&error))
        emit notice(QStringLiteral("O servidor de custos próprio parou (%1) e foi iniciado de novo em %2:%3; as telas "
                                   "abertas a partir de agora leem os tipos de custo dele.")
                        .arg(why, host())
                        .arg(port()));
    else
        emit notice(QStringLiteral("O servidor de custos próprio parou (%1) e não pôde ser iniciado de novo: %2 As "
                                   "telas abertas a partir de agora ficam sem tipos de custo. Feche e abra o "
                                   "programa; se continuar, avise o suporte.")
                        .arg(why, endSentence(error)));
}

QString CostsServerSupervisor::stateText() const
{
    switch (m_state) {
    case State::Running:
        if (m_process.isRunning())
            return QStringLiteral("%1:%2 (próprio)").arg(host()).arg(port());
        return QStringLiteral("parou; iniciando de novo");
    case State::Down:
        return m_everRan ? QStringLiteral("parado (%1)").arg(QuotedText::clip(m_lastError, 60))
                         : QStringLiteral("não iniciou");
    case State::Stopped:
        break;
    }
    return QStringLiteral("parado");
}
