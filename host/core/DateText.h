// How the text of a date edit ("dd/mm/yyyy", blanks where nothing was
// typed) reads as a date.
//
// - Four year digits: that year. Two year digits followed by blanks
//   ("01/03/26  "): the year 20yy, so "010326" typed gives 01/03/2026.
// - Only years 1900 to 2099 are dates; any other text (a blank inside the
//   day or month, one or three year digits, an impossible day) is none.
#pragma once

#include <QDate>
#include <QString>

namespace DateText {

inline constexpr int kFirstYear = 1900;
inline constexpr int kLastYear = 2099;

// The date of a shown text (blanks as ' ' or '_'); a null date when none.
QDate parse(const QString &shown);
// Whether the shown text has a two-digit year (which parse widens).
bool hasShortYear(const QString &shown);

} // namespace DateText
