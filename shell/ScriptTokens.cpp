#include "ScriptTokens.h"

namespace {
// The escape that starts at line[i] (just after the backslash); advances i.
bool unescape(const QString &line, int &i, QString &word, QString *error)
{
    const QChar c = line[i++];
    switch (c.unicode()) {
    case 't': word += QLatin1Char('\t'); return true;
    case 'n': word += QLatin1Char('\n'); return true;
    case 'r': word += QLatin1Char('\r'); return true;
    case 'b': word += QLatin1Char('\b'); return true;
    case 'e': word += QChar(0x1b); return true;
    case 'u': {
        bool ok = false;
        const uint code = line.mid(i, 4).toUInt(&ok, 16);
        if (!ok || line.mid(i, 4).size() != 4) {
            if (error)
                *error = QStringLiteral("\\u takes four hexadecimal digits");
            return false;
        }
        i += 4;
        word += QChar(char16_t(code));
        return true;
    }
    default: word += c; return true;
    }
}

bool quoted(const QString &line, int &i, QString &word, QString *error)
{
    const int n = int(line.size());
    ++i;
    while (i < n) {
        const QChar c = line[i++];
        if (c == QLatin1Char('\\') && i < n) {
            if (!unescape(line, i, word, error))
                return false;
        } else if (c == QLatin1Char('"')) {
            return true;
        } else {
            word += c;
        }
    }
    if (error)
        *error = QStringLiteral("unterminated quote");
    return false;
}
}

namespace ScriptTokens {

bool split(const QString &line, QStringList &words, QString *error)
{
    words.clear();
    int i = 0;
    const int n = int(line.size());
    while (i < n) {
        while (i < n && line[i].isSpace())
            ++i;
        if (i >= n)
            break;
        QString word;
        if (line[i] == QLatin1Char('"')) {
            if (!quoted(line, i, word, error))
                return false;
        } else {
            while (i < n && !line[i].isSpace())
                word += line[i++];
        }
        words << word;
    }
    return true;
}
}
