#include "ReportConnection.h"
#include "core/Errors.h"
#include "data/engines/DatabaseEngine.h"
#include "data/engines/StatementWatch.h"

#include <QUuid>

bool ReportConnection::canOpenAgain(const QSqlDatabase &db)
{
    const DatabaseEngine *engine = DatabaseEngine::find(db);
    return !engine || engine->canOpenAgain(db);
}

ReportConnection::ReportConnection(const QString &source)
    : m_name(QStringLiteral("report-") + QUuid::createUuid().toString(QUuid::Id128))
{
    if (!QSqlDatabase::contains(source))
        throw EHostError(QStringLiteral("Não há conexão aberta com o banco de dados para executar o relatório."));
    try {
        DatabaseEngine::openAgain(source, m_name, DatabaseEngine::Access::ReadOnly);
    } catch (const EHostError &e) {
        DatabaseEngine::close(m_name);
        throw EHostError(QStringLiteral("Não foi possível abrir o banco de dados para o relatório: %1").arg(e.text()));
    }
}

ReportConnection::~ReportConnection() { DatabaseEngine::close(m_name); }

QSqlDatabase ReportConnection::database() const { return QSqlDatabase::database(m_name, false); }

std::function<void()> ReportConnection::interrupter() const
{
    const QSqlDatabase db = database();
    const DatabaseEngine *engine = DatabaseEngine::find(db);
    const std::function<void()> cancel = engine ? engine->interrupter(db) : std::function<void()>();
    // A server that does not answer takes no cancel request either: its
    // connection is closed if the statement is still running shortly after.
    return [cancel, name = m_name] {
        if (cancel)
            cancel();
        StatementWatch::cancelSoon(name);
    };
}
