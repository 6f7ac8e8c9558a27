#include "CsvExportWriter.h"
#include "core/Errors.h"
#include "core/SafeFile.h"
#include "report/model/ReportFormat.h"

#include <QRegularExpression>

namespace {
const QChar kSeparator = QLatin1Char(';');
constexpr int kBufferBytes = 1 << 16;

// dd/MM/yyyy without parsing a format for every cell; years outside
// 1..9999 go through Qt, which knows how to write them.
QString brazilianDate(const QDate &d)
{
    const int y = d.year();
    if (y < 1 || y > 9999)
        return d.toString(QStringLiteral("dd/MM/yyyy"));
    const char text[] = {char('0' + d.day() / 10), char('0' + d.day() % 10), '/', char('0' + d.month() / 10),
                         char('0' + d.month() % 10), '/', char('0' + y / 1000), char('0' + y / 100 % 10),
                         char('0' + y / 10 % 10), char('0' + y % 10)};
    return QString::fromLatin1(text, int(sizeof text));
}
} // namespace

CsvExportWriter::CsvExportWriter(const QString &path, Codes codes) : m_path(path), m_codes(codes) {}

CsvExportWriter::~CsvExportWriter() { abort(); }

QString CsvExportWriter::cell(const ReportColumn &column, const QVariant &v)
{
    if (v.isNull() || !v.isValid())
        return QString();
    switch (column.format) {
    case ReportColumn::Format::Integer: {
        bool ok = false;
        const qlonglong n = v.toLongLong(&ok);
        return ok ? QString::number(n) : v.toString();
    }
    case ReportColumn::Format::Number: {
        const std::optional<FixedDecimal> exact = ReportFormat::amount(column, v);
        return exact ? exact->text(QLatin1Char(',')) : v.toString();
    }
    case ReportColumn::Format::Date:
        if (v.typeId() == QMetaType::QDate) // the common case, without a time-zone look-up
            return v.toDate().isValid() ? brazilianDate(v.toDate()) : QString();
        [[fallthrough]];
    case ReportColumn::Format::DateTime: {
        const QDateTime dt = ReportFormat::toDateTime(v);
        if (!dt.isValid())
            return v.toString();
        return column.format == ReportColumn::Format::Date ? brazilianDate(dt.date())
                                                           : dt.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    }
    case ReportColumn::Format::Text:
        break;
    }
    return v.toString();
}

namespace {
bool isNumber(ReportColumn::Format f)
{
    return f == ReportColumn::Format::Integer || f == ReportColumn::Format::Number;
}
} // namespace

QString CsvExportWriter::neutralised(const QString &text)
{
    // OWASP's rule for CSV injection: these open a formula (or, as tab and
    // carriage return, hide one) in some spreadsheet.
    static const QString openers = QStringLiteral("=+-@\t\r");
    if (!text.isEmpty() && openers.contains(text.front()))
        return QLatin1Char('\'') + text;
    return text;
}

QString CsvExportWriter::field(const ReportColumn &column, const QVariant &v, Codes codes)
{
    static const QRegularExpression literalOnly(QStringLiteral("^[0-9./ -]+$"));
    if (isNumber(column.format))
        if (const std::optional<FixedDecimal> exact = ReportFormat::amount(column, v))
            return exact->text(QLatin1Char(',')); // a number as the report prints it, never text
    const QString text = cell(column, v);
    if (codes == Codes::SpreadsheetText && column.format == ReportColumn::Format::Code && literalOnly.match(text).hasMatch())
        return QStringLiteral("=\"%1\"").arg(text);
    return quoted(neutralised(text));
}

QString CsvExportWriter::quoted(const QString &field)
{
    bool plain = field.isEmpty() || (!field.front().isSpace() && !field.back().isSpace());
    for (qsizetype i = 0; plain && i < field.size(); ++i) {
        const QChar c = field[i];
        plain = c != kSeparator && c != QLatin1Char('"') && c != QLatin1Char('\n') && c != QLatin1Char('\r');
    }
    if (plain)
        return field;
    QString q = field;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

void CsvExportWriter::begin(const ExportSheet &sheet)
{
    m_file = std::make_unique<SafeFile>(m_path);
    m_columns = sheet.columns;
    m_buffer = QByteArrayLiteral("\xEF\xBB\xBF");
    QStringList captions;
    for (const ReportColumn &c : std::as_const(m_columns))
        captions << quoted(neutralised(c.caption));
    writeLine(QStringLiteral("Tipo"), QStringLiteral("Descrição"), captions);
    const QStringList empty(m_columns.size());
    writeLine(QStringLiteral("Relatório"), sheet.title, empty);
    for (const QString &item : sheet.header)
        writeLine(QStringLiteral("Parâmetro"), item, empty);
}

void CsvExportWriter::row(const ExportRow &row)
{
    if (!m_file)
        throw EHostError(QStringLiteral("A exportação não foi iniciada."));
    QStringList fields;
    fields.reserve(m_columns.size());
    for (int i = 0; i < m_columns.size(); ++i)
        fields << field(m_columns[i], row.values.value(i), m_codes);
    writeLine(row.kindName(), row.label, fields);
}

void CsvExportWriter::writeLine(const QString &kind, const QString &description, const QStringList &fields)
{
    // Each field straight into the buffer: no line assembled first.
    m_buffer += kind.toUtf8();
    m_buffer += ';';
    m_buffer += quoted(neutralised(description)).toUtf8();
    for (const QString &f : fields) {
        m_buffer += ';';
        m_buffer += f.toUtf8();
    }
    m_buffer += "\r\n";
    if (m_buffer.size() >= kBufferBytes)
        flush();
}

void CsvExportWriter::flush()
{
    try {
        m_file->write(m_buffer);
    } catch (...) {
        m_file.reset();
        throw;
    }
    m_buffer.clear();
}

void CsvExportWriter::commit()
{
    if (!m_file)
        throw EHostError(QStringLiteral("A exportação não foi iniciada."));
    flush();
    std::unique_ptr<SafeFile> file = std::move(m_file);
    file->commit();
}

void CsvExportWriter::abort()
{
    m_file.reset(); // the temporary file goes; the target stays as it was
    m_buffer.clear();
}
