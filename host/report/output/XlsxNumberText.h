// Puts the shortest exact text in a workbook's number cells. libxlsxwriter
// writes every number with 16 significant digits, so 947326.02 may land in
// the sheet as 947326.0200000001: a spreadsheet then holds a value the
// report never printed. This copies a workbook with each number cell of a
// column that has a scale rewritten as its value rounded to that scale, in
// its shortest text ("947326.02", "12.5", "3"); cells of other columns (dates)
// and every other part of the package are copied as they are.
#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

namespace XlsxNumberText {

// The rewrite of one sheet's XML, fed in pieces of any size. scales: per
// column (0 = A), the decimals of its numbers; -1 leaves a column as it is.
class SheetNumbers {
public:
    explicit SheetNumbers(QVector<int> scales) : m_scales(std::move(scales)) {}
    // What can be written out of what was fed so far.
    QByteArray feed(const QByteArray &piece);
    // The rest, after the last piece.
    QByteArray finish();

private:
    QByteArray cell(const QByteArray &xml) const;

    QVector<int> m_scales;
    QByteArray m_pending;
};

// Copies the workbook at from (an XLSX file) to to. Throws EHostError with
// the reason when either cannot be read or written; errno then tells why.
void copy(const QString &from, const QString &to, const QVector<int> &scales);

} // namespace XlsxNumberText
