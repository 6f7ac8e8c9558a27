#include "PostgresStatements.h"

#include <QSet>
#include <QStringList>

namespace {

bool isWordStart(QChar c) { return c.isLetter() || c == QLatin1Char('_'); }
bool isWordPart(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$'); }

// Index past the quoted text whose opening quote is at i: a doubled quote
// stays inside; with backslashes (E'...'), a backslash keeps the next
// character inside.
int pastQuoted(const QString &t, int i, bool backslashes)
{
    const int n = int(t.size());
    const QChar q = t.at(i);
    for (int j = i + 1; j < n; ++j) {
        if (backslashes && t.at(j) == QLatin1Char('\\')) {
            ++j;
        } else if (t.at(j) == q) {
            if (j + 1 < n && t.at(j + 1) == q) {
                ++j;
                continue;
            }
            return j + 1;
        }
    }
    return n;
}

// Index past a dollar-quoted text starting at i ($$...$$ or $tag$...$tag$),
// i when there is none there.
int pastDollarQuoted(const QString &t, int i)
{
    const int n = int(t.size());
    int j = i + 1;
    while (j < n && (t.at(j).isLetterOrNumber() || t.at(j) == QLatin1Char('_')))
        ++j;
    if (j >= n || t.at(j) != QLatin1Char('$') || (j > i + 1 && t.at(i + 1).isDigit()))
        return i; // $1, a parameter, or a lone $
    const QString tag = t.mid(i, j - i + 1);
    const int end = int(t.indexOf(tag, j + 1));
    return end < 0 ? n : end + int(tag.size());
}

// Index past a comment at i (nested /* */ as the server nests them), i when
// there is none there.
int pastComment(const QString &t, int i)
{
    const int n = int(t.size());
    if (t.mid(i, 2) == QLatin1String("--")) {
        const int end = int(t.indexOf(QLatin1Char('\n'), i));
        return end < 0 ? n : end;
    }
    if (t.mid(i, 2) != QLatin1String("/*"))
        return i;
    int depth = 0, j = i;
    while (j < n) {
        if (t.mid(j, 2) == QLatin1String("/*")) {
            ++depth;
            j += 2;
        } else if (t.mid(j, 2) == QLatin1String("*/")) {
            j += 2;
            if (--depth == 0)
                return j;
        } else {
            ++j;
        }
    }
    return n;
}

// Index past what is no word of the statement at i (a quoted text or
// identifier, a comment), i when a word or a sign starts there.
int pastSkipped(const QString &t, int i)
{
    const QChar c = t.at(i);
    if (c == QLatin1Char('"'))
        return pastQuoted(t, i, false);
    if (c == QLatin1Char('\''))
        return pastQuoted(t, i, i > 0 && (t.at(i - 1) == QLatin1Char('E') || t.at(i - 1) == QLatin1Char('e')));
    if (c == QLatin1Char('$'))
        return pastDollarQuoted(t, i);
    return pastComment(t, i);
}

// The statement's words in upper case, ";" for a semicolon.
QStringList wordsOf(const QString &t)
{
    QStringList out;
    const int n = int(t.size());
    for (int i = 0; i < n;) {
        const int skipped = pastSkipped(t, i);
        if (skipped != i) {
            i = skipped;
            continue;
        }
        const QChar c = t.at(i);
        if (!isWordStart(c)) {
            if (c == QLatin1Char(';'))
                out << QStringLiteral(";");
            ++i;
            continue;
        }
        int j = i;
        while (j < n && isWordPart(t.at(j)))
            ++j;
        // E'...': the E belongs to the quoted text that follows.
        const bool escapePrefix = j == i + 1 && j < n && t.at(j) == QLatin1Char('\'');
        // :NAME is a parameter, ::TYPE a cast.
        if (!escapePrefix && (i == 0 || t.at(i - 1) != QLatin1Char(':')))
            out << t.mid(i, j - i).toUpper();
        i = j;
    }
    return out;
}

} // namespace

namespace PostgresStatements {

bool onlyReads(const QString &sql)
{
    static const QSet<QString> writes = {
        QStringLiteral("INSERT"), QStringLiteral("UPDATE"),  QStringLiteral("DELETE"), QStringLiteral("MERGE"),
        QStringLiteral("INTO"),   QStringLiteral("NEXTVAL"), QStringLiteral("SETVAL"),
    };
    const QStringList words = wordsOf(sql);
    if (words.isEmpty() || (words.first() != QLatin1String("SELECT") && words.first() != QLatin1String("WITH")))
        return false;
    for (int i = 1; i < words.size(); ++i) {
        const QString &w = words.at(i);
        if (w == QLatin1String(";") && i + 1 < words.size())
            return false;
        if (writes.contains(w))
            return false;
        // FOR UPDATE, FOR NO KEY UPDATE, FOR SHARE, FOR KEY SHARE.
        if (w == QLatin1String("FOR") && i + 1 < words.size()
            && QStringList({"UPDATE", "SHARE", "NO", "KEY"}).contains(words.at(i + 1)))
            return false;
    }
    return true;
}

} // namespace PostgresStatements
