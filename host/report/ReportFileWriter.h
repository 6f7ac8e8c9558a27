// Writes a run's output to files without dialogs: the pages as PDF and the
// detail rows as CSV (RFC 4180, UTF-8, a header line with the field names:
// group fields that are no column first, then the columns; values as
// ReportFormat::csv gives them). Both are written safely: into a temporary
// file beside the target, renamed over it only when complete, so that a
// failure, a cancel or a killed process leaves the old file (or none), never
// a part of one.
#pragma once

#include "ReportData.h"
#include "ReportDocument.h"

#include <functional>

class ReportFileWriter {
public:
    // Returns the number of pages; throws EHostError on failure.
    static int writePdf(const ReportDefinition &def, const ReportData &data, const QString &path);
    static void writeCsv(const ReportDefinition &def, const ReportData &data, const QString &path);
    static QString csvText(const ReportDefinition &def, const ReportData &data);

    // From a laid-out run, reading its rows back. pageDone(n) / rowDone(n)
    // after each page or row returns false to stop: then nothing is written
    // and EAbort is thrown.
    static int writePdf(const ReportDocument &doc, const QString &path,
                        const std::function<bool(int)> &pageDone = {});
    static void writeCsv(const ReportDocument &doc, const QString &path,
                         const std::function<bool(qint64)> &rowDone = {});
};
