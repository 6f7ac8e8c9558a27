#include "DateText.h"

namespace {
bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('_'); }

// The number held by the digits of a part, -1 when a blank is inside it.
int number(QStringView part)
{
    int value = 0;
    for (QChar c : part) {
        if (!c.isDigit())
            return -1;
        value = value * 10 + c.digitValue();
    }
    return part.isEmpty() ? -1 : value;
}
} // namespace

namespace DateText {

bool hasShortYear(const QString &shown)
{
    if (shown.size() != 10)
        return false;
    const QStringView year = QStringView(shown).mid(6);
    return year.at(0).isDigit() && year.at(1).isDigit() && isBlank(year.at(2)) && isBlank(year.at(3));
}

QDate parse(const QString &shown)
{
    if (shown.size() != 10 || shown.at(2) != QLatin1Char('/') || shown.at(5) != QLatin1Char('/'))
        return {};
    const int day = number(QStringView(shown).mid(0, 2));
    const int month = number(QStringView(shown).mid(3, 2));
    int year = hasShortYear(shown) ? 2000 + number(QStringView(shown).mid(6, 2)) : number(QStringView(shown).mid(6, 4));
    if (day < 0 || month < 0 || year < kFirstYear || year > kLastYear)
        return {};
    return QDate(year, month, day); // null when the day does not exist
}

} // namespace DateText
