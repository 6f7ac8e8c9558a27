#include "XlsxExportWriter.h"
#include "XlsxNumberText.h"
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

QString numberPattern(const ReportColumn &c)
{
    if (c.format == ReportColumn::Format::Integer || c.decimals <= 0)
        return QStringLiteral("#,##0");
    return QStringLiteral("#,##0.") + QString(c.decimals, QLatin1Char('0'));
}
} // namespace

XlsxExportWriter::XlsxExportWriter(const QString &path) : m_path(path) {}

XlsxExportWriter::~XlsxExportWriter() { abort(); }

QString XlsxExportWriter::sheetName(const QString &title)
{
    QString name;
    for (const QChar c : title)
        if (!QStringLiteral("[]:*?/\\").contains(c) && c.isPrint())
            name += c;
    name = name.simplified().left(31).trimmed();
    while (name.startsWith(QLatin1Char('\'')))
        name.remove(0, 1);
    while (name.endsWith(QLatin1Char('\'')))
        name.chop(1);
    return name.isEmpty() ? QStringLiteral("Relatório") : name;
}

QString XlsxExportWriter::excelDatePattern(const QString &qt, bool withTime)
{
    if (qt.trimmed().isEmpty())
        return withTime ? QStringLiteral("dd/mm/yyyy hh:mm") : QStringLiteral("dd/mm/yyyy");
    QString out;
    for (int i = 0; i < qt.size(); ++i) {
        const QChar c = qt[i];
        if (c == QLatin1Char('\'')) { // quoted literal text
            const int end = qt.indexOf(QLatin1Char('\''), i + 1);
            const QString text = qt.mid(i + 1, (end < 0 ? qt.size() : end) - i - 1);
            out += QLatin1Char('"') + text + QLatin1Char('"');
            i = end < 0 ? qt.size() : end;
        } else if (c == QLatin1Char('M') || c == QLatin1Char('H')) {
            out += c.toLower(); // month and 24-hour clock; Excel tells minutes by their place
        } else if (c == QLatin1Char('z')) {
            out += QLatin1Char('0');
        } else if (c == QLatin1Char('A') || c == QLatin1Char('a')) {
            out += QStringLiteral("AM/PM");
            if (i + 1 < qt.size() && qt[i + 1].toLower() == QLatin1Char('p'))
                ++i;
        } else {
            out += c;
        }
    }
    return out;
}

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
    m_sheet = workbook_add_worksheet(m_book, utf8(sheetName(sheet.title)).constData());
    if (!m_sheet)
        check(LXW_ERROR_MEMORY_MALLOC_FAILED, "a folha não pôde ser criada");
    m_columns = sheet.columns;
    lxw_format *bold = workbook_add_format(m_book);
    format_set_bold(bold);
    m_formats.clear();
    m_widths.clear();
    for (int i = 0; i < m_columns.size(); ++i) {
        const ReportColumn &c = m_columns[i];
        lxw_format *f = nullptr;
        switch (c.format) {
        case ReportColumn::Format::Integer:
        case ReportColumn::Format::Number:
            f = workbook_add_format(m_book);
            format_set_num_format(f, utf8(numberPattern(c)).constData());
            break;
        case ReportColumn::Format::Date:
        case ReportColumn::Format::DateTime:
            f = workbook_add_format(m_book);
            format_set_num_format(f, utf8(excelDatePattern(c.pattern, c.format == ReportColumn::Format::DateTime)).constData());
            break;
        case ReportColumn::Format::Text:
            break;
        }
        m_formats << f;
        m_widths << int(c.caption.size()) + 2;
        check(worksheet_write_string(m_sheet, 0, lxw_col_t(i), utf8(c.caption).constData(), bold), "cabeçalho");
    }
    worksheet_freeze_panes(m_sheet, 1, 0);
    m_row = 0;
}

void XlsxExportWriter::row(const QVector<QVariant> &values)
{
    const NumericLocale::ScopedC cNumbers;
    if (!m_book)
        throw EHostError(QStringLiteral("A exportação não foi iniciada."));
    if (m_row >= kMaxRows) {
        release();
        throw EHostError(QStringLiteral("O relatório tem mais linhas do que cabem numa planilha XLSX (%1). "
                                        "Exporte-o em CSV.").arg(QLocale(QLocale::Portuguese, QLocale::Brazil).toString(kMaxRows)));
    }
    ++m_row;
    for (int i = 0; i < m_columns.size(); ++i) {
        const QVariant v = values.value(i);
        if (v.isNull() || !v.isValid())
            continue;
        writeCell(i, v);
        if (m_row <= kMeasuredRows)
            m_widths[i] = qMax(m_widths[i], int(ReportFormat::display(m_columns[i], v).size()) + 2);
    }
}

void XlsxExportWriter::writeCell(int col, const QVariant &v)
{
    const ReportColumn &c = m_columns[col];
    const lxw_col_t x = lxw_col_t(col);
    switch (c.format) {
    case ReportColumn::Format::Integer:
    case ReportColumn::Format::Number: {
        // The value as printed: rounded to the column's decimals.
        if (const std::optional<FixedDecimal> exact = ReportFormat::amount(c, v)) {
            check(worksheet_write_number(m_sheet, lxw_row_t(m_row), x, exact->toDouble(), m_formats[col]), "número");
            return;
        }
        break;
    }
    case ReportColumn::Format::Date:
    case ReportColumn::Format::DateTime: {
        lxw_datetime when;
        if (excelDate(v, when)) {
            check(worksheet_write_datetime(m_sheet, lxw_row_t(m_row), x, &when, m_formats[col]), "data");
            return;
        }
        break;
    }
    case ReportColumn::Format::Text:
        break;
    }
    const QString text = v.toString();
    if (!text.isEmpty())
        check(worksheet_write_string(m_sheet, lxw_row_t(m_row), x, utf8(text).constData(), nullptr), "texto");
}

void XlsxExportWriter::fitColumns()
{
    for (int i = 0; i < m_widths.size(); ++i)
        worksheet_set_column(m_sheet, lxw_col_t(i), lxw_col_t(i), qBound(kMinWidth, m_widths[i], kMaxWidth), nullptr);
    if (!m_columns.isEmpty())
        worksheet_autofilter(m_sheet, 0, 0, lxw_row_t(m_row), lxw_col_t(m_columns.size() - 1));
}

void XlsxExportWriter::commit()
{
    const NumericLocale::ScopedC cNumbers;
    if (!m_book)
        throw EHostError(QStringLiteral("A exportação não foi iniciada."));
    fitColumns();
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
    m_scratch.reset();
}
