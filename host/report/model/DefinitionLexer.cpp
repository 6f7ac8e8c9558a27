#include "DefinitionLexer.h"
#include "ReportParseError.h"

#include <QRegularExpression>

DefinitionLexer::DefinitionLexer(const QString &line, int lineNo, const QString &file)
    : m_s(line), m_line(lineNo), m_file(file), m_n(int(line.size()))
{
}

bool DefinitionLexer::isIdent(const QString &s)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return re.match(s).hasMatch();
}

void DefinitionLexer::fail(int column, const QString &msg) const { throw ReportParseError(m_file, m_line, column, msg); }

bool DefinitionLexer::startsNumber() const
{
    const QChar c = m_s[m_i];
    return c.isDigit()
        || ((c == QLatin1Char('-') || c == QLatin1Char('.')) && m_i + 1 < m_n && m_s[m_i + 1].isDigit());
}

QList<ReportToken> DefinitionLexer::tokens()
{
    QList<ReportToken> out;
    while (m_i < m_n) {
        const QChar c = m_s[m_i];
        if (c.isSpace())
            ++m_i;
        else if (c == QLatin1Char('#'))
            break;
        else if (c == QLatin1Char('"'))
            out.append(string());
        else if (c == QLatin1Char('<') && m_i + 1 < m_n && m_s[m_i + 1] == QLatin1Char('<'))
            out.append(heredoc());
        else if (startsNumber())
            out.append(number());
        else if (c.isLetter() || c == QLatin1Char('_'))
            out.append(word());
        else
            fail(m_i + 1, QStringLiteral("caractere inesperado '%1'").arg(c));
    }
    return out;
}

ReportToken DefinitionLexer::string()
{
    const int start = m_i++;
    QString v;
    while (m_i < m_n) {
        const QChar d = m_s[m_i];
        if (d == QLatin1Char('"')) {
            ++m_i;
            return {ReportToken::String, v, start + 1};
        }
        if (d != QLatin1Char('\\')) {
            v += d;
            ++m_i;
            continue;
        }
        if (m_i + 1 >= m_n)
            break;
        const QChar e = m_s[m_i + 1];
        if (e == QLatin1Char('n'))
            v += QLatin1Char('\n');
        else if (e == QLatin1Char('"') || e == QLatin1Char('\\'))
            v += e;
        else
            fail(m_i + 1, QStringLiteral("sequência de escape desconhecida \\%1").arg(e));
        m_i += 2;
    }
    fail(start + 1, QStringLiteral("texto entre aspas não terminado"));
}

ReportToken DefinitionLexer::heredoc()
{
    const int start = m_i;
    m_i += 2;
    const int t0 = m_i;
    while (m_i < m_n && !m_s[m_i].isSpace() && m_s[m_i] != QLatin1Char('#'))
        ++m_i;
    const QString tag = m_s.mid(t0, m_i - t0);
    if (!isIdent(tag))
        fail(t0 + 1, QStringLiteral("marca de fim de texto inválida após <<"));
    return {ReportToken::Heredoc, tag, start + 1};
}

ReportToken DefinitionLexer::number()
{
    const int start = m_i++;
    while (m_i < m_n && (m_s[m_i].isDigit() || m_s[m_i] == QLatin1Char('.')))
        ++m_i;
    const QString num = m_s.mid(start, m_i - start);
    bool ok = false;
    num.toDouble(&ok);
    if (!ok || (m_i < m_n && !m_s[m_i].isSpace() && m_s[m_i] != QLatin1Char('#')))
        fail(start + 1, QStringLiteral("número inválido"));
    return {ReportToken::Number, num, start + 1};
}

ReportToken DefinitionLexer::word()
{
    const int start = m_i;
    while (m_i < m_n && (m_s[m_i].isLetterOrNumber() || m_s[m_i] == QLatin1Char('_') || m_s[m_i] == QLatin1Char('.')))
        ++m_i;
    return {ReportToken::Word, m_s.mid(start, m_i - start), start + 1};
}
