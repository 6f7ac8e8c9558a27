// The host's exception classes. Handlers throw them; the dispatcher
// (Dispatch.h) catches them at the outermost level of an event.
#pragma once

#include <QString>
#include <stdexcept>

// The silent exception: ends the running action with no further message.
class EAbort : public std::runtime_error {
public:
    explicit EAbort(const QString &text = QString());
    QString text() const { return m_text; }
private:
    QString m_text;
};

// An error with a text for the user (database errors, bad definitions, ...).
class EHostError : public std::runtime_error {
public:
    explicit EHostError(const QString &text);
    QString text() const { return m_text; }
private:
    QString m_text;
};

// A database server that refused the login (wrong or missing password,
// unknown user): the one failure that another password can mend, so a
// person may be asked for one.
class ELoginRefused : public EHostError {
public:
    using EHostError::EHostError;
};

// The error of a stored definition (a form, a report) that cannot be read:
// names the file, the line and the column (both from 1) where reading stopped.
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
