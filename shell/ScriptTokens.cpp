#include "ScriptTokens.h"

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
            ++i;
            bool closed = false;
            while (i < n) {
                const QChar c = line[i++];
                if (c == QLatin1Char('\\') && i < n) {
                    word += line[i++];
                } else if (c == QLatin1Char('"')) {
                    closed = true;
                    break;
                } else {
                    word += c;
                }
            }
            if (!closed) {
                if (error)
                    *error = QStringLiteral("unterminated quote");
                return false;
            }
        } else {
            while (i < n && !line[i].isSpace())
                word += line[i++];
        }
        words << word;
    }
    return true;
}
}
