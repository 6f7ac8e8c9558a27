// Sizes and positions of a report's page, in the layout's own units (1200 a
// inch, a device-independent grid): printable area, line height, header and
// footer heights, columns, lines a page holds, and the fonts, sized in those
// units so that the same layout paints on a PDF, a printer or the preview's
// images by scaling alone. Pagination therefore never depends on the device.
#pragma once

#include "ReportValues.h"

#include <QFont>
#include <QPageLayout>
#include <QStringList>
#include <QVector>

struct ReportMetrics {
    static constexpr double Resolution = 1200.0;   // units an inch
    static constexpr double UnitsPerMm = Resolution / 25.4;

    double width = 0, height = 0;                  // printable area
    double rowHeight = 0, headerHeight = 0, footerHeight = 0, titleHeight = 0;
    double pad = 0;                                // inner margin of a cell
    QVector<double> colX, colW;
    int linesPerPage = 0;
    QStringList paramLines;                        // labelled parameters, two to a line ('\t')
    QFont font, bold, titleFont;
    QString title;                                 // elided when even the body size is too wide

    // The definition's paper (A4 unless chosen) in its orientation, 10 mm margins.
    static QPageLayout pageLayout(const ReportDefinition &def);
    // Measures the page for def with the parameter values of values. Throws
    // EHostError when not even two lines fit under the header.
    static ReportMetrics measure(const ReportDefinition &def, const ReportValues &values);
    // Lines the chart takes for a number of bars (title, bars, axis).
    int chartLines(int bars) const;
    // Bars a chart may show on one page.
    int maxChartBars() const;
};
