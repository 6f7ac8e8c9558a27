// Reads the statements of a report definition, one line's tokens at a time,
// into a ReportDefinition (the format: DefinitionParser.h), then checks the whole
// (a title, queries with their SQL text, each one query that only reads
// (ReportSqlCheck), declared parameters, columns that fit the page). One method per keyword; options after a statement's fixed
// part go through one shared loop. Errors throw ReportParseError with the
// line and column.
#pragma once

#include "DefinitionLexer.h"
#include "ReportDefinition.h"

#include <functional>
#include <initializer_list>

class ReportStatementReader {
public:
    ReportStatementReader(const QStringList &lines, const QString &file);
    ReportDefinition read();

private:
    using Tokens = QList<ReportToken>;
    // An option word and what it takes: apply(i) reads the option's values
    // from token i on and returns how many it took.
    struct Option {
        const char *name;
        std::function<int(int)> apply;
    };

    [[noreturn]] void fail(int column, const QString &msg) const;
    void statement(const Tokens &t);
    // Reads the options from token `from` to the end of the line.
    void options(int from, const QString &expected, std::initializer_list<Option> known);
    void finish();
    void checkTemplate(const QString &tpl, int column) const;
    void checkSqlParams(const ReportQuery &q) const;
    // Refuses one more of something a definition already holds `count` of.
    void checkCount(qsizetype count, int max, const QString &what) const;

    int title();
    int orientation();
    int font();
    int param();
    int query();
    int column();
    int format(ReportColumn &c, int i);
    int group();
    int total();
    int header();
    int footer();
    int picture();
    int chart();
    void dialectText(int dialect);
    void checkReadOnly(const QString &sql, int firstLine);

    const ReportToken &need(int i, const QString &what) const;
    QString needWord(int i, const QString &what) const;
    QString needString(int i, const QString &what) const;
    double needNumber(int i, const QString &what) const;
    QString templateAt(int i, const QString &what) const;

    QString m_file;
    QStringList m_lines;
    ReportDefinition m_def;
    int m_lineNo = 0;
    Tokens m_t; // the tokens of the current line
    int m_titleLine = 0;
};
