#include "ReportExport.h"
#include "ExportLayout.h"
#include "SaveFolder.h"
#include "core/Errors.h"
#include "core/HostUi.h"
#include "report/layout/ReportDocument.h"

QString ReportExport::askFileName(const ExportFormat &f, const QString &title, const QString &stem)
{
    const QString initial = SaveFolder::initialPath(f.proposedFileName(title, stem));
    const QString file = f.withSuffix(HostUi::instance().askSaveFileName(f.caption(), f.filter, initial));
    SaveFolder::remember(file);
    return file;
}

void ReportExport::feed(const ReportDocument &doc, ReportRowSink &sink, const std::function<bool(qint64)> &rowDone)
{
    const ExportLayout layout(doc.definition(), doc.values());
    // The printed report's own stream of lines: the export's groups and sums
    // are the paper's.
    ReportLineStream stream(doc.values(), doc.definition());
    QList<ReportLine> lines;
    QVector<QVariant> row, previous;
    auto put = [&](const QVector<QVariant> &current) {
        for (const ReportLine &line : std::as_const(lines))
            if (const std::optional<ExportRow> r = layout.shape(line, line.kind == ReportLine::Subtotal ? previous : current))
                sink.row(*r);
        lines.clear();
    };
    try {
        sink.begin(layout.sheet());
        const std::unique_ptr<ReportRowReader> reader = doc.rows()->reader();
        for (qint64 n = 1; reader->next(row); ++n) {
            stream.take(row, lines);
            put(row);
            previous = row;
            if (rowDone && !rowDone(n))
                throw EAbort();
        }
        stream.end(lines);
        put(previous);
        sink.commit();
    } catch (...) {
        sink.abort();
        throw;
    }
}

void ReportExport::write(const ExportFormat &f, const ReportDocument &doc, const QString &path,
                         const std::function<bool(qint64)> &rowDone)
{
    const std::unique_ptr<ReportRowSink> sink = f.writer(path);
    feed(doc, *sink, rowDone);
}
