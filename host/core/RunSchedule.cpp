#include "RunSchedule.h"

#include <QRegularExpression>
#include <QStringList>

namespace {
const QStringList kWeekdays{QStringLiteral("segunda"), QStringLiteral("terça"), QStringLiteral("quarta"),
                            QStringLiteral("quinta"), QStringLiteral("sexta"), QStringLiteral("sábado"),
                            QStringLiteral("domingo")};

std::optional<QTime> timeOf(const QString &text)
{
    const QTime t = QTime::fromString(text, QStringLiteral("H:mm"));
    return t.isValid() ? std::optional(t) : std::nullopt;
}
} // namespace

std::optional<RunSchedule> RunSchedule::fromText(const QString &text)
{
    const QString t = text.simplified().toLower();
    static const QRegularExpression monthly(QStringLiteral("^todo dia (\\d{1,2}) às (\\d{1,2}:\\d\\d)$"));
    static const QRegularExpression weekly(QStringLiteral("^tod[ao] (\\S+?)(?:-feira)? às (\\d{1,2}:\\d\\d)$"));
    static const QRegularExpression daily(QStringLiteral("^todo dia às (\\d{1,2}:\\d\\d)$"));
    if (const auto m = monthly.match(t); m.hasMatch()) {
        const int day = m.captured(1).toInt();
        const auto time = timeOf(m.captured(2));
        if (day >= 1 && day <= 31 && time)
            return RunSchedule(Kind::Monthly, day, *time);
    } else if (const auto m = daily.match(t); m.hasMatch()) {
        if (const auto time = timeOf(m.captured(1)))
            return RunSchedule(Kind::Daily, 0, *time);
    } else if (const auto m = weekly.match(t); m.hasMatch()) {
        const qsizetype day = kWeekdays.indexOf(m.captured(1));
        const auto time = timeOf(m.captured(2));
        if (day >= 0 && time)
            return RunSchedule(Kind::Weekly, int(day) + 1, *time);
    }
    return std::nullopt;
}

QString RunSchedule::text() const
{
    const QString at = m_time.toString(QStringLiteral("HH:mm"));
    switch (m_kind) {
    case Kind::Monthly: return QStringLiteral("todo dia %1 às %2").arg(m_day).arg(at);
    case Kind::Weekly:
        return QStringLiteral("%1 %2 às %3")
            .arg(m_day >= 6 ? QStringLiteral("todo") : QStringLiteral("toda"), kWeekdays[m_day - 1], at);
    case Kind::Daily: break;
    }
    return QStringLiteral("todo dia às %1").arg(at);
}

QDateTime RunSchedule::lastDue(const QDateTime &now) const
{
    const QDate today = now.date();
    switch (m_kind) {
    case Kind::Daily: {
        const QDateTime due = dueOn(today);
        return due <= now ? due : dueOn(today.addDays(-1));
    }
    case Kind::Weekly: {
        const QDateTime due = dueOn(today.addDays(-((today.dayOfWeek() - m_day + 7) % 7)));
        return due <= now ? due : due.addDays(-7);
    }
    case Kind::Monthly: break;
    }
    for (int back = 0;; ++back) {
        const QDate first = QDate(today.year(), today.month(), 1).addMonths(-back);
        const QDateTime due = dueOn(QDate(first.year(), first.month(), qMin(m_day, first.daysInMonth())));
        if (due <= now)
            return due;
    }
}
