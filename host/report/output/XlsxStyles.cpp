#include "XlsxStyles.h"

#include <QRegularExpression>
#include <xlsxwriter.h>

namespace {
constexpr int kMaxSheetName = 31;
constexpr lxw_color_t kGroupFill = 0xDCE6F1, kSubtotalFill = 0xF2F2F2, kCaptionFill = 0xD9D9D9;

QByteArray utf8(const QString &s) { return s.toUtf8(); }

bool isNumber(const ReportColumn &c)
{
    return c.format == ReportColumn::Format::Integer || c.format == ReportColumn::Format::Number;
}
} // namespace

QString XlsxStyles::sheetName(const QString &title)
{
    QString name;
    for (const QChar c : title)
        if (!QStringLiteral("[]:*?/\\").contains(c) && c.isPrint())
            name += c;
    name = name.simplified();
    static const QRegularExpression aside(QStringLiteral("\\s*\\([^)]*\\)"));
    if (name.size() > kMaxSheetName)
        name = name.remove(aside).simplified();
    static const QStringList joining = {QStringLiteral("de"), QStringLiteral("do"), QStringLiteral("da"),
                                        QStringLiteral("dos"), QStringLiteral("das"), QStringLiteral("e"),
                                        QStringLiteral("a"), QStringLiteral("o"), QStringLiteral("por"),
                                        QStringLiteral("para"), QStringLiteral("no"), QStringLiteral("na"),
                                        QStringLiteral("-"), QStringLiteral("–")};
    QStringList words = name.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    while (words.size() > 1 && (words.join(QLatin1Char(' ')).size() > kMaxSheetName
                                || joining.contains(words.last(), Qt::CaseInsensitive)))
        words.removeLast();
    name = words.join(QLatin1Char(' ')).left(kMaxSheetName).trimmed();
    while (name.startsWith(QLatin1Char('\'')))
        name.remove(0, 1);
    while (name.endsWith(QLatin1Char('\'')))
        name.chop(1);
    return name.isEmpty() ? QStringLiteral("Relatório") : name;
}

QString XlsxStyles::excelDatePattern(const QString &qt, bool withTime)
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

QString XlsxStyles::numberPattern(const ReportColumn &c)
{
    if (c.format == ReportColumn::Format::Integer || c.decimals <= 0)
        return QStringLiteral("#,##0");
    return QStringLiteral("#,##0.") + QString(c.decimals, QLatin1Char('0'));
}

XlsxStyles::XlsxStyles(lxw_workbook *book, const QList<ReportColumn> &columns)
{
    m_title = workbook_add_format(book);
    format_set_bold(m_title);
    format_set_font_size(m_title, 14);
    m_header = workbook_add_format(book);
    m_note = workbook_add_format(book);
    format_set_italic(m_note);
    m_caption = workbook_add_format(book);
    format_set_bold(m_caption);
    format_set_pattern(m_caption, LXW_PATTERN_SOLID);
    format_set_bg_color(m_caption, kCaptionFill);
    format_set_bottom(m_caption, LXW_BORDER_THIN);
    for (const ExportRow::Kind kind : {ExportRow::Kind::Detail, ExportRow::Kind::GroupHeader, ExportRow::Kind::Subtotal,
                                       ExportRow::Kind::Total}) {
        QVector<lxw_format *> row;
        for (const ReportColumn &c : columns)
            row << make(book, &c, kind);
        m_cells << row;
    }
}

lxw_format *XlsxStyles::make(lxw_workbook *book, const ReportColumn *c, ExportRow::Kind kind) const
{
    const bool plain = kind == ExportRow::Kind::Detail;
    const bool dated = c->format == ReportColumn::Format::Date || c->format == ReportColumn::Format::DateTime;
    if (plain && !isNumber(*c) && !dated)
        return nullptr;
    lxw_format *f = workbook_add_format(book);
    if (isNumber(*c)) {
        format_set_num_format(f, utf8(numberPattern(*c)).constData());
        format_set_align(f, LXW_ALIGN_RIGHT); // a value written as text (too many digits) lines up too
    } else if (dated) {
        format_set_num_format(f, utf8(excelDatePattern(c->pattern, c->format == ReportColumn::Format::DateTime)).constData());
    }
    if (plain)
        return f;
    format_set_bold(f);
    format_set_pattern(f, LXW_PATTERN_SOLID);
    format_set_bg_color(f, kind == ExportRow::Kind::GroupHeader ? kGroupFill : kSubtotalFill);
    if (kind == ExportRow::Kind::Total)
        format_set_top(f, LXW_BORDER_THIN);
    return f;
}

lxw_format *XlsxStyles::cell(ExportRow::Kind kind, int column) const
{
    return m_cells.value(int(kind)).value(column, nullptr);
}
