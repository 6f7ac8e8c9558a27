// Splits a line of a scripted session into words: blanks separate them, an
// argument with blanks is written in double quotes. Inside quotes a
// backslash starts an escape: \" and \\ for themselves, \t (tab), \n (line
// end), \r, \b (backspace), \e (escape), \uXXXX (the character of that
// hexadecimal code); before any other character it stands for that
// character.
#pragma once

#include <QStringList>

namespace ScriptTokens {
// False (with a reason) for an unterminated quote or a bad \u escape.
bool split(const QString &line, QStringList &words, QString *error);
}
