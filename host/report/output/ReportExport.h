// Exporting a report's rows to a spreadsheet file, apart from how the rows
// are produced: the formats, the file name asked through HostUi, the sink
// for a format (CsvExportWriter, XlsxExportWriter) and feeding it a run.
//
// write() leaves the whole file or, on any failure, the file that was there
// before (or none); failures throw EHostError with a text for the user.
#pragma once

#include "ReportRowSink.h"

#include <functional>
#include <memory>

class ReportDocument;

class ReportExport {
public:
    enum class Format { Csv, Xlsx };

    // What the user reads on the command.
    static QString caption(Format format);
    static std::unique_ptr<ReportRowSink> sinkFor(Format format, const QString &path);

    // Asks where to save (the title's name in the documents folder offered);
    // the format's suffix is added when the name has none. Empty: cancelled.
    static QString askFileName(Format format, const QString &title);

    // The rows of a laid-out run (ExportLayout.h), read back from its row store one at a time,
    // so that memory stays flat however many there are. rowDone(n) after
    // each row returns false to stop: then nothing is written and EAbort is
    // thrown.
    static void feed(const ReportDocument &doc, ReportRowSink &sink, const std::function<bool(qint64)> &rowDone = {});
    static void write(Format format, const ReportDocument &doc, const QString &path,
                      const std::function<bool(qint64)> &rowDone = {});
};
