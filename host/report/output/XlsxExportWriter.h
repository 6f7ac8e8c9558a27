// Exports rows as an Excel workbook (XLSX, through libxlsxwriter) with one
// sheet named after the report: the captions bold in a frozen first row
// with a filter, numbers as numbers in the column's format (#,##0.00 with
// the column's decimals; #,##0 for integers), dates as dates in the
// column's pattern, text as text, empty values as empty cells, and column
// widths fitted to the captions and the first rows.
//
// Numbers of Number and Integer columns are the values as the report prints
// them (rounded to the column's decimals), written with their shortest text
// (XlsxNumberText), so the sheet holds 947326.02, never 947326.0200000005.
//
// Rows are written in constant memory (libxlsxwriter keeps only the current
// row and spills the rest to unnamed files in the temporary folder). The
// workbook is assembled in unnamed scratch files (ScratchFile: a killed run
// leaves nothing) and copied into place through SafeFile on commit. A
// temporary folder that fills up throws EHostError naming that folder. A sheet
// holds at most 1,048,575 rows under the captions; one more throws
// EHostError suggesting CSV. Numbers and widths are written in C form
// ("1.5") whatever the locale of the process or the calling thread.
#pragma once

#include "ReportRowSink.h"

#include <QVector>
#include <memory>

class ScratchFile;

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

class XlsxExportWriter : public ReportRowSink {
public:
    explicit XlsxExportWriter(const QString &path);
    ~XlsxExportWriter() override;

    void begin(const ExportSheet &sheet) override;
    void row(const QVector<QVariant> &values) override;
    void commit() override;
    void abort() override;

    // Rows a sheet takes under the caption row.
    static constexpr int kMaxRows = 1048575;
    // A sheet name Excel accepts, from a report title.
    static QString sheetName(const QString &title);
    // An Excel number format for a Qt date pattern ("dd/MM/yyyy HH:mm").
    static QString excelDatePattern(const QString &qtPattern, bool withTime);

private:
    void writeCell(int col, const QVariant &value);
    void check(int error, const char *what);
    void fitColumns();
    void release();
    [[noreturn]] void failInScratch(const QString &what);

    QString m_path;
    std::unique_ptr<ScratchFile> m_scratch;
    QByteArray m_tmpdir;
    lxw_workbook *m_book = nullptr;
    lxw_worksheet *m_sheet = nullptr;
    QList<ReportColumn> m_columns;
    QVector<lxw_format *> m_formats;
    QVector<int> m_widths; // characters
    int m_row = 0;
};
