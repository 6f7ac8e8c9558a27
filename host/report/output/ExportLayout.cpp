#include "ExportLayout.h"
#include "report/model/ReportFormat.h"
#include "report/model/ReportTemplate.h"

namespace {
int indexOf(const QStringList &fields, const QString &name)
{
    for (int i = 0; i < fields.size(); ++i)
        if (fields[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

bool isColumn(const ReportDefinition &def, const QString &field)
{
    for (const ReportColumn &c : def.columns)
        if (c.field.compare(field, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}
} // namespace

ExportLayout::ExportLayout(const ReportDefinition &def, const QStringList &fields, Context context)
    : m_fields(fields), m_context(std::move(context))
{
    m_sheet.title = def.title;
    QList<const ReportGroup *> hidden;
    for (const ReportGroup &g : def.groups)
        if (!isColumn(def, g.field))
            hidden << &g;
    for (int i = 0; i < hidden.size(); ++i) {
        ReportColumn c;
        c.field = hidden[i]->field;
        c.caption = hidden.size() == 1 ? QStringLiteral("Grupo") : QStringLiteral("Grupo %1").arg(i + 1);
        m_sheet.columns << c;
        m_sources << Source{indexOf(fields, c.field), true, hidden[i]->headerTemplate};
    }
    for (const ReportColumn &c : def.columns) {
        m_sheet.columns << c;
        m_sources << Source{indexOf(fields, c.field), false, QString()};
    }
}

QString ExportLayout::groupText(const Source &s, const QVector<QVariant> &fetched) const
{
    const QString value = ReportFormat::plain(fetched.value(s.field)).trimmed();
    if (value.isEmpty() || s.headerTemplate.isEmpty())
        return value;
    if (m_headerText)
        return m_headerText(s.headerTemplate, fetched);
    return ReportTemplate::expand(s.headerTemplate, [&](const QString &name) {
        if (ReportTemplate::isRowField(name)) {
            const int i = indexOf(m_fields, name);
            return i >= 0 ? ReportFormat::plain(fetched.value(i)) : QString();
        }
        return m_context ? m_context(name) : QString();
    });
}

QVector<QVariant> ExportLayout::shape(const QVector<QVariant> &fetched) const
{
    QVector<QVariant> out;
    out.reserve(m_sources.size());
    for (const Source &s : m_sources) {
        if (s.field < 0 || s.field >= fetched.size())
            out.append(QVariant());
        else if (s.group)
            out.append(groupText(s, fetched));
        else
            out.append(fetched[s.field]);
    }
    return out;
}
