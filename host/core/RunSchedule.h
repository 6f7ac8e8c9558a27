// When a saved parameter set runs by itself: monthly ("todo dia 1 às
// 06:00"; a day past the month's end means its last day), weekly ("toda
// segunda às 07:00", any weekday, "-feira" optional) or daily ("todo dia às
// 06:00"), in local time. The text is what people read and type. Nothing
// here throws.
#pragma once

#include <QDateTime>
#include <QString>
#include <QTime>
#include <optional>

class RunSchedule {
public:
    enum class Kind { Monthly, Weekly, Daily };

    // The schedule of a text as text() writes it (case and blanks ignored);
    // nothing for any other text.
    static std::optional<RunSchedule> fromText(const QString &text);
    QString text() const;
    // The latest moment the schedule was due at or before now.
    QDateTime lastDue(const QDateTime &now) const;

    bool operator==(const RunSchedule &) const = default;

private:
    RunSchedule(Kind kind, int day, QTime time) : m_kind(kind), m_day(day), m_time(time) {}
    QDateTime dueOn(const QDate &date) const { return QDateTime(date, m_time); }

    Kind m_kind;
    int m_day = 0; // Monthly: 1..31; Weekly: 1 (Monday)..7
    QTime m_time;
};
