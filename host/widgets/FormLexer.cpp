#include "FormLexer.h"
#include "core/CodePage1252.h"


FormDefinitionError::FormDefinitionError(const QString &file, int line, int column, const QString &message)
    : DefinitionError(QStringLiteral("%1:%2:%3: %4").arg(file).arg(line).arg(column).arg(message),
                      file, line, column, message)
{
}

FormLexer::FormLexer(const QByteArray &source, const QString &file) : m_src(source), m_file(file) {}

void FormLexer::fail(int line, int column, const QString &message) const
{
    throw FormDefinitionError(m_file, line, column, message);
}

QChar FormLexer::peekChar(int ahead) const
{
    const int p = m_pos + ahead;
    return p < m_src.size() ? QChar(uchar(m_src[p])) : QChar();
}

void FormLexer::advance()
{
    if (m_pos >= m_src.size())
        return;
    if (m_src[m_pos] == '\n') {
        ++m_line;
        m_col = 1;
    } else {
        ++m_col;
    }
    ++m_pos;
}

void FormLexer::skipBlanks()
{
    for (;;) {
        const QChar c = peekChar();
        if (c.isNull())
            return;
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            advance();
        } else if (c == QLatin1Char('/') && peekChar(1) == QLatin1Char('/')) {
            while (!peekChar().isNull() && peekChar() != QLatin1Char('\n'))
                advance();
        } else {
            return;
        }
    }
}

FormToken FormLexer::readString()
{
    FormToken t;
    t.kind = FormToken::String;
    t.line = m_line;
    t.column = m_col;
    for (;;) {
        const QChar c = peekChar();
        if (c == QLatin1Char('\'')) {
            const int sl = m_line, sc = m_col;
            advance();
            for (;;) {
                const QChar d = peekChar();
                if (d.isNull() || d == QLatin1Char('\n') || d == QLatin1Char('\r'))
                    fail(sl, sc, QStringLiteral("unterminated string"));
                advance();
                if (d == QLatin1Char('\'')) {
                    if (peekChar() == QLatin1Char('\'')) {
                        t.text += QLatin1Char('\'');
                        advance();
                        continue;
                    }
                    break;
                }
                t.text += CodePage1252::decode(uchar(d.unicode()));
            }
        } else if (c == QLatin1Char('#')) {
            const int sl = m_line, sc = m_col;
            advance();
            QString digits;
            while (peekChar().isDigit()) {
                digits += peekChar();
                advance();
            }
            if (digits.isEmpty())
                fail(sl, sc, QStringLiteral("character code expected after #"));
            const uint code = digits.toUInt();
            // Codes below 256 are code-page bytes; larger ones are Unicode.
            t.text += code < 256 ? CodePage1252::decode(uchar(code)) : QChar(char16_t(code));
        } else {
            // A + at the end of a line continues the string on the next one.
            const int savePos = m_pos, saveLine = m_line, saveCol = m_col;
            skipBlanks();
            if (peekChar() == QLatin1Char('+')) {
                advance();
                skipBlanks();
                if (peekChar() == QLatin1Char('\'') || peekChar() == QLatin1Char('#'))
                    continue;
            }
            m_pos = savePos, m_line = saveLine, m_col = saveCol;
            return t;
        }
    }
}

FormToken FormLexer::next()
{
    skipBlanks();
    FormToken t;
    t.line = m_line;
    t.column = m_col;
    const QChar c = peekChar();
    if (c.isNull())
        return t;
    if (c == QLatin1Char('\'') || c == QLatin1Char('#'))
        return readString();
    if (c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char('$')) {
        t.kind = FormToken::Ident;
        while (!peekChar().isNull() && (peekChar().isLetterOrNumber() || peekChar() == QLatin1Char('_')
                                        || peekChar() == QLatin1Char('.') || peekChar() == QLatin1Char('$'))) {
            t.text += peekChar();
            advance();
        }
        return t;
    }
    if (c.isDigit() || ((c == QLatin1Char('-') || c == QLatin1Char('+')) && peekChar(1).isDigit())) {
        t.kind = FormToken::Integer;
        t.text += c;
        advance();
        while (peekChar().isDigit() || (peekChar() == QLatin1Char('.') && peekChar(1).isDigit())
               || peekChar() == QLatin1Char('e') || peekChar() == QLatin1Char('E')) {
            if (!peekChar().isDigit())
                t.kind = FormToken::Float;
            t.text += peekChar();
            advance();
        }
        return t;
    }
    if (c == QLatin1Char('{'))
        return readBinary(t);
    if (QStringLiteral("=:[](),<>").contains(c)) {
        t.kind = FormToken::Symbol;
        t.text = c;
        advance();
        return t;
    }
    fail(m_line, m_col, QStringLiteral("unexpected character '%1'").arg(c));
}

FormToken FormLexer::readBinary(FormToken &t)
{
    t.kind = FormToken::Binary;
    advance();
    QByteArray hex;
    for (;;) {
        const QChar d = peekChar();
        if (d.isNull())
            fail(t.line, t.column, QStringLiteral("unterminated binary data"));
        advance();
        if (d == QLatin1Char('}'))
            break;
        if (d.isSpace())
            continue;
        if (!isxdigit(d.toLatin1()))
            fail(m_line, m_col - 1, QStringLiteral("hexadecimal digit expected"));
        hex += d.toLatin1();
    }
    t.bytes = QByteArray::fromHex(hex);
    return t;
}
