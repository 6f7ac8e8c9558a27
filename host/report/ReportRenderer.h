// Lays a run's rows out on pages and paints them on a printer or PDF writer:
// page header (title, header lines, labelled parameters, column captions),
// group headers, detail rows, subtotals, grand total and a footer with page
// numbers. Pagination is worked out first, so "Página N de M" is known on
// page one; a group header never sits alone at the foot of a page.
#pragma once

#include "ReportData.h"
#include "ReportDefinition.h"

#include <QFont>
#include <QPageLayout>
#include <QVector>

class QPagedPaintDevice;
class QPainter;

class ReportRenderer {
public:
    ReportRenderer(const ReportDefinition &def, const ReportData &data);

    // A4 in the definition's orientation, 10 mm margins.
    static QPageLayout pageLayout(const ReportDefinition &def);

    // Paints every page (the device already has its page layout); returns
    // the number of pages. Throws EHostError when the device refuses.
    int paint(QPagedPaintDevice *device);
    // How many pages paint() would produce on that device.
    int pageCount(QPagedPaintDevice *device);

    // The printed lines, in order, before they are put on pages.
    struct Line {
        enum Kind { GroupHeader, Detail, Subtotal, Total, Empty } kind;
        int level = 0;         // group level (GroupHeader, Subtotal)
        int row = -1;          // Detail: index into the data rows
        QString text;          // GroupHeader/Subtotal/Total/Empty caption
        QVector<double> sums;  // Subtotal/Total: one per column (sum columns)
    };
    int lineCount() const { return int(m_lines.size()); }
    const Line &line(int i) const { return m_lines[i]; }
    // The index of the first line of each page on that device.
    QList<int> pageStarts(QPagedPaintDevice *device);

private:
    struct Metrics {
        double width = 0, height = 0, rowHeight = 0, headerHeight = 0, footerHeight = 0;
        QVector<double> colX, colW;
        int linesPerPage = 0;
        QStringList paramLines;
        QFont titleFont;       // the title's font, smaller when the title is wide
        QString title;         // elided when even the body size is too wide
        double titleHeight = 0;
    };

    void buildLines();
    Metrics measure(QPagedPaintDevice *device) const;
    QList<QPair<int, int>> paginate(const Metrics &m) const;
    void paintHeader(QPainter &p, const Metrics &m) const;
    void paintFooter(QPainter &p, const Metrics &m, int page, int pages) const;
    void paintLine(QPainter &p, const Metrics &m, const Line &line, double y) const;
    QString fieldValue(const QString &name, int row, int page, int pages) const;

    const ReportDefinition &m_def;
    const ReportData &m_data;
    QList<Line> m_lines;
    QVector<int> m_colIndex;   // column -> index in the row
    QFont m_font, m_bold, m_title;
};
