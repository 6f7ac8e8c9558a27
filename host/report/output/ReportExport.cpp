#include "ReportExport.h"
#include "CsvExportWriter.h"
#include "ExportLayout.h"
#include "XlsxExportWriter.h"
#include "core/Errors.h"
#include "core/HostUi.h"
#include "report/layout/ReportDocument.h"
#include "report/model/ReportFormat.h"
#include "report/model/ReportLibrary.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString suffixOf(ReportExport::Format f) { return f == ReportExport::Format::Csv ? QStringLiteral("csv") : QStringLiteral("xlsx"); }

// The values of template names that are not row fields: the run's parameters
// as the page header prints them, its look-ups as plain text.
ExportLayout::Context templateValues(const ReportDocument &doc)
{
    return [&doc](const QString &name) {
        if (const ReportParamDecl *decl = doc.definition().findParam(name)) {
            const TParam *p = doc.values().params().FindParam(name);
            return p ? ReportFormat::param(*decl, p->Value()) : QString();
        }
        return ReportFormat::plain(doc.values().lookups().value(name.toUpper()));
    };
}
} // namespace

QString ReportExport::caption(Format f)
{
    return f == Format::Csv ? QStringLiteral("Exportar para CSV") : QStringLiteral("Exportar para Excel (XLSX)");
}

std::unique_ptr<ReportRowSink> ReportExport::sinkFor(Format f, const QString &path)
{
    if (f == Format::Csv)
        return std::make_unique<CsvExportWriter>(path);
    return std::make_unique<XlsxExportWriter>(path);
}

QString ReportExport::askFileName(Format f, const QString &title)
{
    const QString suffix = suffixOf(f);
    const QString filter = f == Format::Csv ? QStringLiteral("Planilha CSV (*.csv)")
                                            : QStringLiteral("Pasta de trabalho do Excel (*.xlsx)");
    const QString name = ReportLibrary::fileNameFor(title) + QLatin1Char('.') + suffix;
    const QString initial = QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).filePath(name);
    QString file = HostUi::instance().askSaveFileName(caption(f), filter, initial);
    if (!file.isEmpty() && QFileInfo(file).suffix().isEmpty())
        file += QLatin1Char('.') + suffix;
    return file;
}

void ReportExport::feed(const ReportDocument &doc, ReportRowSink &sink, const std::function<bool(qint64)> &rowDone)
{
    ExportLayout layout(doc.definition(), doc.values().fields(), templateValues(doc));
    layout.setHeaderText([&doc](const QString &tpl, const QVector<QVariant> &row) {
        return doc.values().expand(tpl, &row);
    });
    try {
        sink.begin(layout.sheet());
        const std::unique_ptr<ReportRowReader> reader = doc.rows()->reader();
        QVector<QVariant> row;
        for (qint64 n = 1; reader->next(row); ++n) {
            sink.row(layout.shape(row));
            if (rowDone && !rowDone(n))
                throw EAbort();
        }
        sink.commit();
    } catch (...) {
        sink.abort();
        throw;
    }
}

void ReportExport::write(Format f, const ReportDocument &doc, const QString &path,
                         const std::function<bool(qint64)> &rowDone)
{
    const std::unique_ptr<ReportRowSink> sink = sinkFor(f, path);
    feed(doc, *sink, rowDone);
}
