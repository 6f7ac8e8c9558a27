// A script line that cannot be carried out: the session prints an error
// event with the text and goes on with the next line.
#pragma once

#include <QString>

struct ScriptError {
    QString text;
};

[[noreturn]] inline void fail(const QString &text) { throw ScriptError{text}; }
