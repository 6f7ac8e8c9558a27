#include "ReportPagePainter.h"
#include "report/model/ReportFormat.h"

#include <QLocale>
#include <QPaintEngine>
#include <QPainter>

ReportPagePainter::ReportPagePainter(const ReportDefinition &def, const ReportValues &values,
                                     const ReportMetrics &metrics, const ReportChartData &chart)
    : m_def(def), m_values(values), m_m(metrics), m_chart(chart), m_fm(metrics.font), m_fmBold(metrics.bold),
      m_glyphs(metrics.font), m_glyphsBold(metrics.bold)
{
    m_baseline = (m_m.rowHeight - m_fm.height()) / 2 + m_fm.ascent();
    m_baselineBold = (m_m.rowHeight - m_fmBold.height()) / 2 + m_fmBold.ascent();
    for (const ReportColumn &c : def.columns)
        m_colIdx.append(values.fieldIndex(c.field));
}

void ReportPagePainter::useFont(QPainter &p, bool bold) const
{
    if (m_font == int(bold))
        return;
    p.setFont(bold ? m_m.bold : m_m.font);
    m_font = int(bold);
}

void ReportPagePainter::cell(QPainter &p, const QFontMetricsF &fm, double x, double w, ReportColumn::Align a,
                             double y, const QString &text, bool whole) const
{
    if (text.isEmpty())
        return;
    const bool bold = &fm == &m_fmBold;
    ReportGlyphs &glyphs = bold ? m_glyphsBold : m_glyphs;
    const double inner = w - 2 * m_m.pad;
    double advance = 0;
    // A device of a paint engine of its own (a recorder) gets texts, not glyphs.
    const bool simple = p.paintEngine()->type() != QPaintEngine::User && glyphs.take(text, advance);
    QString shown = text;
    if (!simple)
        advance = fm.horizontalAdvance(text);
    if (advance > inner && whole) {
        wholeCell(p, bold, x, w, a, y, text);
        return;
    }
    if (advance > inner) {
        shown = fm.elidedText(text, Qt::ElideRight, inner);
        advance = fm.horizontalAdvance(shown);
    }
    double left = x + m_m.pad;
    if (a == ReportColumn::Align::Right)
        left = x + w - m_m.pad - advance;
    else if (a == ReportColumn::Align::Center)
        left = x + (w - advance) / 2;
    const QPointF origin(left, y + (bold ? m_baselineBold : m_baseline));
    if (simple && shown.size() == text.size())
        glyphs.draw(p, origin);
    else
        p.drawText(origin, shown);
}

void ReportPagePainter::wholeCell(QPainter &p, bool bold, double x, double w, ReportColumn::Align a, double y,
                                  const QString &text) const
{
    // A number never loses a digit: its type steps down until it fits.
    const double inner = w - 2 * m_m.pad;
    QFont font = bold ? m_m.bold : m_m.font;
    int size = font.pixelSize();
    double advance = QFontMetricsF(font).horizontalAdvance(text);
    size = qMax(1, int(size * inner / advance));
    for (font.setPixelSize(size); size > 1 && (advance = QFontMetricsF(font).horizontalAdvance(text)) > inner;)
        font.setPixelSize(--size);
    double left = x + m_m.pad;
    if (a == ReportColumn::Align::Right)
        left = x + w - m_m.pad - advance;
    else if (a == ReportColumn::Align::Center)
        left = x + (w - advance) / 2;
    p.setFont(font);
    p.drawText(QPointF(left, y + (bold ? m_baselineBold : m_baseline)), text);
    p.setFont(bold ? m_m.bold : m_m.font);
}

void ReportPagePainter::paintHeader(QPainter &p) const
{
    double y = 0;
    m_font = -1;
    p.setFont(m_m.titleFont);
    p.drawText(QRectF(0, y, m_m.width, m_m.titleHeight), Qt::AlignHCenter | Qt::AlignVCenter, m_m.title);
    y += m_m.titleHeight;
    p.setFont(m_m.font);
    for (const QString &tpl : m_def.headerLines) {
        const QString text = m_values.expand(tpl, nullptr);
        p.drawText(QRectF(0, y, m_m.width, m_m.rowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                   m_fm.elidedText(text, Qt::ElideRight, m_m.width));
        y += m_m.rowHeight;
    }
    for (const QString &line : m_m.paramLines) {
        const QStringList halves = line.split(QLatin1Char('\t'));
        for (int h = 0; h < halves.size(); ++h)
            p.drawText(QRectF(h * m_m.width / 2, y, m_m.width / 2, m_m.rowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                       halves[h]);
        y += m_m.rowHeight;
    }
    y += m_m.rowHeight * 0.5;
    p.setFont(m_m.bold);
    m_font = 1;
    for (int c = 0; c < m_def.columns.size(); ++c)
        cell(p, m_fmBold, m_m.colX[c], m_m.colW[c], m_def.columns[c].align, y, m_def.columns[c].caption);
    y += m_m.rowHeight * 1.1;
    p.drawLine(QPointF(0, y), QPointF(m_m.width, y));
    m_font = 1;
}

void ReportPagePainter::paintFooter(QPainter &p, int page, int pages) const
{
    const double y = m_m.height - m_m.footerHeight;
    useFont(p, false);
    p.drawLine(QPointF(0, y + m_m.rowHeight * 0.3), QPointF(m_m.width, y + m_m.rowHeight * 0.3));
    const QString text = m_values.expand(m_def.footerTemplate, nullptr, page, pages);
    p.drawText(QRectF(0, y + m_m.rowHeight * 0.5, m_m.width, m_m.rowHeight), Qt::AlignRight | Qt::AlignVCenter, text);
}

void ReportPagePainter::sums(QPainter &p, const ReportLine &line, double y) const
{
    useFont(p, true);
    int firstSum = 0;
    while (firstSum < m_def.columns.size() && !m_def.columns[firstSum].sum)
        ++firstSum;
    const double capW = firstSum < m_m.colX.size() ? m_m.colX[firstSum] : m_m.width;
    cell(p, m_fmBold, 0, capW, ReportColumn::Align::Left, y, line.text);
    for (int c = 0; c < m_def.columns.size(); ++c)
        if (m_def.columns[c].sum && c < line.sums.size())
            cell(p, m_fmBold, m_m.colX[c], m_m.colW[c], m_def.columns[c].align, y,
                 ReportFormat::display(m_def.columns[c], line.sums[c]), true);
    if (line.kind == ReportLine::Total)
        p.drawLine(QPointF(0, y), QPointF(m_m.width, y));
}

void ReportPagePainter::paintLine(QPainter &p, const ReportLine &line, double y, const QVector<QVariant> *row) const
{
    switch (line.kind) {
    case ReportLine::Detail: {
        useFont(p, false);
        for (int c = 0; c < m_def.columns.size(); ++c) {
            const int i = m_colIdx[c];
            const QVariant v = row && i >= 0 && i < row->size() ? row->at(i) : QVariant();
            const ReportColumn &col = m_def.columns[c];
            const bool number = col.format == ReportColumn::Format::Integer || col.format == ReportColumn::Format::Number;
            cell(p, m_fm, m_m.colX[c], m_m.colW[c], col.align, y, m_values.cell(col, v), number);
        }
        break;
    }
    case ReportLine::GroupHeader:
    case ReportLine::Continued:
        useFont(p, true);
        cell(p, m_fmBold, line.level * m_m.rowHeight, m_m.width - line.level * m_m.rowHeight, ReportColumn::Align::Left,
             y, line.kind == ReportLine::Continued ? line.text + QStringLiteral(" (continuação)") : line.text);
        break;
    case ReportLine::Subtotal:
    case ReportLine::Total:
        sums(p, line, y);
        break;
    case ReportLine::Empty:
        useFont(p, false);
        p.drawText(QRectF(0, y, m_m.width, m_m.rowHeight), Qt::AlignHCenter | Qt::AlignVCenter, line.text);
        break;
    case ReportLine::Chart:
        paintChart(p, y);
        break;
    }
}

int ReportPagePainter::chartLines() const
{
    return m_m.chartLines(qMin(m_chart.barCount(), m_m.maxChartBars()));
}

void ReportPagePainter::paintChart(QPainter &p, double y) const
{
    const QList<ReportChartData::Bar> bars = m_chart.bars(m_m.maxChartBars());
    const double rh = m_m.rowHeight;
    p.save();
    p.setFont(m_m.bold);
    y += rh; // a blank line after the total
    p.drawText(QRectF(0, y, m_m.width, rh), Qt::AlignHCenter | Qt::AlignVCenter, m_def.chart.title);
    y += rh * 1.5;
    p.setFont(m_m.font);
    double top = 0;
    double labelW = 0;
    for (const auto &b : bars) {
        top = qMax(top, b.value);
        labelW = qMax(labelW, m_fm.horizontalAdvance(b.label));
    }
    labelW = qMin(labelW + 2 * m_m.pad, m_m.width * 0.35);
    // As wide as the widest amount, within half the page (beyond that the
    // amount's type steps down): every amount whole.
    double valueW = m_fm.horizontalAdvance(QStringLiteral("000.000.000,00"));
    for (const auto &b : bars)
        valueW = qMax(valueW, m_fm.horizontalAdvance(b.amount.grouped()));
    valueW = qMin(valueW + 2 * m_m.pad, m_m.width * 0.5);
    const double barX = labelW, barMax = qMax(rh, m_m.width - labelW - valueW);
    for (const auto &b : bars) {
        cell(p, m_fm, 0, labelW, ReportColumn::Align::Right, y + rh * 0.5, b.label);
        const double w = top > 0 ? qMax(0.0, b.value) / top * barMax : 0;
        p.fillRect(QRectF(barX, y + rh * 0.2, w, rh * 1.6), QColor(70, 110, 160));
        cell(p, m_fm, barX + w, valueW, ReportColumn::Align::Left, y + rh * 0.5, b.amount.grouped(), true);
        y += rh * 2;
    }
    p.setPen(QPen(Qt::black, rh * 0.04));
    p.drawLine(QPointF(barX, y - bars.size() * rh * 2), QPointF(barX, y));
    p.restore();
    m_font = -1;
}
