// Writes a run's output to files without dialogs: the pages as PDF and the
// detail rows as CSV (RFC 4180, UTF-8, a header line with the field names:
// group fields that are no column first, then the columns; values as
// ReportFormat::csv gives them). Both are written atomically: on
// any failure the target is left as it was.
#pragma once

#include "ReportData.h"
#include "ReportDefinition.h"

class ReportFileWriter {
public:
    // Returns the number of pages; throws EHostError on failure.
    static int writePdf(const ReportDefinition &def, const ReportData &data, const QString &path);
    static void writeCsv(const ReportDefinition &def, const ReportData &data, const QString &path);
    static QString csvText(const ReportDefinition &def, const ReportData &data);
};
