#include "ReportLineStream.h"
#include "report/model/ReportFormat.h"

ReportLineStream::ReportLineStream(const ReportValues &values, const ReportDefinition &def)
    : m_values(values), m_def(def)
{
    for (const ReportGroup &g : def.groups)
        m_groupIdx.append(values.fieldIndex(g.field));
    for (const ReportColumn &c : def.columns)
        m_sumIdx.append(c.sum ? values.fieldIndex(c.field) : -1);
    const int n = int(def.groups.size());
    m_state.keys = QStringList(n);
    m_state.headers = QStringList(n);
    for (int level = 0; level <= n; ++level)
        for (const ReportColumn &c : def.columns)
            m_state.sums.append(FixedDecimal(0, ReportFormat::scaleOf(c)));
}

QVector<FixedDecimal> ReportLineStream::sumsOf(int level) const
{
    const qsizetype n = m_def.columns.size();
    return m_state.sums.mid((level + 1) * n, n);
}

QString ReportLineStream::key(int level, const QVector<QVariant> &row) const
{
    const int i = m_groupIdx[level];
    return i >= 0 && i < row.size() ? row[i].toString() : QString();
}

void ReportLineStream::close(int fromLevel, QList<ReportLine> &out)
{
    for (int l = groupCount() - 1; l >= fromLevel; --l) {
        const ReportGroup &g = m_def.groups[l];
        const bool silent = g.skipEmpty && m_state.keys[l].isEmpty();
        if (!g.subtotalCaption.isEmpty() && !silent)
            out.append({ReportLine::Subtotal, l, -1, m_values.expand(g.subtotalCaption, &m_state.last), sumsOf(l)});
        const qsizetype n = m_def.columns.size();
        for (qsizetype at = (l + 1) * n; at < (l + 2) * n; ++at)
            m_state.sums[at] = FixedDecimal(0, m_state.sums[at].scale());
        m_state.headers[l].clear();
    }
}

void ReportLineStream::take(const QVector<QVariant> &row, QList<ReportLine> &out)
{
    const int n = groupCount();
    int changed = n;
    for (int l = 0; l < n; ++l)
        if (m_state.rows == 0 || key(l, row) != m_state.keys[l]) {
            changed = l;
            break;
        }
    if (m_state.rows > 0 && changed < n)
        close(changed, out);
    for (int l = changed; l < n; ++l) {
        const ReportGroup &g = m_def.groups[l];
        m_state.keys[l] = key(l, row);
        const bool silent = g.skipEmpty && m_state.keys[l].isEmpty();
        m_state.headers[l] = g.headerTemplate.isEmpty() || silent ? QString() : m_values.expand(g.headerTemplate, &row);
        if (!m_state.headers[l].isEmpty())
            out.append({ReportLine::GroupHeader, l, m_state.rows, m_state.headers[l], {}});
    }
    out.append({ReportLine::Detail, 0, m_state.rows, QString(), {}});
    for (int c = 0; c < m_sumIdx.size(); ++c) {
        const int i = m_sumIdx[c];
        if (i < 0 || i >= row.size())
            continue;
        const std::optional<FixedDecimal> v = ReportFormat::amount(m_def.columns[c], row[i]);
        if (!v)
            continue;
        for (qsizetype at = c; at < m_state.sums.size(); at += m_sumIdx.size())
            m_state.sums[at] = m_state.sums[at].plus(*v);
    }
    m_state.last = row;
    ++m_state.rows;
}

void ReportLineStream::end(QList<ReportLine> &out)
{
    if (m_state.rows == 0) {
        out.append({ReportLine::Empty, 0, -1, QStringLiteral("Nenhum registro encontrado para os parâmetros informados."), {}});
        return;
    }
    close(0, out);
    if (!m_def.totalCaption.isEmpty())
        out.append({ReportLine::Total, 0, -1, m_def.totalCaption, sumsOf(-1)});
    if (m_def.chart.isSet())
        out.append({ReportLine::Chart, 0, -1, m_def.chart.title, {}});
}

int ReportLineStream::openLevelsBefore(const ReportLine &line) const
{
    switch (line.kind) {
    case ReportLine::GroupHeader:
    case ReportLine::Continued:
        return line.level;
    case ReportLine::Detail:
        return groupCount();
    case ReportLine::Subtotal:
        return line.level + 1;
    default:
        return 0;
    }
}
