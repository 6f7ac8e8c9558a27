#include "ReportMetrics.h"
#include "core/Errors.h"

#include <QFontMetricsF>
#include <cmath>

namespace {
const double kMarginMm = 10.0;

QFont layoutFont(const QString &family, double points, bool bold)
{
    QFont f(family);
    f.setPixelSize(qMax(1, qRound(points * ReportMetrics::Resolution / 72.0)));
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    // Without kerning or ligatures a text is as wide as its characters
    // (ReportGlyphs adds them up), and "fim" stays three letters in the PDF.
    f.setKerning(false);
    f.setStyleStrategy(QFont::PreferNoShaping);
    return f;
}
} // namespace

QPageLayout ReportMetrics::pageLayout(const ReportDefinition &def)
{
    return QPageLayout(def.pageSize,
                       def.orientation == ReportDefinition::Orientation::Landscape ? QPageLayout::Landscape
                                                                                   : QPageLayout::Portrait,
                       QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter);
}

ReportMetrics ReportMetrics::measure(const ReportDefinition &def, const ReportValues &values)
{
    ReportMetrics m;
    const QSizeF area = pageLayout(def).paintRect(QPageLayout::Millimeter).size();
    m.width = std::floor(area.width() * UnitsPerMm);
    m.height = std::floor(area.height() * UnitsPerMm);
    m.font = layoutFont(def.fontFamily, def.fontSize, false);
    m.bold = layoutFont(def.fontFamily, def.fontSize, true);
    m.rowHeight = std::ceil(QFontMetricsF(m.font).height() * 1.25);
    m.pad = m.rowHeight * 0.15;
    // Columns drawn for a wider page than the one chosen are narrowed to fit
    // rather than cut off at the margin.
    const double total = def.totalColumnWidthMm() * UnitsPerMm;
    const double shrink = total > m.width ? m.width / total : 1.0;
    double x = 0;
    for (const ReportColumn &c : def.columns) {
        m.colX.append(x);
        m.colW.append(c.widthMm * UnitsPerMm * shrink);
        x += c.widthMm * UnitsPerMm * shrink;
    }
    QStringList items;
    for (const ReportParamDecl &d : def.params)
        if (!d.label.isEmpty())
            items << QStringLiteral("%1: %2").arg(d.label, values.field(d.name, nullptr));
    for (int i = 0; i < items.size(); i += 2)
        m.paramLines << (i + 1 < items.size() ? items[i] + QLatin1Char('\t') + items[i + 1] : items[i]);

    // A long title gets a smaller type, down to the body's size, then is cut.
    double titlePoints = def.fontSize + 4;
    m.titleFont = layoutFont(def.fontFamily, titlePoints, true);
    while (QFontMetricsF(m.titleFont).horizontalAdvance(def.title) > m.width && titlePoints > def.fontSize) {
        titlePoints = std::max(def.fontSize, titlePoints - 0.5);
        m.titleFont = layoutFont(def.fontFamily, titlePoints, true);
    }
    const QFontMetricsF fmTitle(m.titleFont);
    m.title = fmTitle.elidedText(def.title, Qt::ElideRight, m.width);
    m.titleHeight = std::ceil(fmTitle.height() * 1.4);

    m.headerHeight = m.titleHeight + m.rowHeight * (def.headerLines.size() + m.paramLines.size())
        + m.rowHeight * 0.5  // gap before the captions
        + m.rowHeight * 1.3; // captions and their rule
    m.footerHeight = m.rowHeight * 1.6;
    m.linesPerPage = int(std::floor((m.height - m.headerHeight - m.footerHeight) / m.rowHeight));
    if (m.linesPerPage < 2)
        throw EHostError(QStringLiteral("A página é pequena demais para o cabeçalho do relatório \"%1\".").arg(def.title));
    return m;
}

int ReportMetrics::chartLines(int bars) const { return 4 + qMax(1, bars) * 2; }

int ReportMetrics::maxChartBars() const { return qMax(1, (linesPerPage - 4) / 2); }
