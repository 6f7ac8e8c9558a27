#include "ReportValues.h"
#include "report/model/ReportFormat.h"
#include "report/model/ReportTemplate.h"

#include <QLocale>

ReportValues::ReportValues(const ReportDefinition &def, const TParams &params,
                           std::shared_ptr<const TDBPicture> picture, const QDateTime &printedAt)
    : m_def(&def), m_params(params), m_picture(std::move(picture)), m_printedAt(printedAt)
{
    if (m_picture)
        m_mask = EditMask(m_picture->EditMask());
}

int ReportValues::fieldIndex(const QString &name) const
{
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString ReportValues::raw(const QString &name, const QVector<QVariant> *row, int page, int pages) const
{
    // Page numbers as people read them here: "Página 1.234 de 17.242".
    static const QLocale brazil(QLocale::Portuguese, QLocale::Brazil);
    if (name.compare(QLatin1String("page"), Qt::CaseInsensitive) == 0)
        return brazil.toString(page);
    if (name.compare(QLatin1String("pages"), Qt::CaseInsensitive) == 0)
        return brazil.toString(pages);
    if (name.compare(QLatin1String("now"), Qt::CaseInsensitive) == 0)
        return m_printedAt.toString(QStringLiteral("dd/MM/yyyy hh:mm"));
    if (const ReportParamDecl *decl = m_def ? m_def->findParam(name) : nullptr) {
        const TParam *p = m_params.FindParam(name);
        return p ? ReportFormat::param(*decl, p->Value()) : QString();
    }
    if (name.contains(QLatin1Char('.')))
        return ReportFormat::plain(m_lookups.value(name.toUpper()));
    const int i = fieldIndex(name);
    if (i >= 0 && row && i < row->size())
        return ReportFormat::plain(row->at(i));
    return QString();
}

QString ReportValues::field(const QString &field, const QVector<QVariant> *row, int page, int pages) const
{
    QStringList filters = ReportTemplate::filtersOf(field);
    const QString name = ReportTemplate::nameOf(field);
    QString v;
    if (!filters.isEmpty() && filters.first() == QLatin1String("all")) {
        // Every row of a look-up query, not only the first.
        v = m_lookups.value(name.toUpper() + QLatin1Char('*')).toStringList().join(QLatin1String(", "));
        filters.removeFirst();
    } else {
        v = raw(name, row, page, pages);
    }
    for (const QString &f : std::as_const(filters)) {
        if (f == QLatin1String("picture"))
            v = code(v);
        else if (f == QLatin1String("level"))
            v = QString::number(level(v.toInt()));
        else
            v = ReportTemplate::choose(f, v);
    }
    return v;
}

QString ReportValues::expand(const QString &tpl, const QVector<QVariant> *row, int page, int pages) const
{
    return ReportTemplate::expand(tpl, [&](const QString &f) { return field(f, row, page, pages); });
}

QString ReportValues::cell(const ReportColumn &col, const QVariant &v) const
{
    if (col.format == ReportColumn::Format::Code)
        return code(v.toString());
    return ReportFormat::display(col, v);
}

QString ReportValues::code(const QString &code) const
{
    const QString trimmed = code.trimmed();
    if (m_mask.isEmpty() || trimmed.size() > m_mask.inputLength())
        return code;
    const QString shown = m_mask.filter(trimmed);
    // Up to the last position the code filled.
    int end = 0;
    for (int i = 0; i < shown.size() && i < m_mask.length(); ++i)
        if (!m_mask.isLiteral(i) && shown[i] != m_mask.blank())
            end = i + 1;
    return shown.left(end);
}

int ReportValues::level(int length) const
{
    if (!m_picture)
        return length;
    if (length <= 0)
        return 0;
    const QList<int> lengths = m_picture->validLengths();
    for (int i = 0; i < lengths.size(); ++i)
        if (lengths[i] >= length)
            return i + 1;
    return int(lengths.size());
}
