#include "SqlStatement.h"
#include "FailureText.h"
#include "HostDatabase.h"
#include "NamedSql.h"
#include "core/Errors.h"
#include "engines/SqlDialect.h"

#include <QSqlError>
#include <optional>

SqlStatement::SqlStatement(const QSqlDatabase &db)
    : m_db(db), m_dialect(&SqlDialect::of(db)), m_query(db)
{
    m_query.setForwardOnly(true);
}

SqlStatement::~SqlStatement() = default;

void SqlStatement::finish()
{
    m_query.finish();
    m_running.reset();
}

QString SqlStatement::timedOutText(const QString &where, int seconds)
{
    return QStringLiteral("O servidor do banco de dados %1 não respondeu em %2 s, e a consulta foi interrompida. "
                          "Confira se o servidor está no ar e funcionando; a próxima ação conecta de novo.")
        .arg(where)
        .arg(seconds);
}

QString SqlStatement::errorText(const QSqlError &error)
{
    QString text = error.databaseText().trimmed();
    // SQLite's text for a failure of Qt's own (a second statement in the text) says nothing.
    if (text.isEmpty() || text.compare(QLatin1String("not an error"), Qt::CaseInsensitive) == 0)
        text = error.driverText().trimmed();
    if (text.isEmpty())
        text = QStringLiteral("Erro desconhecido no banco de dados.");
    return text;
}

void SqlStatement::exec(const QString &namedText, const TParams &params)
{
    if (!m_db.isOpen())
        throw EHostError(QStringLiteral("O banco de dados não está aberto."));
    const NamedSql sql = NamedSql::parse(namedText);
    using Markers = SqlDialect::Markers;
    m_prepared = m_dialect->finalText(
        sql.positional([&](const QString &name) { return m_dialect->marker(params.FindParam(name), Markers::Typed); }));
    m_bound.clear();
    for (const QString &name : sql.names())
        m_bound << m_dialect->bind(params.FindParam(name), Markers::Typed);

    finish();
    m_running = std::make_unique<StatementWatch::Running>(m_db);
    const StatementWatch::Running::Call call(*m_running);
    if (!m_query.prepare(m_prepared) && !prepareTyped(sql, params))
        fail(m_query.lastError());
    for (int i = 0; i < m_bound.size(); ++i)
        m_query.bindValue(i, m_bound.at(i));
    if (!m_query.exec())
        fail(m_query.lastError());
}

bool SqlStatement::prepareTyped(const NamedSql &sql, const TParams &params)
{
    // An engine that infers a parameter's type from where it stands, where
    // nothing tells (":P IS NULL", a bare item of the select list), gets the
    // statement again with every marker cast to its value's type.
    if (!m_dialect->has(SqlDialect::Feature::TypedMarkersOnRetry) || !m_dialect->wantsTypedMarkers(m_query.lastError()))
        return false;
    const QString typed = m_dialect->finalText(
        sql.positional([&](const QString &name) { return m_dialect->typedMarker(params.FindParam(name)); }));
    if (!m_query.prepare(typed))
        return false;
    m_prepared = typed;
    return true;
}

bool SqlStatement::next()
{
    {
        std::optional<StatementWatch::Running::Call> call;
        if (m_running)
            call.emplace(*m_running);
        if (m_query.next())
            return true;
    }
    // Some errors (a value too long for its column, a failed conversion) only
    // show when the row is fetched.
    if (m_query.lastError().isValid())
        fail(m_query.lastError());
    // Read to the end: the statement lets go of the database (a SQLite
    // reader's lock) now, not when it is destroyed.
    finish();
    return false;
}

void SqlStatement::fail(const QSqlError &error)
{
    if (m_running && m_running->timedOut()) {
        const int seconds = m_running->secondsWaited();
        m_running.reset();
        HostDatabase::instance().noteLost(m_db);
        throw EHostError(timedOutText(HostDatabase::where(m_db), seconds));
    }
    m_running.reset();
    QString text = errorText(error);
    while (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    if (HostDatabase::instance().noteFailure(m_db, error))
        throw EHostError(QStringLiteral("A conexão com o banco de dados %1 caiu: %2. Confira se o servidor de banco de "
                                        "dados está no ar; a próxima ação conecta de novo.")
                             .arg(HostDatabase::where(m_db), text));
    throw EHostError(FailureText::sentence(m_dialect->failure(m_db, error), QStringLiteral("a consulta")));
}
