#include "PeriodRule.h"

#include <QRegularExpression>

namespace {
constexpr int MaxDays = 3660;
const QString kDate = QStringLiteral("dd/MM/yyyy");

QDate monthStart(const QDate &d) { return QDate(d.year(), d.month(), 1); }
QDate monthEnd(const QDate &d) { return monthStart(d).addMonths(1).addDays(-1); }
} // namespace

PeriodRule PeriodRule::lastDays(int days)
{
    PeriodRule rule(Kind::LastDays);
    rule.m_days = qBound(1, days, MaxDays);
    return rule;
}

PeriodRule PeriodRule::fixed(const QDate &start, const QDate &end)
{
    PeriodRule rule(Kind::Fixed);
    rule.m_start = start;
    rule.m_end = end;
    return rule;
}

std::optional<PeriodRule> PeriodRule::fromText(const QString &text)
{
    const QString t = text.simplified().toLower();
    if (t == u"mês anterior")
        return previousMonth();
    if (t == u"mês corrente")
        return currentMonth();
    if (t == u"ano corrente")
        return currentYear();
    static const QRegularExpression days(QStringLiteral("^últimos (\\d{1,4}) dias$"));
    if (const auto m = days.match(t); m.hasMatch()) {
        const int n = m.captured(1).toInt();
        return n >= 1 && n <= MaxDays ? std::optional(lastDays(n)) : std::nullopt;
    }
    static const QRegularExpression dates(QStringLiteral("^(\\d\\d/\\d\\d/\\d{4}) a (\\d\\d/\\d\\d/\\d{4})$"));
    if (const auto m = dates.match(t); m.hasMatch()) {
        const QDate start = QDate::fromString(m.captured(1), kDate);
        const QDate end = QDate::fromString(m.captured(2), kDate);
        if (start.isValid() && end.isValid())
            return fixed(start, end);
    }
    return std::nullopt;
}

PeriodRule PeriodRule::guessed(const QDate &start, const QDate &end, const QDate &today)
{
    for (const PeriodRule &rule : {previousMonth(), currentMonth(), currentYear()})
        if (rule.start(today) == start && rule.end(today) == end)
            return rule;
    return fixed(start, end);
}

QString PeriodRule::text() const
{
    switch (m_kind) {
    case Kind::PreviousMonth: return QStringLiteral("mês anterior");
    case Kind::CurrentMonth: return QStringLiteral("mês corrente");
    case Kind::CurrentYear: return QStringLiteral("ano corrente");
    case Kind::LastDays: return QStringLiteral("últimos %1 dias").arg(m_days);
    case Kind::Fixed: break;
    }
    return QStringLiteral("%1 a %2").arg(m_start.toString(kDate), m_end.toString(kDate));
}

QDate PeriodRule::start(const QDate &today) const
{
    switch (m_kind) {
    case Kind::PreviousMonth: return monthStart(today).addMonths(-1);
    case Kind::CurrentMonth: return monthStart(today);
    case Kind::CurrentYear: return QDate(today.year(), 1, 1);
    case Kind::LastDays: return today.addDays(1 - m_days);
    case Kind::Fixed: break;
    }
    return m_start;
}

QDate PeriodRule::end(const QDate &today) const
{
    switch (m_kind) {
    case Kind::PreviousMonth: return monthStart(today).addDays(-1);
    case Kind::CurrentMonth: return monthEnd(today);
    case Kind::CurrentYear: return QDate(today.year(), 12, 31);
    case Kind::LastDays: return today;
    case Kind::Fixed: break;
    }
    return m_end;
}
