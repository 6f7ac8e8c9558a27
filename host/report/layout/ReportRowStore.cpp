#include "ReportRowStore.h"
#include "core/Errors.h"

namespace {
class MemoryReader : public ReportRowReader {
public:
    explicit MemoryReader(const QList<QVector<QVariant>> &rows) : m_rows(rows) {}
    void seek(qint64 token) override { m_next = token; }
    bool next(QVector<QVariant> &row) override
    {
        if (m_next < 0 || m_next >= m_rows.size())
            return false;
        row = m_rows[m_next++];
        return true;
    }

private:
    const QList<QVector<QVariant>> &m_rows;
    qint64 m_next = 0;
};
} // namespace

qint64 ReportMemoryRows::append(const QVector<QVariant> &row)
{
    if (m_given) {
        if (m_counted >= m_rows->size())
            throw EHostError(QStringLiteral("As linhas deste relatório não podem ser alteradas."));
        return m_counted++;
    }
    m_own.append(row);
    return m_own.size() - 1;
}

std::unique_ptr<ReportRowReader> ReportMemoryRows::reader() const { return std::make_unique<MemoryReader>(*m_rows); }
