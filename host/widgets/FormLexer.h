// Tokens of a stored form definition. Strings are sequences of 'quoted' parts
// and #NNN character codes, joined with + across lines; their bytes are code
// page 1252. {hex} is binary data. Errors carry file, line and column.
#pragma once

#include "core/Errors.h"

#include <QByteArray>
#include <QString>

class FormDefinitionError : public DefinitionError {
public:
    FormDefinitionError(const QString &file, int line, int column, const QString &message);
};

struct FormToken {
    enum Kind { End, Ident, Integer, Float, String, Binary, Symbol } kind = End;
    QString text;      // identifier, symbol, decoded string, number text
    QByteArray bytes;  // binary data
    int line = 0;
    int column = 0;
};

class FormLexer {
public:
    FormLexer(const QByteArray &source, const QString &file);
    FormToken next();
    const QString &file() const { return m_file; }
    [[noreturn]] void fail(int line, int column, const QString &message) const;

private:
    QChar peekChar(int ahead = 0) const;
    void advance();
    void skipBlanks();
    FormToken readString();
    // Hexadecimal bytes between braces.
    FormToken readBinary(FormToken &t);
    QByteArray m_src;
    QString m_file;
    int m_pos = 0;
    int m_line = 1;
    int m_col = 1;
};
