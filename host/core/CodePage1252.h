// Code page 1252, the character set of stored definitions and of the codes
// the screens compare. Qt offers no such codec without ICU, and Latin-1 is
// not the same thing: it has no "€" or "Š" (0x80, 0x8A), so a conversion
// through it turns them into "?" and sorts them before "A".
#pragma once

#include <QByteArray>
#include <QString>

namespace CodePage1252 {

// A byte of the code page as Unicode (0x81, 0x8D, 0x8F, 0x90 and 0x9D,
// unassigned there, stand for themselves).
QChar decode(uchar byte);
QString decode(const QByteArray &bytes);
// The text in the code page; characters it lacks become '?'.
QByteArray encode(const QString &text);
// Byte-wise order of the two texts in the code page: negative, zero or
// positive; a text sorts before any longer text it begins.
int compare(const QString &a, const QString &b);

} // namespace CodePage1252
