// A report run off the GUI thread, so that the window stays alive: the
// queries run and the rows are laid out on a worker thread, then the pages
// are written to a PDF or a printer (or the rows to a CSV) there too when
// asked; a preview paints
// its pages later, on the GUI thread, from the document.
//
// Connections: Qt SQL connections belong to the thread that opened them, so
// the worker opens its own connection to the database of the one it is
// given (ReportConnection), with the same routines registered, and closes it
// before painting. A database that cannot be opened a second time (SQLite in
// memory) is read on the calling thread instead, in one go.
//
// Progress (rows read, then pages written) and Cancel go through the
// Work it offers. Cancel interrupts the running statement and stops
// between rows and pages; a cancelled run writes and prints nothing (a PDF is
// only renamed into place once complete).
//
// The BeforeGetQueryParams event is not raised here: the caller raises it on
// the GUI thread and hands the parameters in.
#pragma once

#include "core/WorkThread.h"
#include "report/layout/ReportDocument.h"
#include "report/output/ExportFormat.h"

#include <QSqlDatabase>
#include <memory>

class QPrinter;

class ReportRun {
public:
    struct Output {
        // Pages: only lay them out; Pdf, Printer: the pages; RowsCsv: the
        // rows as a plain CSV for checking a run (RunFileWriter.h).
        enum Kind { Pages, Pdf, RowsCsv, Printer } kind = Pages;
        QString path;                                   // Pdf, RowsCsv
        QPrinter *printer = nullptr;                    // Printer, outliving the run
        PageSelection pages;                            // Pdf, Printer: range and copies
        // Beside that, the report exported in these formats (ExportFormat.h),
        // each to its file, after the pages: one run gives a folder its PDF,
        // XLSX and CSV.
        struct Export {
            ExportFormat::Id format;
            QString path;
        };
        QList<Export> exports;
    };

    // The statements run in db's dialect (SqlDialect::of).
    ReportRun(std::shared_ptr<ReportDocument> doc, const TParams &params, const QSqlDatabase &db, const Output &output);

    // Starts the run on a thread of its own, or runs it here (see above).
    void start();
    Work &progress() { return *m_work; }
    bool finished() const { return m_work->finished(); }

    // After finished(): whether it was cancelled, the error text (empty when
    // none), the pages written.
    bool cancelled() const { return m_work->wasCancelled(); }
    QString error() const { return m_work->error(); }
    int pagesWritten() const { return *m_pages; }
    const std::shared_ptr<ReportDocument> &document() const { return m_doc; }

private:
    std::shared_ptr<ReportDocument> m_doc;
    std::shared_ptr<int> m_pages = std::make_shared<int>(0);
    bool m_ownThread;
    std::unique_ptr<WorkThread> m_work;
};
