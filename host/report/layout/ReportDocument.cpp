#include "ReportDocument.h"
#include "ReportPagePainter.h"
#include "core/Errors.h"
#include "core/WorkThread.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinter>

// Reads a page's lines back from the rows: the stream as it stood before the
// page's first row, then its lines one after another, across pages.
class ReportDocument::Reading {
public:
    Reading(const ReportDocument &doc, ReportRowReader &reader)
        : m_doc(doc), m_reader(reader), m_stream(doc.m_values, doc.m_def)
    {
    }

    void seek(const ReportPageStart &page)
    {
        ReportLineStream::State state = page.state;
        if (page.lastToken >= 0) {
            m_reader.seek(page.lastToken);
            if (!m_reader.next(state.last))
                throw EHostError(QStringLiteral("As linhas do relatório terminaram antes do esperado."));
        }
        m_stream.restore(state);
        m_lines.clear();
        m_next = 0;
        m_ended = false;
        if (page.row < m_doc.rowCount())
            m_reader.seek(page.token);
        fill();
        m_next = page.skip;
    }
    const ReportLine &next()
    {
        if (m_next >= m_lines.size()) {
            m_lines.clear();
            m_next = 0;
            fill();
        }
        return m_lines[m_next++];
    }
    const QVector<QVariant> *row() const { return &m_row; }

private:
    void fill()
    {
        if (m_stream.state().rows < m_doc.rowCount()) {
            if (!m_reader.next(m_row))
                throw EHostError(QStringLiteral("As linhas do relatório terminaram antes do esperado."));
            m_stream.take(m_row, m_lines);
        } else if (!m_ended) {
            m_ended = true;
            m_stream.end(m_lines);
        }
        if (m_lines.isEmpty())
            throw EHostError(QStringLiteral("As linhas do relatório terminaram antes do esperado."));
    }

    const ReportDocument &m_doc;
    ReportRowReader &m_reader;
    ReportLineStream m_stream;
    QList<ReportLine> m_lines;
    qsizetype m_next = 0;
    QVector<QVariant> m_row;
    bool m_ended = false;
};

ReportDocument::ReportDocument(const ReportDefinition &def, const TParams &params,
                               std::shared_ptr<const TDBPicture> picture, const QDateTime &printedAt)
    : m_def(def), m_values(m_def, params, std::move(picture), printedAt)
{
}

ReportDocument::~ReportDocument() = default;

void ReportDocument::begin(const QStringList &fields, const QHash<QString, QVariant> &lookups,
                           std::shared_ptr<ReportRowStore> store)
{
    m_values.setFields(fields);
    m_values.setLookups(lookups);
    m_metrics = ReportMetrics::measure(m_def, m_values);
    m_chart.setUp(m_def, m_values);
    m_store = std::move(store);
    m_stream = std::make_unique<ReportLineStream>(m_values, m_def);
    m_index = std::make_unique<ReportPageIndex>(*m_stream, m_metrics.linesPerPage);
}

int ReportDocument::linesTaken(const ReportLine &line) const
{
    if (line.kind != ReportLine::Chart)
        return 1;
    return m_metrics.chartLines(qMin(m_chart.barCount(), m_metrics.maxChartBars()));
}

void ReportDocument::addRow(const QVector<QVariant> &row)
{
    const bool keep = m_index->breakPossible();
    ReportLineStream::State before;
    if (keep)
        before = m_stream->state();
    const qint64 token = m_store->append(row);
    m_scratch.clear();
    m_stream->take(row, m_scratch);
    if (m_def.chart.isSet())
        m_chart.take(row);
    m_index->place(m_scratch, token, m_store->rowCount() - 1, keep ? &before : nullptr, m_lastToken, nullptr);
    m_lastToken = token;
}

void ReportDocument::finish()
{
    m_store->finish();
    const ReportLineStream::State before = m_stream->state();
    m_scratch.clear();
    m_stream->end(m_scratch);
    m_index->place(m_scratch, -1, m_store->rowCount(), &before, m_lastToken,
                   [this](const ReportLine &l) { return linesTaken(l); });
    m_index->finish();
    m_scratch.clear();
}

void ReportDocument::paintPages(QPainter &p, QPagedPaintDevice *device, int from, int to, ReportRowReader &reader,
                                const std::function<bool(int)> &pageDone) const
{
    const ReportPagePainter painter(m_def, m_values, m_metrics, m_chart);
    Reading reading(*this, reader);
    const QList<ReportPageStart> &all = pages();
    reading.seek(all[from]);
    for (int i = from; i < to; ++i) {
        if (i > from && device && !device->newPage())
            throw EHostError(QStringLiteral("Não foi possível iniciar uma nova página do relatório."));
        painter.paintHeader(p);
        double y = m_metrics.headerHeight;
        for (const auto &c : all[i].continued) {
            painter.paintLine(p, {ReportLine::Continued, c.first, -1, c.second, {}}, y, nullptr);
            y += m_metrics.rowHeight;
        }
        for (int k = 0; k < all[i].lines; ++k) {
            const ReportLine &line = reading.next();
            painter.paintLine(p, line, y, reading.row());
            y += linesTaken(line) * m_metrics.rowHeight;
        }
        painter.paintFooter(p, i + 1, int(all.size()));
        if (pageDone && !pageDone(i + 1))
            return;
    }
}

void ReportDocument::paintPage(QPainter &p, int index, ReportRowReader &reader) const
{
    if (index < 0 || index >= pageCount())
        return;
    paintPages(p, nullptr, index, index + 1, reader, {});
}

void ReportDocument::paintPage(QPainter &p, int index)
{
    if (!m_store)
        return;
    if (!m_guiReader)
        m_guiReader = m_store->reader();
    paintPage(p, index, *m_guiReader);
}

int ReportDocument::paint(QPagedPaintDevice *device, const std::function<bool(int)> &pageDone,
                          const PageSelection &selection) const
{
    selection.check(pageCount(), m_def.title);
    QPainter p;
    if (!p.begin(device))
        throw EHostError(QStringLiteral("Não foi possível iniciar a impressão do relatório \"%1\".").arg(m_def.title));
    const double scale = device->logicalDpiX() / ReportMetrics::Resolution;
    p.scale(scale, scale);
    p.setPen(Qt::black);
    int painted = 0;
    bool stopped = false;
    try {
        const std::unique_ptr<ReportRowReader> reader = pageCount() > 0 ? m_store->reader() : nullptr;
        for (const auto &run : selection.runs(pageCount())) {
            if (stopped)
                break;
            if (painted > 0 && !device->newPage())
                throw EHostError(QStringLiteral("Não foi possível iniciar uma nova página do relatório."));
            paintPages(p, device, run.first, run.second, *reader, [&](int) {
                ++painted;
                stopped = pageDone && !pageDone(painted);
                return !stopped;
            });
        }
    } catch (...) {
        if (auto *printer = dynamic_cast<QPrinter *>(device))
            printer->abort();
        p.end();
        throw;
    }
    // A printer gets nothing of a run stopped half-way.
    if (auto *printer = dynamic_cast<QPrinter *>(device); printer && stopped)
        printer->abort();
    p.end();
    return painted;
}

std::unique_ptr<Work> ReportDocument::startPrinting(QPrinter *printer)
{
    auto self = shared_from_this();
    // The pages are laid out already: the chosen range and copies apply, the
    // paper stays the one they were laid out for.
    const bool pdfFile = printer->outputFormat() == QPrinter::PdfFormat;
    const PageSelection selection = PageSelection::of(*printer, !pdfFile && printer->supportsMultipleCopies());
    selection.check(pageCount(), m_def.title);
    printer->setPageLayout(pageLayout());
    printer->setDocName(m_def.title);
    auto work = std::make_unique<WorkThread>([self, printer, selection](WorkTask &w) {
        const int pages = selection.pagesToPaint(self->pageCount());
        w.setStatus(QStringLiteral("Imprimindo as páginas..."));
        w.setProgress(0, pages);
        self->paint(printer, [&w, pages](int n) {
            w.setProgress(n, pages);
            return !w.cancelled();
        }, selection);
    });
    work->start();
    return work;
}
