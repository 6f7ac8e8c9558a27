// Exporting a report to a spreadsheet file, apart from how the rows are
// produced: the file name asked through HostUi, and feeding a laid-out run
// to the writer of a format (ExportFormat.h) line by line as the paper
// prints it (ExportLayout.h: header, group rows, details, subtotals, total).
//
// write() leaves the whole file or, on any failure, the file that was there
// before (or none); failures throw EHostError with a text for the user.
#pragma once

#include "ExportFormat.h"

#include <functional>

class ReportDocument;

class ReportExport {
public:
    // Asks where to save, offering the format's proposed name (stem, else
    // the title's) in the folder last saved to (SaveFolder.h), which the
    // choice then becomes; the format's suffix is added when the name has
    // none. Empty: cancelled.
    static QString askFileName(const ExportFormat &format, const QString &title, const QString &stem = QString());

    // The lines of a laid-out run, read back from its row store one row at a
    // time, so that memory stays flat however many there are. rowDone(n)
    // after each row returns false to stop: then nothing is written and
    // EAbort is thrown.
    static void feed(const ReportDocument &doc, ReportRowSink &sink, const std::function<bool(qint64)> &rowDone = {});
    static void write(const ExportFormat &format, const ReportDocument &doc, const QString &path,
                      const std::function<bool(qint64)> &rowDone = {});
};
