#include "ReportRenderer.h"

ReportRenderer::ReportRenderer(const ReportDefinition &def, const ReportData &data)
    : m_doc(std::make_shared<ReportDocument>(def, data.params))
{
    m_doc->begin(data.fields, data.lookups, std::make_shared<ReportMemoryRows>(data.rows));
    for (const auto &row : data.rows)
        m_doc->addRow(row);
    m_doc->finish();
    ReportLineStream stream(m_doc->values(), m_doc->definition());
    for (const auto &row : data.rows)
        stream.take(row, m_lines);
    stream.end(m_lines);
}

QList<int> ReportRenderer::pageStarts(QPagedPaintDevice *) const
{
    QList<int> out;
    for (const ReportPageStart &p : m_doc->pages())
        out << int(p.firstLine);
    return out;
}
