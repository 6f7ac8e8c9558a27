#include "ExportFormat.h"
#include "CsvExportWriter.h"
#include "XlsxExportWriter.h"
#include "report/model/ReportLibrary.h"

#include <QFileInfo>

QString ExportFormat::caption() const { return QStringLiteral("Exportar para ") + name; }

QString ExportFormat::proposedFileName(const QString &title, const QString &stem) const
{
    return (stem.trimmed().isEmpty() ? ReportLibrary::fileNameFor(title) : stem.trimmed()) + fileTag + QLatin1Char('.')
        + extension;
}

QString ExportFormat::withSuffix(const QString &file) const
{
    if (file.isEmpty() || !QFileInfo(file).suffix().isEmpty())
        return file;
    return file + QLatin1Char('.') + extension;
}

namespace ExportFormats {

const QList<ExportFormat> &all()
{
    using Id = ExportFormat::Id;
    static const QList<ExportFormat> formats = {
        {Id::Csv, QStringLiteral("CSV"), QStringLiteral("csv"), QStringLiteral("Planilha CSV (*.csv)"),
         QStringLiteral("exportcsv"), QString(),
         [](const QString &path) { return std::make_unique<CsvExportWriter>(path); }},
        {Id::Xlsx, QStringLiteral("Excel (XLSX)"), QStringLiteral("xlsx"),
         QStringLiteral("Pasta de trabalho do Excel (*.xlsx)"), QStringLiteral("exportxlsx"), QString(),
         [](const QString &path) { return std::make_unique<XlsxExportWriter>(path); }},
        {Id::CsvSpreadsheet, QStringLiteral("CSV com códigos como texto"), QStringLiteral("csv"),
         QStringLiteral("Planilha CSV com códigos como texto (*.csv)"), QStringLiteral("exportcsvplanilha"),
         QStringLiteral("-planilha"),
         [](const QString &path) {
             return std::make_unique<CsvExportWriter>(path, CsvExportWriter::Codes::SpreadsheetText);
         }},
    };
    return formats;
}

const ExportFormat &of(ExportFormat::Id id)
{
    for (const ExportFormat &f : all())
        if (f.id == id)
            return f;
    Q_UNREACHABLE();
}

const ExportFormat *byExtension(const QString &extension)
{
    for (const ExportFormat &f : all())
        if (f.extension.compare(extension, Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

} // namespace ExportFormats
