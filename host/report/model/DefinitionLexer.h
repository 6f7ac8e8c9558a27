// Splits one line of a report definition into tokens: words (keywords,
// names, dotted names), quoted strings (with \" \\ \n escapes), numbers and
// heredoc tags (<<TAG). '#' outside quotes ends the line. Errors throw
// ReportParseError with the line and the column.
#pragma once

#include <QList>
#include <QString>

struct ReportToken {
    enum Kind { Word, String, Number, Heredoc } kind;
    QString text;
    int column; // from 1
};

class DefinitionLexer {
public:
    DefinitionLexer(const QString &line, int lineNo, const QString &file);
    QList<ReportToken> tokens();

    static bool isIdent(const QString &s);

private:
    [[noreturn]] void fail(int column, const QString &msg) const;
    ReportToken string();
    ReportToken heredoc();
    ReportToken number();
    ReportToken word();
    bool startsNumber() const;

    const QString &m_s;
    int m_line;
    const QString &m_file;
    int m_i = 0;
    int m_n;
};
