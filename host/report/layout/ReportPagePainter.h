// Paints the parts of a report page in layout units (ReportMetrics): the
// page header (title, header lines, labelled parameters, column captions),
// one line of any kind at a given height, the chart and the footer.
//
// Cells are drawn at positions worked out here (left, centred or right in
// their column; a text cut with "…" when too wide, a number never: its
// type steps down until it fits) from glyphs looked up once per
// character (ReportGlyphs), rather than through the painter's text layout,
// which would lay every cell out twice (to measure it, then to draw it). A
// device with a paint engine of its own (PaintEngine::User, a recorder) gets
// every text as text.
#pragma once

#include "ReportChartData.h"
#include "ReportGlyphs.h"
#include "ReportLineStream.h"
#include "ReportMetrics.h"

#include <QFontMetricsF>

class QPainter;

class ReportPagePainter {
public:
    ReportPagePainter(const ReportDefinition &def, const ReportValues &values, const ReportMetrics &metrics,
                      const ReportChartData &chart);

    void paintHeader(QPainter &p) const;
    void paintFooter(QPainter &p, int page, int pages) const;
    // Paints line at height y; row is the detail line's row.
    void paintLine(QPainter &p, const ReportLine &line, double y, const QVector<QVariant> *row) const;
    // Lines the chart takes, its bars being what the run summed.
    int chartLines() const;

private:
    // whole: a number, drawn smaller rather than cut.
    void cell(QPainter &p, const QFontMetricsF &fm, double x, double w, ReportColumn::Align a, double y,
              const QString &text, bool whole = false) const;
    void wholeCell(QPainter &p, bool bold, double x, double w, ReportColumn::Align a, double y,
                   const QString &text) const;
    void sums(QPainter &p, const ReportLine &line, double y) const;
    void paintChart(QPainter &p, double y) const;
    void useFont(QPainter &p, bool bold) const;

    const ReportDefinition &m_def;
    const ReportValues &m_values;
    const ReportMetrics &m_m;
    const ReportChartData &m_chart;
    QFontMetricsF m_fm, m_fmBold;
    double m_baseline, m_baselineBold; // from a line's top
    QVector<int> m_colIdx;             // column -> index in the row
    mutable int m_font = -1;           // the font last set: 0 body, 1 bold
    mutable ReportGlyphs m_glyphs, m_glyphsBold;
};
