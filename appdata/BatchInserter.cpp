#include "BatchInserter.h"
#include "core/Errors.h"
#include "data/SqlDialect.h"
#include "data/SqlStatement.h"

#include <QSqlError>

namespace {

// Firebird keeps a statement's input message under 64 KB: a text column of n
// characters takes 4n bytes there (connection character set UTF8), so the
// rows of one statement are kept to about 400 values.
constexpr int kFirebirdValuesPerStatement = 400;
// PostgreSQL takes up to 65,535 values a statement; a thousand already
// spares most of the round trips.
constexpr int kPostgresValuesPerStatement = 1000;

} // namespace

BatchInserter::BatchInserter(const QSqlDatabase &db, const QString &table, const QStringList &columns, int commitEvery)
    : m_db(db), m_table(table), m_columns(columns), m_commitEvery(qMax(1, commitEvery))
{
    if (columns.isEmpty())
        throw EHostError(QStringLiteral("Inserção em %1 sem colunas.").arg(table));
    const SqlEngine engine = SqlDialects::engineOf(db);
    m_firebird = engine == SqlEngine::Firebird;
    if (m_firebird)
        m_rowsPerStatement = qMax(1, kFirebirdValuesPerStatement / int(columns.size()));
    else if (engine == SqlEngine::PostgreSql)
        m_rowsPerStatement = qMax(1, kPostgresValuesPerStatement / int(columns.size()));
    begin();
}

BatchInserter::~BatchInserter()
{
    m_full.reset();
    if (m_open)
        m_db.rollback();
}

QString BatchInserter::statementText(int rows) const
{
    const QString list = m_columns.join(QLatin1String(", "));
    if (!m_firebird) {
        const QString row = QLatin1Char('(') + QStringList(m_columns.size(), QStringLiteral("?")).join(QLatin1String(", "))
                            + QLatin1Char(')');
        return QStringLiteral("INSERT INTO %1 (%2) VALUES %3").arg(m_table, list, QStringList(rows, row).join(QLatin1String(", ")));
    }
    QStringList inputs, inserts;
    for (int r = 0; r < rows; ++r) {
        QStringList names;
        for (int c = 0; c < m_columns.size(); ++c) {
            const QString name = QStringLiteral("P%1_%2").arg(r).arg(c);
            inputs << QStringLiteral("%1 TYPE OF COLUMN %2.%3 = ?").arg(name, m_table, m_columns.at(c));
            names << QLatin1Char(':') + name;
        }
        inserts << QStringLiteral("INSERT INTO %1 (%2) VALUES (%3);").arg(m_table, list, names.join(QLatin1String(", ")));
    }
    return QStringLiteral("EXECUTE BLOCK (%1) AS BEGIN %2 END")
        .arg(inputs.join(QLatin1String(", ")), inserts.join(QLatin1Char(' ')));
}

void BatchInserter::begin()
{
    m_open = m_db.transaction();
    m_inTransaction = 0;
    m_full = std::make_unique<QSqlQuery>(m_db);
    if (!m_full->prepare(statementText(m_rowsPerStatement)))
        throw EHostError(SqlStatement::errorText(m_full->lastError()));
}

void BatchInserter::commit()
{
    m_full.reset();
    if (!m_open)
        return;
    m_open = false;
    if (!m_db.commit())
        throw EHostError(SqlStatement::errorText(m_db.lastError()));
}

void BatchInserter::run(QSqlQuery &query, int rows)
{
    const int values = rows * int(m_columns.size());
    for (int i = 0; i < values; ++i)
        query.bindValue(i, m_pending.at(i));
    if (!query.exec())
        throw EHostError(SqlStatement::errorText(query.lastError()));
    m_pending.remove(0, values);
    m_written += rows;
    m_inTransaction += rows;
}

void BatchInserter::flush()
{
    const int rows = int(m_pending.size() / m_columns.size());
    if (rows == 0)
        return;
    if (rows == m_rowsPerStatement) {
        run(*m_full, rows);
        return;
    }
    QSqlQuery rest(m_db);
    if (!rest.prepare(statementText(rows)))
        throw EHostError(SqlStatement::errorText(rest.lastError()));
    run(rest, rows);
}

void BatchInserter::add(const QVariantList &values)
{
    if (values.size() != m_columns.size())
        throw EHostError(QStringLiteral("Inserção em %1: %2 valores para %3 colunas.")
                             .arg(m_table)
                             .arg(values.size())
                             .arg(m_columns.size()));
    if (!m_full)
        begin();
    m_pending += values;
    if (m_pending.size() / m_columns.size() < m_rowsPerStatement)
        return;
    flush();
    if (m_inTransaction >= m_commitEvery)
        commit();
}

void BatchInserter::finish()
{
    if (!m_full)
        begin();
    flush();
    commit();
}
