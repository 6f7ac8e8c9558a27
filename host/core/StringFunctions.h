// The host's small string helpers. Host strings are QString; an empty and a
// null string are the same value (nothing here tests isNull). A "blank" is any
// character for which QChar::isSpace() is true (space, tab, line breaks,
// no-break space).
#pragma once

#include <QDate>
#include <QString>

// True when s is empty or holds only blanks.
bool EmptyString(const QString &s);

// s without leading and trailing blanks.
QString AllTrim(const QString &s);

// s repeated n times; empty for n <= 0. Throws EHostError when the result
// would pass 100,000,000 characters.
QString Replicate(const QString &s, int n);

// The code rule of the host, bringing a code to n characters:
//  - blanks around the code are removed first;
//  - a code of digits only (0-9) is left-padded with zeros ("12" -> "0012");
//  - any other code is right-padded with blanks ("AB" -> "AB  ");
//  - a code longer than n, an empty or all-blank text, or n <= 0: s unchanged.
QString Ajusta(const QString &s, int n);

// "Domingo", "Segunda", "Terça", "Quarta", "Quinta", "Sexta", "Sábado";
// empty for an invalid date.
QString NomeSemana(const QDate &date);
