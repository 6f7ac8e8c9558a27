// The look of an exported workbook, apart from writing its cells: the sheet
// name Excel accepts for a report's title, Excel's number and date formats
// for a column, and the cell formats of each kind of line (title, header
// items, captions, group headers, details, subtotals, the grand total) per
// column. Formats belong to the workbook they were made in.
#pragma once

#include "ReportRowSink.h"

#include <QVector>

struct lxw_workbook;
struct lxw_format;

class XlsxStyles {
public:
    // A sheet name Excel accepts (at most 31 characters, none of []:*?/\,
    // no apostrophe at either end) that still reads well: a parenthesised
    // part goes first, then whole words from the end, and a name does not end
    // in a joining word ("de", "do", "-"). "Relatório" when nothing is left.
    static QString sheetName(const QString &title);
    // An Excel number format for a Qt date pattern ("dd/MM/yyyy HH:mm").
    static QString excelDatePattern(const QString &qtPattern, bool withTime);
    // "#,##0.00" with the column's decimals; "#,##0" for integers.
    static QString numberPattern(const ReportColumn &column);

    XlsxStyles(lxw_workbook *book, const QList<ReportColumn> &columns);

    lxw_format *title() const { return m_title; }
    lxw_format *header() const { return m_header; }
    lxw_format *caption() const { return m_caption; }
    lxw_format *note() const { return m_note; }
    // The format of a column's cell in a line of that kind (nullptr: Excel's
    // default).
    lxw_format *cell(ExportRow::Kind kind, int column) const;

private:
    lxw_format *make(lxw_workbook *book, const ReportColumn *column, ExportRow::Kind kind) const;

    lxw_format *m_title = nullptr, *m_header = nullptr, *m_caption = nullptr, *m_note = nullptr;
    // Per kind of line (ExportRow::Kind), per column.
    QVector<QVector<lxw_format *>> m_cells;
};
