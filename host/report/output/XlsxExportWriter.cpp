#include "XlsxExportWriter.h"
#include "XlsxNumberText.h"
#include "XlsxStyles.h"
#include "core/Errors.h"
#include "core/NumericLocale.h"
#include "core/SafeFile.h"
#include "core/ScratchFile.h"
#include "report/model/ReportFormat.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <cerrno>
#include <xlsxwriter.h>

namespace {
// Column widths follow the first rows only: enough to be sensible, and
// formatting every value of a million rows for it would cost more.
constexpr int kMeasuredRows = 5000;
constexpr int kMinWidth = 6, kMaxWidth = 60;
constexpr int kMaxText = 32767; // characters Excel keeps in a cell

QByteArray utf8(const QString &s) { return s.left(kMaxText).toUtf8(); }

// A date value as Excel keeps it; false when it is no date Excel can show
// (Excel's dates start in 1900). A QDate is taken as it is: making it a
// date-time first would look up the time zone for every cell.
bool excelDate(const QVariant &v, lxw_datetime &out)
{
    QDate d;
    QTime t(0, 0);
    if (v.typeId() == QMetaType::QDate) {
        d = v.toDate();
    } else {
        const QDateTime dt = ReportFormat::toDateTime(v);
        d = dt.date();
        t = dt.time();
    }
    if (!d.isValid() || d.year() < 1900)
        return false;
    out = {d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second() + t.msec() / 1000.0};
    return true;
}

// Digits of a value once its trailing zeros are gone: what a double must hold.
int significantDigits(const FixedDecimal &a)
{
    const quint64 magnitude = a.units() < 0 ? quint64(-(a.units() + 1)) + 1 : quint64(a.units());
    QString digits = QString::number(magnitude);
    while (digits.size() > 1 && digits.endsWith(QLatin1Char('0')))
        digits.chop(1);
    return int(digits.size());
}

constexpr int kMaxNotes = 1000; // cell notes beyond these: the last row says it all
} // namespace

XlsxExportWriter::XlsxExportWriter(const QString &path) : m_path(path) {}

XlsxExportWriter::~XlsxExportWriter() { abort(); }

void XlsxExportWriter::failInScratch(const QString &what)
{
    const int error = errno;
    release();
    const QString dir = QString::fromLocal8Bit(m_tmpdir);
    if (ScratchFile::isFull(dir) || error == ENOSPC || error == EDQUOT || error == EFBIG)
        throw EHostError(QStringLiteral("A exportação para \"%1\" não foi feita. %2")
                             .arg(QDir::toNativeSeparators(m_path), ScratchFile::writeFailure(what, dir, ENOSPC)));
    throw EHostError(QStringLiteral("A exportação para \"%1\" não foi feita. %2")
                         .arg(QDir::toNativeSeparators(m_path), ScratchFile::writeFailure(what, dir, error)));
}

void XlsxExportWriter::check(int error, const char *what)
{
    if (error == LXW_NO_ERROR)
        return;
    // The library's file errors are the temporary folder's: the workbook is
    // made there before it is copied to its place.
    if (error == LXW_ERROR_CREATING_XLSX_FILE || error == LXW_ERROR_CREATING_TMPFILE
        || (error >= LXW_ERROR_ZIP_FILE_OPERATION && error <= LXW_ERROR_ZIP_CLOSE))
        failInScratch(QStringLiteral("a planilha em montagem"));
    release();
    throw EHostError(SafeFile::failureText(m_path, QStringLiteral("%1 (%2)").arg(QString::fromUtf8(what),
                                                                                 QString::fromUtf8(lxw_strerror(lxw_error(error))))));
}

// Each entry point that reaches libxlsxwriter writes its numbers (cells,
// widths) in C form on the calling thread, whatever the process's locale.
void XlsxExportWriter::begin(const ExportSheet &sheet)
{
    const NumericLocale::ScopedC cNumbers;
    m_scratch = std::make_unique<ScratchFile>(QStringLiteral("a planilha em montagem"));
    m_tmpdir = QFile::encodeName(m_scratch->folder());
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = m_tmpdir.data(); // TMPDIR, as for every other temporary file
    // libxlsxwriter writes the workbook by name when it closes it.
    m_book = workbook_new_opt(QFile::encodeName(m_scratch->path()).constData(), &options);
    if (!m_book)
        throw EHostError(SafeFile::failureText(m_path, QStringLiteral("a planilha não pôde ser criada")));
    m_sheet = workbook_add_worksheet(m_book, utf8(XlsxStyles::sheetName(sheet.title)).constData());
    if (!m_sheet)
        check(LXW_ERROR_MEMORY_MALLOC_FAILED, "a folha não pôde ser criada");
    m_columns = sheet.columns;
    m_styles = std::make_unique<XlsxStyles>(m_book, m_columns);
    m_widths.clear();
    m_textAmounts = 0;
    writeTop(sheet);
}

void XlsxExportWriter::writeTop(const ExportSheet &sheet)
{
    m_row = 0;
    check(worksheet_write_string(m_sheet, 0, 0, utf8(sheet.title).constData(), m_styles->title()), "título");
    for (const QString &item : sheet.header)
        check(worksheet_write_string(m_sheet, lxw_row_t(++m_row), 0, utf8(item).constData(), m_styles->header()),
              "cabeçalho");
    m_captionRow = m_row += 2; // a blank row between the header and the table
    for (int i = 0; i < m_columns.size(); ++i) {
        m_widths << int(m_columns[i].caption.size()) + 2;
        check(worksheet_write_string(m_sheet, lxw_row_t(m_row), lxw_col_t(i), utf8(m_columns[i].caption).constData(),
                                     m_styles->caption()),
              "cabeçalho");
    }
    worksheet_freeze_panes(m_sheet, lxw_row_t(m_captionRow + 1), 0);
}

void XlsxExportWriter::row(const ExportRow &line)
{
    const NumericLocale::ScopedC cNumbers;
    if (!m_book)
        throw EHostError(QStringLiteral("A exportação não foi iniciada."));
    if (m_row + 1 >= kSheetRows) {
        release();
        throw EHostError(QStringLiteral("O relatório tem mais linhas do que cabem numa planilha XLSX (%1, com o "
                                        "cabeçalho). Exporte-o em CSV.")
                             .arg(QLocale(QLocale::Portuguese, QLocale::Brazil).toString(kSheetRows)));
    }
    ++m_row;
    const bool measured = m_row - m_captionRow <= kMeasuredRows;
    int labelAt = line.label.isEmpty() || line.kind == ExportRow::Kind::Detail ? m_columns.size() : -1;
    for (int i = 0; i < m_columns.size(); ++i) {
        const QVariant v = line.values.value(i);
        lxw_format *format = m_styles->cell(line.kind, i);
        if (v.isNull() || !v.isValid() || (v.typeId() == QMetaType::QString && v.toString().isEmpty())) {
            if (labelAt < 0) {
                labelAt = i; // the caption of a subtotal or the total, in the first free cell
                check(worksheet_write_string(m_sheet, lxw_row_t(m_row), lxw_col_t(i), utf8(line.label).constData(), format),
                      "texto");
            } else if (format) {
                worksheet_write_blank(m_sheet, lxw_row_t(m_row), lxw_col_t(i), format); // the line's shading
            }
            continue;
        }
        if (line.kind == ExportRow::Kind::GroupHeader && v.toString() == line.label)
            labelAt = i; // the group's column already shows it
        writeCell(i, v, format);
        if (measured)
            m_widths[i] = qMax(m_widths[i], int(ReportFormat::display(m_columns[i], v).size()) + 2);
    }
}

void XlsxExportWriter::writeCell(int col, const QVariant &v, lxw_format *format)
{
    const ReportColumn &c = m_columns[col];
    const lxw_col_t x = lxw_col_t(col);
    switch (c.format) {
    case ReportColumn::Format::Integer:
    case ReportColumn::Format::Number: {
        // The value as printed: rounded to the column's decimals.
        if (const std::optional<FixedDecimal> exact = ReportFormat::amount(c, v)) {
            writeAmount(col, *exact, format);
            return;
        }
        break;
    }
    case ReportColumn::Format::Date:
    case ReportColumn::Format::DateTime: {
        lxw_datetime when;
        if (excelDate(v, when)) {
            check(worksheet_write_datetime(m_sheet, lxw_row_t(m_row), x, &when, format), "data");
            return;
        }
        break;
    }
    default:
        break;
    }
    const QString text = v.toString();
    if (!text.isEmpty())
        check(worksheet_write_string(m_sheet, lxw_row_t(m_row), x, utf8(text).constData(), format), "texto");
}

void XlsxExportWriter::writeAmount(int col, const FixedDecimal &amount, lxw_format *format)
{
    const lxw_col_t x = lxw_col_t(col);
    if (significantDigits(amount) <= kExcelDigits) {
        check(worksheet_write_number(m_sheet, lxw_row_t(m_row), x, amount.toDouble(), format), "número");
        return;
    }
    // A number cell would keep 15 digits of it: the whole value as text.
    check(worksheet_write_string(m_sheet, lxw_row_t(m_row), x, utf8(amount.grouped()).constData(), format), "número");
    if (++m_textAmounts <= kMaxNotes)
        check(worksheet_write_comment(m_sheet, lxw_row_t(m_row), x,
                                      "Valor exato, guardado como texto: tem mais de 15 algarismos significativos, "
                                      "mais do que um número do Excel guarda."),
              "nota");
}

void XlsxExportWriter::fitColumns()
{
    for (int i = 0; i < m_widths.size(); ++i)
        worksheet_set_column(m_sheet, lxw_col_t(i), lxw_col_t(i), qBound(kMinWidth, m_widths[i], kMaxWidth), nullptr);
    if (!m_columns.isEmpty())
        worksheet_autofilter(m_sheet, lxw_row_t(m_captionRow), 0, lxw_row_t(m_row), lxw_col_t(m_columns.size() - 1));
}

void XlsxExportWriter::commit()
{
    const NumericLocale::ScopedC cNumbers;
    if (!m_book)
        throw EHostError(QStringLiteral("A exportação não foi iniciada."));
    fitColumns(); // over the table, before the note under it
    if (m_textAmounts > 0 && m_row + 2 < kSheetRows) {
        m_row += 2;
        check(worksheet_write_string(m_sheet, lxw_row_t(m_row), 0,
                                     "Valores com mais de 15 algarismos significativos estão como texto, exatos: "
                                     "um número do Excel guarda só 15.",
                                     m_styles->note()),
              "nota");
    }
    lxw_workbook *book = m_book;
    m_book = nullptr;
    m_sheet = nullptr;
    const lxw_error closed = workbook_close(book); // writes and frees the workbook
    if (closed != LXW_NO_ERROR)
        check(closed, "a planilha não pôde ser montada");
    const ScratchFile exact(QStringLiteral("a planilha pronta"));
    QVector<int> scales;
    for (const ReportColumn &c : std::as_const(m_columns))
        scales << (ReportFormat::amount(c, 0) ? ReportFormat::scaleOf(c) : -1);
    try {
        XlsxNumberText::copy(m_scratch->path(), exact.path(), scales);
    } catch (const EHostError &) {
        failInScratch(QStringLiteral("a planilha pronta"));
    }
    m_scratch.reset();
    SafeFile out(m_path);
    out.writeFrom(exact.path());
    out.commit();
}

void XlsxExportWriter::abort() { release(); }

void XlsxExportWriter::release()
{
    if (m_book) {
        lxw_workbook_free(m_book);
        m_book = nullptr;
        m_sheet = nullptr;
    }
    m_styles.reset();
    m_scratch.reset();
}
