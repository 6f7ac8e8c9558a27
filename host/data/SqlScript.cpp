#include "SqlScript.h"
#include "SqlStatement.h"
#include "toolkit/Errors.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

QList<SqlScript::Statement> SqlScript::split(const QString &script)
{
    static const QRegularExpression setTerm(QStringLiteral("^\\s*SET\\s+TERM\\s+(\\S+)\\s*(\\S+)?\\s*$"),
                                            QRegularExpression::CaseInsensitiveOption);
    QList<Statement> out;
    QString term = QStringLiteral(";");
    QString current;
    int startLine = 0;
    int line = 1;
    const int n = int(script.size());
    int i = 0;
    auto flush = [&] {
        const QString text = current.trimmed();
        if (!text.isEmpty()) {
            // A "SET TERM" statement changes the terminator and runs nothing.
            const auto m = setTerm.match(text);
            if (m.hasMatch())
                term = m.captured(1);
            else
                out.append({text, startLine});
        }
        current.clear();
        startLine = 0;
    };
    while (i < n) {
        const QChar c = script.at(i);
        if (startLine == 0 && !c.isSpace())
            startLine = line;
        if (c == QLatin1Char('\n'))
            ++line;
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            int j = i + 1;
            while (j < n) {
                if (script.at(j) == QLatin1Char('\n'))
                    ++line;
                if (script.at(j) == c) {
                    if (j + 1 < n && script.at(j + 1) == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            current += QStringView(script).mid(i, j + 1 - i);
            i = j + 1;
        } else if (c == QLatin1Char('-') && i + 1 < n && script.at(i + 1) == QLatin1Char('-')) {
            if (startLine == line && current.trimmed().isEmpty())
                startLine = 0;
            while (i < n && script.at(i) != QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('/') && i + 1 < n && script.at(i + 1) == QLatin1Char('*')) {
            if (current.trimmed().isEmpty())
                startLine = 0;
            const int end = int(script.indexOf(QLatin1String("*/"), i + 2));
            const int stop = end < 0 ? n : end + 2;
            line += int(QStringView(script).mid(i, stop - i).count(QLatin1Char('\n')));
            i = stop;
        } else if (QStringView(script).mid(i).startsWith(term)) {
            i += int(term.size());
            flush();
        } else {
            current += c;
            ++i;
        }
        // "SET TERM" lines end with the old terminator: handled by flush.
    }
    flush();
    return out;
}

int SqlScript::run(const QSqlDatabase &db, const QString &script, const QString &scriptName)
{
    const QList<Statement> statements = split(script);
    for (const Statement &s : statements) {
        QSqlQuery q(db);
        if (!q.exec(s.text))
            throw EHostError(QStringLiteral("%1, linha %2: %3")
                                 .arg(scriptName.isEmpty() ? QStringLiteral("script") : scriptName)
                                 .arg(s.line)
                                 .arg(SqlStatement::errorText(q.lastError())));
    }
    return int(statements.size());
}
