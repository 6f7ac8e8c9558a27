#include "ReportDefinition.h"

#include <QSizeF>

namespace {
const char *const kDialects[ReportQuery::DialectCount] = {"SQL", "SQL_ORACLE", "SQL_MSSQL", "SQL_IB"};
}

QString ReportQuery::dialectKeyword(int d)
{
    return (d >= 0 && d < DialectCount) ? QString::fromLatin1(kDialects[d]) : QString();
}

int ReportQuery::dialectFromKeyword(const QString &word)
{
    for (int d = 0; d < DialectCount; ++d)
        if (word.compare(QLatin1String(kDialects[d]), Qt::CaseInsensitive) == 0)
            return d;
    return -1;
}

QString ReportQuery::textFor(int dialect) const
{
    if (dialect > 0 && dialect < DialectCount && !sql[dialect].trimmed().isEmpty())
        return sql[dialect];
    return sql[Default];
}

const ReportParamDecl *ReportDefinition::findParam(const QString &name) const
{
    for (const auto &p : params)
        if (p.name.compare(name, Qt::CaseInsensitive) == 0)
            return &p;
    return nullptr;
}

const ReportQuery *ReportDefinition::findQuery(const QString &name) const
{
    for (const auto &q : queries)
        if (q.name.compare(name, Qt::CaseInsensitive) == 0)
            return &q;
    return nullptr;
}

double ReportDefinition::printableWidthMm() const
{
    const QSizeF paper = pageSize.size(QPageSize::Millimeter);
    const double across = orientation == Orientation::Landscape ? qMax(paper.width(), paper.height())
                                                                : qMin(paper.width(), paper.height());
    return across - 20.0;
}

double ReportDefinition::totalColumnWidthMm() const
{
    double w = 0;
    for (const auto &c : columns)
        w += c.widthMm;
    return w;
}
