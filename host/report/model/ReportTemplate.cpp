#include "ReportTemplate.h"

#include <QRegularExpression>

namespace {
const QRegularExpression &fieldRe()
{
    static const QRegularExpression re(QStringLiteral("\\{([^{}]+)\\}"));
    return re;
}
}

QStringList ReportTemplate::fields(const QString &tpl)
{
    QStringList out;
    for (auto it = fieldRe().globalMatch(tpl); it.hasNext();)
        out << it.next().captured(1);
    return out;
}

QStringList ReportTemplate::names(const QString &tpl)
{
    QStringList out;
    for (const QString &f : fields(tpl))
        out << nameOf(f);
    return out;
}

QString ReportTemplate::nameOf(const QString &field) { return field.section(QLatin1Char('|'), 0, 0).trimmed(); }

QStringList ReportTemplate::filtersOf(const QString &field)
{
    QStringList parts = field.split(QLatin1Char('|'));
    parts.removeFirst();
    return parts;
}

bool ReportTemplate::isKnownFilter(const QString &filter)
{
    return filter == QLatin1String("picture") || filter == QLatin1String("level") || filter == QLatin1String("all")
        || filter.contains(QLatin1Char('='));
}

QString ReportTemplate::choose(const QString &filter, const QString &value)
{
    QString fallback;
    bool hasFallback = false;
    for (const QString &entry : filter.split(QLatin1Char(';'))) {
        const qsizetype eq = entry.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = entry.left(eq);
        if (key == value)
            return entry.mid(eq + 1);
        if (key == QLatin1String("*")) {
            fallback = entry.mid(eq + 1);
            hasFallback = true;
        }
    }
    return hasFallback ? fallback : value;
}

bool ReportTemplate::isRowField(const QString &name)
{
    static const QStringList reserved = {QStringLiteral("page"), QStringLiteral("pages"), QStringLiteral("now")};
    return !name.startsWith(QLatin1String("P_"), Qt::CaseInsensitive) && !name.contains(QLatin1Char('.'))
        && !reserved.contains(name, Qt::CaseInsensitive);
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
