#include "ExportLayout.h"
#include "report/model/ReportFormat.h"

#include <QRegularExpression>

namespace {
bool isColumn(const ReportDefinition &def, const QString &field)
{
    for (const ReportColumn &c : def.columns)
        if (c.field.compare(field, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

ReportColumn textColumn(const QString &caption, ReportColumn::Format format = ReportColumn::Format::Text)
{
    ReportColumn c;
    c.caption = caption;
    c.format = format;
    return c;
}

// The page header as items: each header line cut where the paper leaves a
// wide gap between two of them, then the labelled parameters.
QStringList headerItems(const ReportDefinition &def, const ReportValues &values)
{
    static const QRegularExpression gap(QStringLiteral("\\s{3,}"));
    QStringList items;
    for (const QString &tpl : def.headerLines)
        for (const QString &item : values.expand(tpl, nullptr).split(gap, Qt::SkipEmptyParts))
            items << item.trimmed();
    for (const ReportParamDecl &d : def.params)
        if (!d.label.isEmpty())
            items << QStringLiteral("%1: %2").arg(d.label, values.field(d.name, nullptr));
    return items;
}
} // namespace

ExportLayout::ExportLayout(const ReportDefinition &def, const ReportValues &values) : m_def(def), m_values(values)
{
    m_sheet.title = def.title;
    m_sheet.header = headerItems(def, values);
    addGroups(def);
    for (int c = 0; c < def.columns.size(); ++c) {
        const ReportColumn &col = def.columns[c];
        const int field = values.fieldIndex(col.field);
        if (col.format == ReportColumn::Format::Code) {
            m_sheet.columns << col; // the code as shown: still a code (CsvExportWriter's variant)
            m_sources << Source{Source::CodeText, field, 0, c};
            m_sheet.columns << textColumn(col.caption + QStringLiteral(" (chave)"), ReportColumn::Format::Code);
        } else {
            m_sheet.columns << col;
        }
        m_sources << Source{Source::Value, field, 0, c};
    }
}

void ExportLayout::addGroups(const ReportDefinition &def)
{
    int hidden = 0;
    for (const ReportGroup &g : def.groups)
        hidden += isColumn(def, g.field) ? 0 : 1;
    for (int level = 0, n = 0; level < def.groups.size(); ++level) {
        const ReportGroup &g = def.groups[level];
        if (isColumn(def, g.field))
            continue;
        const QString name = hidden == 1 ? QStringLiteral("Grupo") : QStringLiteral("Grupo %1").arg(++n);
        const int field = m_values.fieldIndex(g.field);
        m_sheet.columns << textColumn(name + QStringLiteral(" (chave)"), ReportColumn::Format::Code)
                        << textColumn(name);
        m_sources << Source{Source::GroupKey, field, level, -1} << Source{Source::GroupText, field, level, -1};
    }
}

QVariant ExportLayout::valueOf(const Source &s, const QVector<QVariant> &row) const
{
    const QVariant v = s.field >= 0 && s.field < row.size() ? row[s.field] : QVariant();
    switch (s.role) {
    case Source::GroupKey:
        return ReportFormat::plain(v).trimmed();
    case Source::GroupText: {
        const ReportGroup &g = m_def.groups[s.level];
        const QString key = ReportFormat::plain(v).trimmed();
        if (key.isEmpty())
            return g.skipEmpty ? QString::fromLatin1(NoGroup) : QString();
        return g.headerTemplate.isEmpty() ? key : m_values.expand(g.headerTemplate, &row);
    }
    case Source::CodeText:
        return v.isNull() ? QVariant() : QVariant(m_values.code(ReportFormat::plain(v)));
    case Source::Value:
        break;
    }
    return v;
}

std::optional<ExportRow> ExportLayout::shape(const ReportLine &line, const QVector<QVariant> &row) const
{
    ExportRow out;
    switch (line.kind) {
    case ReportLine::Detail:
        out.kind = ExportRow::Kind::Detail;
        break;
    case ReportLine::GroupHeader:
        out.kind = ExportRow::Kind::GroupHeader;
        break;
    case ReportLine::Subtotal:
        out.kind = ExportRow::Kind::Subtotal;
        break;
    case ReportLine::Total:
        out.kind = ExportRow::Kind::Total;
        break;
    default:
        return std::nullopt;
    }
    out.level = line.level;
    out.label = line.text;
    out.values.reserve(m_sources.size());
    const bool detail = out.kind == ExportRow::Kind::Detail;
    for (const Source &s : m_sources) {
        const bool group = s.role == Source::GroupKey || s.role == Source::GroupText;
        if (detail || (group && out.kind != ExportRow::Kind::Total && s.level <= line.level))
            out.values.append(valueOf(s, row));
        else if (s.role == Source::Value && m_def.columns[s.column].sum && s.column < line.sums.size() && !detail)
            out.values.append(line.sums[s.column].text()); // exact, whatever its size
        else
            out.values.append(QVariant());
    }
    return out;
}
