// Writes a laid-out run to files without dialogs: its pages as a PDF, and its
// detail rows as a plain CSV for checking a run (RFC 4180, UTF-8, commas, a
// header line with the field names: group fields that are no column first,
// then the columns; values as ReportFormat::csv gives them). The CSV and XLSX
// a user exports to a spreadsheet are ReportExport's, not these.
//
// Both files are written safely: into a temporary file beside the target,
// renamed over it only when complete, so that a failure, a cancel or a killed
// process leaves the old file (or none), never a part of one. Failures throw
// EHostError.
#pragma once

#include "report/layout/ReportDocument.h"

#include <functional>

class RunFileWriter {
public:
    // The rows are read back from the run's row store. pageDone(n) / rowDone(n)
    // after each page or row returns false to stop: then nothing is written
    // and EAbort is thrown. writePdf writes the selected pages (all by
    // default, copies included) and returns the number written.
    static int writePdf(const ReportDocument &doc, const QString &path,
                        const std::function<bool(int)> &pageDone = {}, const PageSelection &selection = {});
    static void writeRowsCsv(const ReportDocument &doc, const QString &path,
                             const std::function<bool(qint64)> &rowDone = {});
};
