#include "NamedSql.h"

namespace {

bool identStart(QChar c) { return c.isLetter() || c == QLatin1Char('_'); }
bool identPart(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$'); }

} // namespace

NamedSql NamedSql::parse(const QString &text)
{
    NamedSql r;
    r.m_text = text;
    const int n = int(text.size());
    int i = 0;
    while (i < n) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // Quoted text ends at the next lone quote; a doubled quote stays inside.
            ++i;
            while (i < n) {
                if (text.at(i) == c) {
                    if (i + 1 < n && text.at(i + 1) == c) {
                        i += 2;
                        continue;
                    }
                    break;
                }
                ++i;
            }
            ++i;
        } else if (c == QLatin1Char('-') && i + 1 < n && text.at(i + 1) == QLatin1Char('-')) {
            while (i < n && text.at(i) != QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('/') && i + 1 < n && text.at(i + 1) == QLatin1Char('*')) {
            const int end = int(text.indexOf(QLatin1String("*/"), i + 2));
            i = end < 0 ? n : end + 2;
        } else if (c == QLatin1Char(':')) {
            if (i + 1 < n && text.at(i + 1) == QLatin1Char(':')) {
                i += 2;
            } else if (i + 1 < n && identStart(text.at(i + 1))) {
                int j = i + 1;
                while (j < n && identPart(text.at(j)))
                    ++j;
                r.m_marks.append({i, j - i, text.mid(i + 1, j - i - 1)});
                i = j;
            } else {
                ++i;
            }
        } else if (identStart(c)) {
            int j = i;
            while (j < n && identPart(text.at(j)))
                ++j;
            i = j;
        } else {
            ++i;
        }
    }
    return r;
}

QStringList NamedSql::names() const
{
    QStringList out;
    for (const Mark &m : m_marks)
        if (!m.name.isEmpty())
            out << m.name;
    return out;
}

QStringList NamedSql::distinctNames() const
{
    QStringList out;
    for (const Mark &m : m_marks)
        if (!m.name.isEmpty() && !out.contains(m.name, Qt::CaseInsensitive))
            out << m.name;
    return out;
}

QString NamedSql::positional(const std::function<QString(const QString &)> &markerFor) const
{
    QString out;
    out.reserve(m_text.size() + m_marks.size() * 24);
    int pos = 0;
    for (const Mark &m : m_marks) {
        out += QStringView(m_text).mid(pos, m.offset - pos);
        out += markerFor(m.name);
        pos = m.offset + m.length;
    }
    out += QStringView(m_text).mid(pos);
    return out;
}
