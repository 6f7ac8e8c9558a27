// Splits a line of a scripted session into words: blanks separate them, an
// argument with blanks is written in double quotes (\" and \\ inside).
#pragma once

#include <QStringList>

namespace ScriptTokens {
// False (with a reason) for an unterminated quote.
bool split(const QString &line, QStringList &words, QString *error);
}
