// Lays a run's rows held in memory (ReportData) out on pages and paints them:
// the whole layout of ReportDocument for small runs and tests. Pagination is
// worked out first, so "Página N de M" is known on page one; a group header
// never sits alone at the foot of a page. Pages do not depend on the device:
// every device gets the same ones, scaled.
#pragma once

#include "ReportData.h"
#include "ReportDocument.h"

#include <memory>

class QPagedPaintDevice;

class ReportRenderer {
public:
    ReportRenderer(const ReportDefinition &def, const ReportData &data);

    // A4 in the definition's orientation, 10 mm margins.
    static QPageLayout pageLayout(const ReportDefinition &def) { return ReportMetrics::pageLayout(def); }

    // Paints every page (the device already has its page layout); returns
    // the number of pages. Throws EHostError when the device refuses.
    int paint(QPagedPaintDevice *device) { return m_doc->paint(device); }
    // How many pages paint() produces.
    int pageCount(QPagedPaintDevice *) const { return m_doc->pageCount(); }

    // The printed lines, in order, before they are put on pages.
    using Line = ReportLine;
    int lineCount() const { return int(m_lines.size()); }
    const Line &line(int i) const { return m_lines[i]; }
    // The index of the first line of each page.
    QList<int> pageStarts(QPagedPaintDevice *device = nullptr) const;

    const std::shared_ptr<ReportDocument> &document() const { return m_doc; }

private:
    std::shared_ptr<ReportDocument> m_doc;
    QList<Line> m_lines;
};
