#include "SqlScript.h"
#include "SqlStatement.h"
#include "core/Errors.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

namespace {
// Walks a script once, cutting it at the terminator outside quotes and comments.
class ScriptSplitter {
public:
    explicit ScriptSplitter(const QString &script) : m_script(script), m_n(int(script.size())) {}

    QList<SqlScript::Statement> run()
    {
        while (m_i < m_n)
            step();
        flush();
        return m_out;
    }

private:
    void step()
    {
        const QChar c = m_script.at(m_i);
        if (m_startLine == 0 && !c.isSpace())
            m_startLine = m_line;
        if (c == QLatin1Char('\n'))
            ++m_line;
        if (c == QLatin1Char('\'') || c == QLatin1Char('"'))
            quoted(c);
        else if (startsWith(QLatin1String("--")))
            lineComment();
        else if (startsWith(QLatin1String("/*")))
            blockComment();
        else if (QStringView(m_script).mid(m_i).startsWith(m_term)) {
            m_i += int(m_term.size());
            flush();
        } else {
            m_current += c;
            ++m_i;
        }
    }

    bool startsWith(QLatin1String s) const { return QStringView(m_script).mid(m_i).startsWith(s); }

    // A quoted text, doubled quotes inside, kept whole.
    void quoted(QChar quote)
    {
        int j = m_i + 1;
        while (j < m_n) {
            if (m_script.at(j) == QLatin1Char('\n'))
                ++m_line;
            if (m_script.at(j) == quote) {
                if (j + 1 < m_n && m_script.at(j + 1) == quote) {
                    j += 2;
                    continue;
                }
                break;
            }
            ++j;
        }
        m_current += QStringView(m_script).mid(m_i, j + 1 - m_i);
        m_i = j + 1;
    }

    void lineComment()
    {
        if (m_startLine == m_line && m_current.trimmed().isEmpty())
            m_startLine = 0;
        while (m_i < m_n && m_script.at(m_i) != QLatin1Char('\n'))
            ++m_i;
    }

    void blockComment()
    {
        if (m_current.trimmed().isEmpty())
            m_startLine = 0;
        const int end = int(m_script.indexOf(QLatin1String("*/"), m_i + 2));
        const int stop = end < 0 ? m_n : end + 2;
        m_line += int(QStringView(m_script).mid(m_i, stop - m_i).count(QLatin1Char('\n')));
        m_i = stop;
    }

    void flush()
    {
        static const QRegularExpression setTerm(QStringLiteral("^\\s*SET\\s+TERM\\s+(\\S+)\\s*(\\S+)?\\s*$"),
                                                QRegularExpression::CaseInsensitiveOption);
        const QString text = m_current.trimmed();
        if (!text.isEmpty()) {
            // A "SET TERM" statement changes the terminator and runs nothing;
            // it ends with the old terminator, so it is seen here.
            const auto m = setTerm.match(text);
            if (m.hasMatch())
                m_term = m.captured(1);
            else
                m_out.append({text, m_startLine});
        }
        m_current.clear();
        m_startLine = 0;
    }

    const QString &m_script;
    const int m_n;
    int m_i = 0;
    int m_line = 1;
    int m_startLine = 0;
    QString m_term = QStringLiteral(";");
    QString m_current;
    QList<SqlScript::Statement> m_out;
};
} // namespace

QList<SqlScript::Statement> SqlScript::split(const QString &script) { return ScriptSplitter(script).run(); }

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
