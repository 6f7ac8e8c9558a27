#include "LookupSql.h"
#include "engines/SqlDialect.h"

#include <QRegularExpression>

namespace {

bool wordStart(QChar c) { return c.isLetter() || c == QLatin1Char('_'); }
bool wordPart(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$'); }

// Index just past a quoted text or comment starting at i, or i when none does.
int skipQuoted(const QString &t, int i)
{
    const int n = int(t.size());
    const QChar c = t.at(i);
    if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
        int j = i + 1;
        while (j < n) {
            if (t.at(j) == c) {
                if (j + 1 < n && t.at(j + 1) == c) {
                    j += 2;
                    continue;
                }
                return j + 1;
            }
            ++j;
        }
        return n;
    }
    if (c == QLatin1Char('-') && i + 1 < n && t.at(i + 1) == QLatin1Char('-')) {
        const int end = int(t.indexOf(QLatin1Char('\n'), i));
        return end < 0 ? n : end;
    }
    if (c == QLatin1Char('/') && i + 1 < n && t.at(i + 1) == QLatin1Char('*')) {
        const int end = int(t.indexOf(QLatin1String("*/"), i + 2));
        return end < 0 ? n : end + 2;
    }
    return i;
}

// Where the trailing top-level ORDER BY starts and its items start; -1 when
// the statement has none, or has clauses after it that need the order
// (a row limit, a lock).
void findOrder(const QString &t, int *orderAt, int *itemsAt)
{
    static const QStringList tied = {"LIMIT", "OFFSET", "FETCH", "ROWS", "FOR", "PLAN"};
    *orderAt = *itemsAt = -1;
    int depth = 0, lastWordAt = -1;
    QString lastWord;
    const int n = int(t.size());
    for (int i = 0; i < n;) {
        const int skipped = skipQuoted(t, i);
        if (skipped != i) {
            i = skipped;
            continue;
        }
        const QChar c = t.at(i);
        if (!wordStart(c)) {
            depth += c == QLatin1Char('(') ? 1 : c == QLatin1Char(')') ? -1 : 0;
            ++i;
            continue;
        }
        int j = i;
        while (j < n && wordPart(t.at(j)))
            ++j;
        const QString word = t.mid(i, j - i).toUpper();
        if (depth == 0 && word == QLatin1String("BY") && lastWord == QLatin1String("ORDER")) {
            *orderAt = lastWordAt;
            *itemsAt = j;
        } else if (depth == 0 && *orderAt >= 0 && tied.contains(word)) {
            *orderAt = *itemsAt = -1;
            return;
        }
        lastWord = word;
        lastWordAt = i;
        i = j;
    }
}

QStringList splitItems(const QString &t)
{
    QStringList out;
    int depth = 0, start = 0;
    const int n = int(t.size());
    for (int i = 0; i < n;) {
        const int skipped = skipQuoted(t, i);
        if (skipped != i) {
            i = skipped;
            continue;
        }
        const QChar c = t.at(i);
        depth += c == QLatin1Char('(') ? 1 : c == QLatin1Char(')') ? -1 : 0;
        if (c == QLatin1Char(',') && depth == 0) {
            out << t.mid(start, i - start).trimmed();
            start = i + 1;
        }
        ++i;
    }
    out << t.mid(start).trimmed();
    return out;
}

} // namespace

LookupSql::LookupSql(const QString &text, const SqlDialect &dialect) : m_text(text), m_body(text), m_dialect(&dialect)
{
    int orderAt = -1, itemsAt = -1;
    findOrder(text, &orderAt, &itemsAt);
    if (orderAt < 0)
        return;
    m_body = text.left(orderAt);
    while (!m_body.isEmpty() && m_body.back().isSpace())
        m_body.chop(1);
    m_order = splitItems(text.mid(itemsAt));
}

QString LookupSql::outerOrder(const QStringList &columns) const
{
    static const QRegularExpression item(
        QStringLiteral("^(?:(?:[A-Za-z_][A-Za-z0-9_$]*)\\.)?\"?([A-Za-z_][A-Za-z0-9_$]*)\"?"
                       "((?:\\s+(?:ASC|DESC|ASCENDING|DESCENDING))?(?:\\s+NULLS\\s+(?:FIRST|LAST))?)$"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression position(QStringLiteral("^([0-9]+)(\\s+.*)?$"));
    QStringList out;
    for (const QString &i : m_order) {
        const auto byPosition = position.match(i);
        if (byPosition.hasMatch()) {
            out << i;
            continue;
        }
        const auto m = item.match(i);
        QString name;
        if (m.hasMatch())
            for (const QString &c : columns)
                if (c.compare(m.captured(1), Qt::CaseInsensitive) == 0)
                    name = c;
        if (name.isEmpty())
            return QString();
        out << QStringLiteral("Q__.") + name + m.captured(2);
    }
    return out.join(QLatin1String(", "));
}

QString LookupSql::orderColumn(const QStringList &columns) const
{
    static const QRegularExpression ascending(QStringLiteral("^Q__\\.([A-Za-z_][A-Za-z0-9_$]*)(\\s+ASC(ENDING)?)?$"),
                                              QRegularExpression::CaseInsensitiveOption);
    if (m_order.size() != 1)
        return QString();
    const auto m = ascending.match(outerOrder(columns));
    return m.hasMatch() ? m.captured(1) : QString();
}

QString LookupSql::firstRowsMatching(const QString &where, const QString &column, const QString &rows) const
{
    const QString first = m_dialect->firstRows(QStringLiteral("SELECT * FROM (\n%1\n) P__ ORDER BY P__.%2").arg(m_body, column), rows);
    QString s = QStringLiteral("SELECT COUNT(*) FROM (%1) Q__").arg(first);
    if (!where.isEmpty())
        s += QStringLiteral("\nWHERE ") + where;
    return s;
}

QString LookupSql::sortedOrdered(const QString &where, const QString &column) const
{
    // COALESCE of the column with itself: the same value, type and collation.
    return unordered(where) + QStringLiteral("\nORDER BY COALESCE(Q__.%1, Q__.%1)").arg(column);
}

QString LookupSql::sortedThroughIndex(const QString &where, const QString &column, const QString &index,
                                      const QString &key, const QString &match) const
{
    // COALESCE keeps the index's key from being looked up per row of the list.
    QString s = QStringLiteral("SELECT Q__.* FROM %1 P__ JOIN (\n%2\n) Q__ ON Q__.%3 = COALESCE(P__.CHAVE, P__.CHAVE)"
                               "\nWHERE P__.TEXTO LIKE :%4 ESCAPE '\\'")
                    .arg(index, m_body, key, match);
    if (!where.isEmpty())
        s += QStringLiteral(" AND ") + where;
    return s + QStringLiteral("\nORDER BY COALESCE(Q__.%1, Q__.%1)").arg(column);
}

QString LookupSql::inner(bool orderInside) const
{
    if (!orderInside || m_order.isEmpty())
        return m_body;
    return m_dialect->orderedInside(m_body, m_order, m_text);
}

QString LookupSql::unordered(const QString &where) const
{
    QString s = QStringLiteral("SELECT * FROM (\n") + m_body + QStringLiteral("\n) Q__");
    if (!where.isEmpty())
        s += QStringLiteral("\nWHERE ") + where;
    return s;
}

QString LookupSql::ordered(const QString &where, const QStringList &columns) const
{
    const QString outside = outerOrder(columns);
    QString s = QStringLiteral("SELECT * FROM (\n") + inner(outside.isEmpty()) + QStringLiteral("\n) Q__");
    if (!where.isEmpty())
        s += QStringLiteral("\nWHERE ") + where;
    if (!outside.isEmpty())
        s += QStringLiteral("\nORDER BY ") + outside;
    return s;
}

QString LookupSql::page(const QString &where, const QStringList &columns, const QString &limit,
                        const QString &offset) const
{
    return m_dialect->page(ordered(where, columns), !outerOrder(columns).isEmpty(), limit, offset);
}
