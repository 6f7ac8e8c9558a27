// Case and accent folding, the rule every search filter follows: a text is
// compared lower-cased and without its accents ("Conceição" and "CONCEICAO"
// fold alike). Letters up to U+024F lose their combining marks (NFD) and are
// case-folded; other characters are only case-folded. Folding keeps the
// length in UTF-16 units, so positions in a folded text are positions in
// the original.
//
// The same rule runs inside SQLite (SqliteRoutines: FOLD, FOLD_INSTR) on
// UTF-8 text, so that a filter applied by the database and one applied to
// rows in memory agree.
#pragma once

#include <QString>
#include <string>

namespace TextFold {

char16_t foldChar(char16_t c);
QString fold(const QString &s);
// Whether hay contains needle (already folded), folding hay on the way.
bool containsFolded(const QString &hay, const QString &needle);

// UTF-8 in, folded UTF-16 out (appended to out, which is cleared first).
// Invalid bytes are kept as U+FFFD.
void foldUtf8(const char *text, int bytes, std::u16string &out);
// 1-based position of needle (folded UTF-16) in hay, 0 when absent; an
// empty needle is found at 1.
qsizetype indexOf(const std::u16string &hay, const std::u16string &needle);
// The same for a needle that folds to ASCII only (what users mostly type):
// hay (UTF-8) is folded to one byte per UTF-16 unit, non-ASCII results as
// 0x80, and searched with memmem. Gives what foldUtf8 and indexOf give.
qsizetype indexOfAscii(const char *hay, int bytes, const std::string &needle, std::string &scratch);

} // namespace TextFold
