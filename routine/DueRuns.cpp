#include "DueRuns.h"
#include "core/Errors.h"
#include "core/RunSchedule.h"
#include "core/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QStandardPaths>

namespace {
QString dataFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(folder);
    return folder;
}
} // namespace

DueRuns::DueRuns()
    : m_file(QDir(dataFolder()).filePath(QStringLiteral("rotina-agendada.json"))),
      m_lock(QDir(dataFolder()).filePath(QStringLiteral("rotina-agendada.lock")))
{
}

bool DueRuns::lock()
{
    // A killed run leaves its lock behind: a lock whose process is gone is taken over.
    m_lock.setStaleLockTime(0);
    if (!m_lock.tryLock(0))
        return false;
    QFile file(m_file);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        throw EHostError(QStringLiteral("Não foi possível ler o registro das execuções agendadas %1: %2.")
                             .arg(m_file, file.errorString()));
    m_record = QJsonDocument::fromJson(file.readAll()).object();
    return true;
}

QString DueRuns::key(const ParameterSet &set)
{
    return (set.scope == ParameterSet::Scope::Shared ? QStringLiteral("compartilhado/") : QStringLiteral("pessoal/"))
        + set.name;
}

QList<DueRuns::Due> DueRuns::due(const QList<ParameterSet> &sets, const QDateTime &now) const
{
    QList<Due> found;
    for (const ParameterSet &set : sets) {
        const auto schedule = RunSchedule::fromText(set.schedule);
        if (!schedule || (set.scope == ParameterSet::Scope::Shared && set.owner != ParameterSets::currentUser()))
            continue;
        const QDateTime moment = schedule->lastDue(now);
        const QDateTime last = QDateTime::fromString(m_record.value(key(set)).toString(), Qt::ISODate);
        // A set scheduled after a moment starts from the next one.
        if (moment > set.changed && (!last.isValid() || last < moment))
            found.append({set, moment});
    }
    return found;
}

void DueRuns::ran(const Due &due)
{
    m_record.insert(key(due.set), due.moment.toString(Qt::ISODate));
    try {
        SafeFile::writeAll(m_file, QJsonDocument(m_record).toJson(QJsonDocument::Indented));
    } catch (const EHostError &e) {
        throw EHostError(QStringLiteral("O relatório de \"%1\" foi gravado, mas a execução não pôde ser registrada (ele "
                                        "será emitido de novo na próxima vez): %2").arg(due.set.name, e.text()));
    }
}
