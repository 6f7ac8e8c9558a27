#include "DefinitionWriter.h"
#include "core/SafeFile.h"

#include <QLocale>

namespace {

QString quoted(const QString &s)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : s) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            out += QLatin1Char('\\');
        if (c == QLatin1Char('\n')) {
            out += QLatin1String("\\n");
            continue;
        }
        out += c;
    }
    return out + QLatin1Char('"');
}

// Plain decimals (the parser reads no exponent), with the fewest digits that
// still read back as the same value.
QString number(double v) { return QString::number(v, 'f', QLocale::FloatingPointShortest); }

// A tag that no line of the text equals.
QString heredocTag(const QString &text)
{
    QStringList trimmed;
    for (const QString &l : text.split(QLatin1Char('\n')))
        trimmed << l.trimmed();
    QString tag = QStringLiteral("END");
    for (int n = 2; trimmed.contains(tag); ++n)
        tag = QStringLiteral("END_SQL%1").arg(n);
    return tag;
}

QString typeWord(TParam::DataType t)
{
    switch (t) {
    case TParam::DataType::Integer: return QStringLiteral("integer");
    case TParam::DataType::Float: return QStringLiteral("float");
    case TParam::DataType::Date: return QStringLiteral("date");
    case TParam::DataType::DateTime: return QStringLiteral("datetime");
    default: return QStringLiteral("string");
    }
}

} // namespace

namespace {

void writeHead(QStringList &out, const ReportDefinition &def)
{
    out << QStringLiteral("title %1").arg(quoted(def.title));
    out << QStringLiteral("orientation %1")
               .arg(def.orientation == ReportDefinition::Orientation::Landscape ? QStringLiteral("landscape")
                                                                               : QStringLiteral("portrait"));
    out << QStringLiteral("font %1 %2").arg(quoted(def.fontFamily), number(def.fontSize));
    if (def.pictureType >= 0)
        out << QStringLiteral("picture %1").arg(def.pictureType);
    out << QString();
}

void writeParams(QStringList &out, const ReportDefinition &def)
{
    for (const auto &p : def.params) {
        QString l = QStringLiteral("param %1 %2").arg(p.name, typeWord(p.type));
        if (!p.label.isEmpty())
            l += QStringLiteral(" label %1").arg(quoted(p.label));
        if (!p.format.isEmpty())
            l += QStringLiteral(" format %1").arg(quoted(p.format));
        if (!p.defaultValue.isNull())
            l += QStringLiteral(" default %1").arg(quoted(p.defaultValue.toString()));
        out << l;
    }
}

void writeQueries(QStringList &out, const ReportDefinition &def)
{
    for (const auto &q : def.queries) {
        out << QString() << QStringLiteral("query %1").arg(q.name)
                                + (q.label.isEmpty() ? QString() : QStringLiteral(" label %1").arg(quoted(q.label)));
        for (int d = 0; d < ReportQuery::DialectCount; ++d) {
            if (q.sql[d].isEmpty())
                continue;
            const QString tag = heredocTag(q.sql[d]);
            out << QStringLiteral("%1 <<%2").arg(ReportQuery::dialectKeyword(d), tag) << q.sql[d] << tag;
        }
    }
    out << QString();
}

QString columnLine(const ReportColumn &c)
{
    QString l = QStringLiteral("column %1 %2 width %3").arg(c.field, quoted(c.caption), number(c.widthMm));
    switch (c.align) {
    case ReportColumn::Align::Left: l += QLatin1String(" align left"); break;
    case ReportColumn::Align::Center: l += QLatin1String(" align center"); break;
    case ReportColumn::Align::Right: l += QLatin1String(" align right"); break;
    }
    switch (c.format) {
    case ReportColumn::Format::Text: l += QLatin1String(" format text"); break;
    case ReportColumn::Format::Integer: l += QLatin1String(" format integer"); break;
    case ReportColumn::Format::Code: l += QLatin1String(" format code"); break;
    case ReportColumn::Format::Number: l += QStringLiteral(" format number %1").arg(c.decimals); break;
    case ReportColumn::Format::Date: l += QStringLiteral(" format date %1").arg(quoted(c.pattern)); break;
    case ReportColumn::Format::DateTime: l += QStringLiteral(" format datetime %1").arg(quoted(c.pattern)); break;
    }
    if (c.sum)
        l += QLatin1String(" sum");
    return l;
}

void writeGroups(QStringList &out, const ReportDefinition &def)
{
    for (const auto &g : def.groups) {
        QString l = QStringLiteral("group %1").arg(g.field);
        if (!g.headerTemplate.isEmpty())
            l += QStringLiteral(" header %1").arg(quoted(g.headerTemplate));
        if (!g.subtotalCaption.isEmpty())
            l += QStringLiteral(" subtotal %1").arg(quoted(g.subtotalCaption));
        if (g.skipEmpty)
            l += QLatin1String(" skipempty");
        out << l;
    }
}

void writeTail(QStringList &out, const ReportDefinition &def)
{
    if (!def.totalCaption.isEmpty())
        out << QStringLiteral("total %1").arg(quoted(def.totalCaption));
    if (def.chart.isSet()) {
        QString l = QStringLiteral("chart %1 value %2").arg(quoted(def.chart.title), def.chart.valueField);
        if (!def.chart.keyField.isEmpty())
            l += QStringLiteral(" by %1").arg(def.chart.keyField);
        if (!def.chart.labelTemplate.isEmpty())
            l += QStringLiteral(" label %1").arg(quoted(def.chart.labelTemplate));
        out << l;
    }
    for (const auto &h : def.headerLines)
        out << QStringLiteral("header %1").arg(quoted(h));
    out << QStringLiteral("footer %1").arg(quoted(def.footerTemplate));
}

} // namespace

QString DefinitionWriter::toText(const ReportDefinition &def)
{
    QStringList out;
    writeHead(out, def);
    writeParams(out, def);
    writeQueries(out, def);
    for (const auto &c : def.columns)
        out << columnLine(c);
    writeGroups(out, def);
    writeTail(out, def);
    return out.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

void DefinitionWriter::save(const ReportDefinition &def, const QString &path)
{
    SafeFile::writeAll(path, toText(def).toUtf8());
}
