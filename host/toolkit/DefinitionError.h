// The error of a stored definition (a form, a report) that cannot be read:
// names the file, the line and the column (both from 1) where reading stopped.
#pragma once

#include "Dispatch.h"

class DefinitionError : public EHostError {
public:
    // text is what the user reads; the parts stay available to callers.
    DefinitionError(const QString &text, const QString &file, int line, int column, const QString &message)
        : EHostError(text), m_file(file), m_line(line), m_column(column), m_message(message)
    {
    }

    QString file() const { return m_file; }
    int line() const { return m_line; }
    int column() const { return m_column; }
    QString message() const { return m_message; }

private:
    QString m_file;
    int m_line;
    int m_column;
    QString m_message;
};
