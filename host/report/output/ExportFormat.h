// The formats a report's rows are exported in, as one table: what each is
// called, its file suffix, the save dialog's filter, the file name proposed
// for a report and the writer (a ReportRowSink, ReportRowSink.h) that makes
// the file. The export commands, the shell's menu, the preview, scripted
// sessions and anything that writes reports into a folder read this table,
// so a new format is one more row and never falls into another's writer.
#pragma once

#include "ReportRowSink.h"

#include <QList>
#include <QString>
#include <functional>
#include <memory>

struct ExportFormat {
    enum class Id { Csv, Xlsx, CsvSpreadsheet };

    Id id;
    // As a person reads it in "Exportar para ..." ("CSV", "Excel (XLSX)").
    QString name;
    // The file's suffix, without the dot ("csv").
    QString extension;
    // The save dialog's filter ("Planilha CSV (*.csv)").
    QString filter;
    // Its name in scripted sessions and the preview's actions ("exportcsv").
    QString scriptName;
    // Put between the report's name and the suffix in the name proposed, so
    // that two formats of one suffix never take each other's file ("-planilha").
    QString fileTag;
    // A new writer of this format for the file at path.
    std::function<std::unique_ptr<ReportRowSink>(const QString &path)> writer;

    // "Exportar para CSV".
    QString caption() const;
    // The name offered for a report's file: stem when given (the screen's
    // "custo-realizado-0101-2026-03"), else the title made a file name
    // ("custo-realizado-global-do-periodo..."), with this format's tag and
    // suffix.
    QString proposedFileName(const QString &title, const QString &stem = QString()) const;
    // file with this format's suffix added when it has none.
    QString withSuffix(const QString &file) const;
};

namespace ExportFormats {
// CSV (plain: for programs, and safe in any spreadsheet), Excel (XLSX), then
// CSV for spreadsheets (CsvExportWriter::Codes::SpreadsheetText): the order
// the preview offers them in.
const QList<ExportFormat> &all();
const ExportFormat &of(ExportFormat::Id id);
// The format of a suffix ("xlsx", any case); nullptr for none.
const ExportFormat *byExtension(const QString &extension);
} // namespace ExportFormats
