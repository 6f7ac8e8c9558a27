#include "ReportTemplate.h"

#include <QRegularExpression>

namespace {
const QRegularExpression &fieldRe()
{
    static const QRegularExpression re(QStringLiteral("\\{([^{}]+)\\}"));
    return re;
}
}

QStringList ReportTemplate::names(const QString &tpl)
{
    QStringList out;
    for (auto it = fieldRe().globalMatch(tpl); it.hasNext();)
        out << it.next().captured(1);
    return out;
}

bool ReportTemplate::isRowField(const QString &name)
{
    return !name.startsWith(QLatin1String("P_"), Qt::CaseInsensitive) && !name.contains(QLatin1Char('.'))
        && name.compare(QLatin1String("page"), Qt::CaseInsensitive) != 0
        && name.compare(QLatin1String("pages"), Qt::CaseInsensitive) != 0;
}

QString ReportTemplate::expand(const QString &tpl, const std::function<QString(const QString &)> &value)
{
    QString out;
    qsizetype last = 0;
    for (auto it = fieldRe().globalMatch(tpl); it.hasNext();) {
        const auto m = it.next();
        out += QStringView(tpl).mid(last, m.capturedStart(0) - last);
        out += value(m.captured(1));
        last = m.capturedEnd(0);
    }
    out += QStringView(tpl).mid(last);
    return out;
}
