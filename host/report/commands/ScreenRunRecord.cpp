#include "ScreenRunRecord.h"
#include "session/ShellNotices.h"

ScreenRunRecord::ScreenRunRecord(RunHistory *history, const RunRecord &run) : m_history(history)
{
    if (!m_history)
        return;
    m_id = m_history->begin(run);
    m_watch = QObject::connect(&ShellNotices::instance(), &ShellNotices::fileWritten,
                               [this](const QString &path) { m_files << path; });
}

ScreenRunRecord::~ScreenRunRecord()
{
    if (!m_ended)
        failed(QStringLiteral("O comando terminou com um erro inesperado."));
    QObject::disconnect(m_watch);
}

void ScreenRunRecord::end(RunRecord::Outcome outcome, const QString &why)
{
    if (m_ended)
        return;
    m_ended = true;
    QObject::disconnect(m_watch);
    if (m_history)
        m_history->finish(m_id, outcome, why, m_rows, m_files);
}
