// A statement's failure in the user's words: one Portuguese sentence that
// says what failed and why (by the failure's kind, never by the engine's
// words), with the engine's own text after it, so that a person reads what
// to do and a technician still finds what the engine said. An engine's own
// advice (DatabaseFailure::advice), when it has one, is used instead.
#pragma once

#include "engines/DatabaseFailure.h"

#include <QString>

namespace FailureText {

// what names the statement, as the sentence's object: "a consulta",
// "a consulta 'custos' do relatório".
QString sentence(const DatabaseFailure &failure, const QString &what);
// The engine's text on one line, at most 200 characters, no final period.
QString engineWords(const QString &text);

} // namespace FailureText
