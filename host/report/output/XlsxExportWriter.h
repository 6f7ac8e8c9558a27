// Exports a report as an Excel workbook (XLSX, through libxlsxwriter) that
// stands alone as the paper does, on one sheet named after the report
// (XlsxStyles::sheetName): the title, the page header's items one a row, a
// blank row, then the captions, bold in a frozen row with a filter over the
// table under them. Lines follow in the paper's order: group headers (bold,
// shaded), details, subtotals and the grand total (bold, shaded, their
// caption in the first free cell, the sums in their columns). Numbers are
// numbers in the column's format (#,##0.00 with the column's decimals;
// #,##0 for integers), dates dates in the column's pattern, text and codes
// text, empty values empty cells; column widths fit the captions and the
// first rows.
//
// Numbers of Number and Integer columns are the values as the report prints
// them (rounded to the column's decimals), written with their shortest text
// (XlsxNumberText), so the sheet holds 947326.02, never 947326.0200000005.
// A value of more than 15 significant digits, which Excel cannot hold as a
// number, is written whole as text in the paper's form
// ("1.234.567.890.122.230,63") with a note on the cell, and a last row says
// why.
//
// Rows are written in constant memory (libxlsxwriter keeps only the current
// row and spills the rest to unnamed files in the temporary folder). The
// workbook is assembled in unnamed scratch files (ScratchFile: a killed run
// leaves nothing) and copied into place through SafeFile on commit. A
// temporary folder that fills up throws EHostError naming that folder. A
// sheet holds 1,048,576 rows, the title, header and captions among them; a
// line more throws EHostError suggesting CSV. Numbers and widths are written in C form
// ("1.5") whatever the locale of the process or the calling thread.
#pragma once

#include "ReportRowSink.h"

#include <QVector>
#include <memory>

class FixedDecimal;
class ScratchFile;
class XlsxStyles;

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

class XlsxExportWriter : public ReportRowSink {
public:
    explicit XlsxExportWriter(const QString &path);
    ~XlsxExportWriter() override;

    void begin(const ExportSheet &sheet) override;
    void row(const ExportRow &row) override;
    void commit() override;
    void abort() override;

    // Rows a sheet holds, the title, header and captions among them.
    static constexpr int kSheetRows = 1048576;
    // Significant digits Excel keeps in a number.
    static constexpr int kExcelDigits = 15;

private:
    void writeTop(const ExportSheet &sheet);
    void writeCell(int col, const QVariant &value, lxw_format *format);
    void writeAmount(int col, const FixedDecimal &amount, lxw_format *format);
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
    std::unique_ptr<XlsxStyles> m_styles;
    QVector<int> m_widths; // characters
    int m_row = 0;         // the sheet's row last written
    int m_captionRow = 0;
    int m_textAmounts = 0; // amounts written as text
};
