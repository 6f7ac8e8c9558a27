// How a saved parameter set keeps its period: as a rule counted from a day
// when the set is opened ("mês anterior" opened in April gives March), or
// as two fixed dates. The rule's text is what people read and type:
// "mês anterior", "mês corrente", "ano corrente", "últimos N dias" (N from
// 1 to 3660) or "dd/mm/aaaa a dd/mm/aaaa". Nothing here throws.
#pragma once

#include <QDate>
#include <QString>
#include <optional>

class PeriodRule {
public:
    enum class Kind { PreviousMonth, CurrentMonth, CurrentYear, LastDays, Fixed };

    static PeriodRule previousMonth() { return PeriodRule(Kind::PreviousMonth); }
    static PeriodRule currentMonth() { return PeriodRule(Kind::CurrentMonth); }
    static PeriodRule currentYear() { return PeriodRule(Kind::CurrentYear); }
    static PeriodRule lastDays(int days);
    static PeriodRule fixed(const QDate &start, const QDate &end);
    // The rule of a text as text() writes it (case and blanks around it
    // ignored); nothing for any other text.
    static std::optional<PeriodRule> fromText(const QString &text);
    // The rule a person most likely meant by the dates shown on a screen on
    // day today: last month, this month or this year whole, else the dates.
    static PeriodRule guessed(const QDate &start, const QDate &end, const QDate &today);

    Kind kind() const { return m_kind; }
    QString text() const;
    // The first and last day of the period, counted from today.
    QDate start(const QDate &today) const;
    QDate end(const QDate &today) const;

    bool operator==(const PeriodRule &) const = default;

private:
    explicit PeriodRule(Kind kind) : m_kind(kind) {}
    Kind m_kind;
    int m_days = 0;
    QDate m_start, m_end;
};
