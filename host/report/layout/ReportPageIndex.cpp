#include "ReportPageIndex.h"

ReportPageIndex::ReportPageIndex(ReportLineStream &stream, int linesPerPage)
    : m_stream(stream), m_linesPerPage(linesPerPage)
{
}

bool ReportPageIndex::breakPossible() const
{
    return m_pages.isEmpty() || m_capacity - m_used <= m_stream.maxLinesPerRow() + 1;
}

void ReportPageIndex::startPage(const QList<ReportLine> &lines, int at, qint64 token, qint64 row,
                                const ReportLineStream::State *before, qint64 lastToken)
{
    ReportPageStart page;
    page.token = token;
    page.row = row;
    page.skip = at;
    page.firstLine = m_lineCount + at;
    const ReportLine &first = lines[at];
    // Headers of the groups still open above the first line: a subtotal
    // closes groups the row's own headers have not reopened yet.
    const QStringList &headers = first.kind == ReportLine::Subtotal && before ? before->headers
                                                                               : m_stream.state().headers;
    const int open = m_stream.openLevelsBefore(first);
    // The outer headers are repeated while they take at most half the page,
    // so that a page always holds lines of its own however deep the groups.
    const int repeatable = m_linesPerPage / 2;
    for (int l = 0; l < open && l < headers.size() && page.continued.size() < repeatable; ++l)
        if (!headers[l].isEmpty() && m_pages.size() > 0)
            page.continued.append({l, headers[l]});
    if (before) {
        page.state = *before;
        page.state.last = QVector<QVariant>();
    }
    page.lastToken = lastToken;
    m_pages.append(page);
    m_capacity = qMax(1, m_linesPerPage - int(page.continued.size()));
    m_used = 0;
    m_usedLines = 0;
    m_trailing = 0;
}

void ReportPageIndex::place(const QList<ReportLine> &lines, qint64 token, qint64 row,
                            const ReportLineStream::State *before, qint64 lastToken,
                            const std::function<int(const ReportLine &)> &linesTaken)
{
    for (int j = 0; j < lines.size(); ++j) {
        const int size = linesTaken ? linesTaken(lines[j]) : 1;
        if (m_pages.isEmpty()) {
            startPage(lines, j, token, row, before, lastToken);
        } else if (m_used + size > m_capacity && m_used > 0) {
            // Headers at the foot of the page go with what they head, unless
            // they fill half a page: then the next page would hold nothing else.
            const int move = m_trailing < m_capacity / 2 ? qMin(qMin(m_trailing, m_usedLines - 1), j) : 0;
            m_pages.last().lines = m_usedLines - move;
            startPage(lines, j - move, token, row, before, lastToken);
            m_used = m_usedLines = m_trailing = move;
        }
        m_used += size;
        ++m_usedLines;
        m_trailing = lines[j].kind == ReportLine::GroupHeader ? m_trailing + 1 : 0;
    }
    m_lineCount += lines.size();
}

void ReportPageIndex::finish()
{
    if (!m_pages.isEmpty())
        m_pages.last().lines = m_usedLines;
}
