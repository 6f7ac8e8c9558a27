// A report run laid out in pages: the definition, the values its templates
// print, the rows (kept in a row store, ReportRowStore.h) and where each page
// starts (ReportPageIndex.h). Built in one pass over the rows, on any one
// thread: begin(), addRow() for each row in order, finish(). Afterwards it is
// only read: any page can be painted on its own (the preview paints the pages
// it shows), or all of them in order (a PDF, a printer).
//
// Pages are painted in layout units (ReportMetrics.h) with the origin at the
// top-left corner of the printable area; paint() scales them to the device.
#pragma once

#include "PageSelection.h"
#include "PagedDocument.h"
#include "ReportChartData.h"
#include "ReportMetrics.h"
#include "ReportPageIndex.h"
#include "ReportRowStore.h"

#include <QDateTime>
#include <functional>
#include <memory>

class QPagedPaintDevice;

class ReportDocument : public PagedDocument, public std::enable_shared_from_this<ReportDocument> {
public:
    // The values (parameters, picture, time of printing) are fixed here.
    ReportDocument(const ReportDefinition &def, const TParams &params,
                   std::shared_ptr<const TDBPicture> picture = nullptr,
                   const QDateTime &printedAt = QDateTime::currentDateTime());
    ~ReportDocument() override;

    // --- the one pass over the rows ---------------------------------------
    // fields: what each row holds; store receives the rows. Throws
    // EHostError (the page too small for the header, say).
    void begin(const QStringList &fields, const QHash<QString, QVariant> &lookups,
               std::shared_ptr<ReportRowStore> store);
    void addRow(const QVector<QVariant> &row);
    void finish();

    // --- the result --------------------------------------------------------
    const ReportDefinition &definition() const { return m_def; }
    const ReportValues &values() const { return m_values; }
    const ReportMetrics &metrics() const { return m_metrics; }
    const QList<ReportPageStart> &pages() const { return m_index->pages(); }
    qint64 rowCount() const { return m_store ? m_store->rowCount() : 0; }
    qint64 lineCount() const { return m_index->lineCount(); }
    std::shared_ptr<ReportRowStore> rows() const { return m_store; }

    // PagedDocument
    QString title() const override { return m_def.title; }
    int pageCount() const override { return int(pages().size()); }
    QPageLayout pageLayout() const override { return ReportMetrics::pageLayout(m_def); }
    double unitsPerMm() const override { return ReportMetrics::UnitsPerMm; }
    void paintPage(QPainter &p, int index) override;
    std::unique_ptr<Work> startPrinting(QPrinter *printer) override;

    // Paints one page with a reader of its own (any thread).
    void paintPage(QPainter &p, int index, ReportRowReader &reader) const;
    // Paints the selected pages (every page by default, copies included) on
    // device, scaled to it; pageDone(n) after each page painted returns
    // false to stop (nothing more is painted). Returns the pages painted.
    // Throws EHostError when the device refuses or the selection does not fit
    // (PageSelection::check).
    int paint(QPagedPaintDevice *device, const std::function<bool(int)> &pageDone = {},
              const PageSelection &selection = {}) const;

private:
    class Reading;
    int linesTaken(const ReportLine &line) const;
    void paintPages(QPainter &p, QPagedPaintDevice *device, int from, int to, ReportRowReader &reader,
                    const std::function<bool(int)> &pageDone) const;

    ReportDefinition m_def;
    ReportValues m_values;
    ReportMetrics m_metrics;
    ReportChartData m_chart;
    std::shared_ptr<ReportRowStore> m_store;
    std::unique_ptr<ReportLineStream> m_stream;
    std::unique_ptr<ReportPageIndex> m_index;
    std::unique_ptr<ReportRowReader> m_guiReader; // paintPage(p, index)'s
    QList<ReportLine> m_scratch;
    qint64 m_lastToken = -1; // of the row added last
};
