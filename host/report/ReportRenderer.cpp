#include "ReportRenderer.h"
#include "ReportFormat.h"
#include "ReportTemplate.h"
#include "toolkit/Errors.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <cmath>

namespace {
const double kMarginMm = 10.0;

Qt::Alignment qtAlign(ReportColumn::Align a)
{
    switch (a) {
    case ReportColumn::Align::Center: return Qt::AlignHCenter;
    case ReportColumn::Align::Right: return Qt::AlignRight;
    case ReportColumn::Align::Left: break;
    }
    return Qt::AlignLeft;
}
} // namespace

ReportRenderer::ReportRenderer(const ReportDefinition &def, const ReportData &data) : m_def(def), m_data(data)
{
    for (const ReportColumn &c : def.columns)
        m_colIndex.append(data.fieldIndex(c.field));
    m_font = QFont(def.fontFamily);
    m_font.setPointSizeF(def.fontSize);
    m_bold = m_font;
    m_bold.setBold(true);
    m_title = m_bold;
    m_title.setPointSizeF(def.fontSize + 4);
    buildLines();
}

QPageLayout ReportRenderer::pageLayout(const ReportDefinition &def)
{
    return QPageLayout(QPageSize(QPageSize::A4),
                       def.orientation == ReportDefinition::Orientation::Landscape ? QPageLayout::Landscape
                                                                                   : QPageLayout::Portrait,
                       QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter);
}

QString ReportRenderer::fieldValue(const QString &name, int row, int page, int pages) const
{
    if (name.compare(QLatin1String("page"), Qt::CaseInsensitive) == 0)
        return QString::number(page);
    if (name.compare(QLatin1String("pages"), Qt::CaseInsensitive) == 0)
        return QString::number(pages);
    if (const ReportParamDecl *decl = m_def.findParam(name)) {
        const TParam *p = m_data.params.FindParam(name);
        return p ? ReportFormat::param(*decl, p->Value()) : QString();
    }
    if (name.contains(QLatin1Char('.')))
        return ReportFormat::plain(m_data.lookups.value(name.toUpper()));
    const int i = m_data.fieldIndex(name);
    if (i >= 0 && row >= 0 && row < m_data.rows.size())
        return ReportFormat::plain(m_data.rows[row][i]);
    return QString();
}

void ReportRenderer::buildLines()
{
    m_lines.clear();
    const int nCols = int(m_def.columns.size());
    const int nGroups = int(m_def.groups.size());
    QVector<int> groupIdx;
    for (const ReportGroup &g : m_def.groups)
        groupIdx.append(m_data.fieldIndex(g.field));
    // sums[0] is the grand total, sums[l + 1] the open group of level l.
    QVector<QVector<double>> sums(nGroups + 1, QVector<double>(nCols, 0.0));
    QVector<QString> keys(nGroups);
    QVector<int> firstRow(nGroups, -1);

    auto closeGroups = [&](int fromLevel, int lastRow) {
        for (int l = nGroups - 1; l >= fromLevel; --l) {
            const ReportGroup &g = m_def.groups[l];
            if (!g.subtotalCaption.isEmpty()) {
                Line s{Line::Subtotal, l, -1,
                       ReportTemplate::expand(g.subtotalCaption,
                                              [&](const QString &n) { return fieldValue(n, lastRow, 0, 0); }),
                       sums[l + 1]};
                m_lines.append(s);
            }
            sums[l + 1].fill(0.0);
        }
    };

    const int nRows = int(m_data.rows.size());
    for (int r = 0; r < nRows; ++r) {
        const QVector<QVariant> &row = m_data.rows[r];
        int changed = nGroups;
        for (int l = 0; l < nGroups; ++l) {
            const QString k = groupIdx[l] >= 0 ? row[groupIdx[l]].toString() : QString();
            if (r == 0 || k != keys[l]) {
                changed = l;
                break;
            }
        }
        if (r > 0 && changed < nGroups)
            closeGroups(changed, r - 1);
        for (int l = changed; l < nGroups; ++l) {
            keys[l] = groupIdx[l] >= 0 ? row[groupIdx[l]].toString() : QString();
            const ReportGroup &g = m_def.groups[l];
            if (!g.headerTemplate.isEmpty())
                m_lines.append({Line::GroupHeader, l, r,
                                ReportTemplate::expand(g.headerTemplate,
                                                       [&](const QString &n) { return fieldValue(n, r, 0, 0); }),
                                {}});
        }
        m_lines.append({Line::Detail, 0, r, QString(), {}});
        for (int c = 0; c < nCols; ++c) {
            if (!m_def.columns[c].sum || m_colIndex[c] < 0)
                continue;
            const double v = row[m_colIndex[c]].toDouble();
            for (auto &level : sums)
                level[c] += v;
        }
    }
    if (nRows == 0) {
        m_lines.append({Line::Empty, 0, -1, QStringLiteral("Nenhum registro encontrado para os parâmetros informados."), {}});
        return;
    }
    closeGroups(0, nRows - 1);
    if (!m_def.totalCaption.isEmpty())
        m_lines.append({Line::Total, 0, -1, m_def.totalCaption, sums[0]});
}

ReportRenderer::Metrics ReportRenderer::measure(QPagedPaintDevice *device) const
{
    Metrics m;
    const double pxPerMm = device->logicalDpiX() / 25.4;
    m.width = device->width();
    m.height = device->height();
    const QFontMetricsF fm(m_font, device);
    m.rowHeight = std::ceil(fm.height() * 1.25);

    double x = 0;
    for (const ReportColumn &c : m_def.columns) {
        m.colX.append(x);
        m.colW.append(c.widthMm * pxPerMm);
        x += c.widthMm * pxPerMm;
    }
    // Labelled parameters, two to a line.
    QStringList items;
    for (const ReportParamDecl &d : m_def.params) {
        if (d.label.isEmpty())
            continue;
        items << QStringLiteral("%1: %2").arg(d.label, fieldValue(d.name, -1, 0, 0));
    }
    for (int i = 0; i < items.size(); i += 2)
        m.paramLines << (i + 1 < items.size() ? items[i] + QLatin1Char('\t') + items[i + 1] : items[i]);

    // A long title gets a smaller type, down to the body's size, then is cut.
    m.titleFont = m_title;
    while (QFontMetricsF(m.titleFont, device).horizontalAdvance(m_def.title) > m.width
           && m.titleFont.pointSizeF() > m_font.pointSizeF())
        m.titleFont.setPointSizeF(std::max(m_font.pointSizeF(), m.titleFont.pointSizeF() - 0.5));
    const QFontMetricsF fmTitle(m.titleFont, device);
    m.title = fmTitle.elidedText(m_def.title, Qt::ElideRight, m.width);
    m.titleHeight = std::ceil(fmTitle.height() * 1.4);

    m.headerHeight = m.titleHeight
        + m.rowHeight * (m_def.headerLines.size() + m.paramLines.size())
        + m.rowHeight * 0.5  // gap before the captions
        + m.rowHeight * 1.3; // captions and their rule
    m.footerHeight = m.rowHeight * 1.6;
    m.linesPerPage = int(std::floor((m.height - m.headerHeight - m.footerHeight) / m.rowHeight));
    if (m.linesPerPage < 2)
        throw EHostError(QStringLiteral("A página é pequena demais para o cabeçalho do relatório \"%1\".").arg(m_def.title));
    return m;
}

QList<QPair<int, int>> ReportRenderer::paginate(const Metrics &m) const
{
    QList<QPair<int, int>> pages;
    const int n = int(m_lines.size());
    int start = 0;
    while (start < n) {
        int end = std::min(n, start + m.linesPerPage);
        // Group headers at the foot of a page move to the next one.
        while (end < n && end - 1 > start && m_lines[end - 1].kind == Line::GroupHeader)
            --end;
        pages.append({start, end});
        start = end;
    }
    if (pages.isEmpty())
        pages.append({0, 0});
    return pages;
}

void ReportRenderer::paintHeader(QPainter &p, const Metrics &m) const
{
    double y = 0;
    p.setFont(m.titleFont);
    p.drawText(QRectF(0, y, m.width, m.titleHeight), Qt::AlignHCenter | Qt::AlignVCenter, m.title);
    y += m.titleHeight;
    p.setFont(m_font);
    for (const QString &tpl : m_def.headerLines) {
        const QString text = ReportTemplate::expand(tpl, [&](const QString &n) { return fieldValue(n, -1, 0, 0); });
        p.drawText(QRectF(0, y, m.width, m.rowHeight), Qt::AlignLeft | Qt::AlignVCenter, text);
        y += m.rowHeight;
    }
    for (const QString &line : m.paramLines) {
        const QStringList halves = line.split(QLatin1Char('\t'));
        for (int h = 0; h < halves.size(); ++h)
            p.drawText(QRectF(h * m.width / 2, y, m.width / 2, m.rowHeight), Qt::AlignLeft | Qt::AlignVCenter, halves[h]);
        y += m.rowHeight;
    }
    y += m.rowHeight * 0.5;
    p.setFont(m_bold);
    const double pad = m.rowHeight * 0.15;
    for (int c = 0; c < m_def.columns.size(); ++c)
        p.drawText(QRectF(m.colX[c] + pad, y, m.colW[c] - 2 * pad, m.rowHeight),
                   qtAlign(m_def.columns[c].align) | Qt::AlignVCenter, m_def.columns[c].caption);
    y += m.rowHeight * 1.1;
    p.drawLine(QPointF(0, y), QPointF(m.width, y));
    p.setFont(m_font);
}

void ReportRenderer::paintFooter(QPainter &p, const Metrics &m, int page, int pages) const
{
    const double y = m.height - m.footerHeight;
    p.setFont(m_font);
    p.drawLine(QPointF(0, y + m.rowHeight * 0.3), QPointF(m.width, y + m.rowHeight * 0.3));
    const QString text = ReportTemplate::expand(m_def.footerTemplate,
                                                [&](const QString &n) { return fieldValue(n, -1, page, pages); });
    p.drawText(QRectF(0, y + m.rowHeight * 0.5, m.width, m.rowHeight), Qt::AlignRight | Qt::AlignVCenter, text);
}

void ReportRenderer::paintLine(QPainter &p, const Metrics &m, const Line &line, double y) const
{
    const double pad = m.rowHeight * 0.15;
    const QFontMetricsF fm(line.kind == Line::Detail ? m_font : m_bold, p.device());
    auto cell = [&](int c, const QString &text) {
        const double w = m.colW[c] - 2 * pad;
        p.drawText(QRectF(m.colX[c] + pad, y, w, m.rowHeight), qtAlign(m_def.columns[c].align) | Qt::AlignVCenter,
                   fm.elidedText(text, Qt::ElideRight, w));
    };
    switch (line.kind) {
    case Line::Detail: {
        p.setFont(m_font);
        const QVector<QVariant> &row = m_data.rows[line.row];
        for (int c = 0; c < m_def.columns.size(); ++c)
            cell(c, m_colIndex[c] >= 0 ? ReportFormat::display(m_def.columns[c], row[m_colIndex[c]]) : QString());
        break;
    }
    case Line::GroupHeader:
        p.setFont(m_bold);
        p.drawText(QRectF(pad + line.level * m.rowHeight, y, m.width, m.rowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                   line.text);
        break;
    case Line::Subtotal:
    case Line::Total: {
        p.setFont(m_bold);
        int firstSum = 0;
        while (firstSum < m_def.columns.size() && !m_def.columns[firstSum].sum)
            ++firstSum;
        const double capW = firstSum < m.colX.size() ? m.colX[firstSum] : m.width;
        p.drawText(QRectF(pad, y, capW - 2 * pad, m.rowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                   fm.elidedText(line.text, Qt::ElideRight, capW - 2 * pad));
        for (int c = 0; c < m_def.columns.size(); ++c)
            if (m_def.columns[c].sum)
                cell(c, ReportFormat::display(m_def.columns[c], line.sums[c]));
        if (line.kind == Line::Total)
            p.drawLine(QPointF(0, y), QPointF(m.width, y));
        break;
    }
    case Line::Empty:
        p.setFont(m_font);
        p.drawText(QRectF(0, y, m.width, m.rowHeight), Qt::AlignHCenter | Qt::AlignVCenter, line.text);
        break;
    }
}

QList<int> ReportRenderer::pageStarts(QPagedPaintDevice *device)
{
    QList<int> out;
    for (const auto &page : paginate(measure(device)))
        out << page.first;
    return out;
}

int ReportRenderer::pageCount(QPagedPaintDevice *device)
{
    return int(paginate(measure(device)).size());
}

int ReportRenderer::paint(QPagedPaintDevice *device)
{
    const Metrics m = measure(device);
    const auto pages = paginate(m);
    QPainter p;
    if (!p.begin(device))
        throw EHostError(QStringLiteral("Não foi possível iniciar a impressão do relatório \"%1\".").arg(m_def.title));
    p.setPen(Qt::black);
    for (int i = 0; i < pages.size(); ++i) {
        if (i > 0 && !device->newPage()) {
            p.end();
            throw EHostError(QStringLiteral("Não foi possível iniciar uma nova página do relatório."));
        }
        paintHeader(p, m);
        double y = m.headerHeight;
        for (int l = pages[i].first; l < pages[i].second; ++l) {
            paintLine(p, m, m_lines[l], y);
            y += m.rowHeight;
        }
        paintFooter(p, m, i + 1, int(pages.size()));
    }
    p.end();
    return int(pages.size());
}
