#include "BatchInserter.h"
#include "core/Errors.h"
#include "data/engines/SqlDialect.h"
#include "data/SqlStatement.h"

#include <QSqlError>

BatchInserter::BatchInserter(const QSqlDatabase &db, const QString &table, const QStringList &columns, int commitEvery)
    : m_db(db), m_dialect(&SqlDialect::of(db)), m_table(table), m_columns(columns),
      m_commitEvery(qMax(1, commitEvery))
{
    if (columns.isEmpty())
        throw EHostError(QStringLiteral("Inserção em %1 sem colunas.").arg(table));
    m_rowsPerStatement = qMax(1, m_dialect->valuesPerInsert() / int(columns.size()));
    begin();
}

BatchInserter::~BatchInserter()
{
    m_full.reset();
    if (m_open)
        m_db.rollback();
}

QString BatchInserter::statementText(int rows) const { return m_dialect->insertRows(m_table, m_columns, rows); }

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
    for (int i = 0; i < values; ++i) {
        const QVariant &v = m_pending.at(i);
        // Dates as the engine keeps them (SQLite: text).
        if (v.typeId() == QMetaType::QDate)
            query.bindValue(i, m_dialect->dateValue(v.toDate()));
        else if (v.typeId() == QMetaType::QDateTime)
            query.bindValue(i, m_dialect->dateTimeValue(v.toDateTime()));
        else
            query.bindValue(i, v);
    }
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
