#include "LookupSql.h"
#include "TextFold.h"

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

QString escapedLike(const QString &text, bool prefix, bool brackets)
{
    QString escaped;
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_')
            || (brackets && c == QLatin1Char('[')))
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    return (prefix ? QString() : QStringLiteral("%")) + escaped + QStringLiteral("%");
}

// TRANSLATE's two lists: each lower-case letter that TextFold changes, and
// what it becomes.
const QPair<QString, QString> &accentLists()
{
    static const QPair<QString, QString> lists = [] {
        QPair<QString, QString> l;
        for (char16_t c = 0xC0; c < 0x250; ++c) {
            const QChar ch(c);
            if (ch.isLetter() && ch.toLower() == ch && TextFold::foldChar(c) != c) {
                l.first += ch;
                l.second += QChar(TextFold::foldChar(c));
            }
        }
        return l;
    }();
    return lists;
}

} // namespace

LookupSql::LookupSql(const QString &text, SqlEngine engine) : m_text(text), m_body(text), m_engine(engine)
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
    QString s = QStringLiteral("SELECT COUNT(*) FROM (SELECT FIRST (:%1) * FROM (\n%2\n) P__ ORDER BY P__.%3) Q__")
                    .arg(rows, m_body, column);
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
    if (m_engine == SqlEngine::MsSql)
        return m_body + QStringLiteral("\nORDER BY ") + m_order.join(QLatin1String(", ")) + QStringLiteral(" OFFSET 0 ROWS");
    return m_text;
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
    QString s = ordered(where, columns);
    switch (m_engine) {
    case SqlEngine::Firebird:
        return s.replace(0, 6, QStringLiteral("SELECT FIRST (:%1) SKIP (:%2)").arg(limit, offset));
    case SqlEngine::Oracle:
        return s + QStringLiteral("\nOFFSET :%1 ROWS FETCH NEXT :%2 ROWS ONLY").arg(offset, limit);
    case SqlEngine::MsSql:
        // OFFSET needs an ORDER BY of the outer statement.
        if (outerOrder(columns).isEmpty())
            s += QStringLiteral("\nORDER BY (SELECT NULL)");
        return s + QStringLiteral(" OFFSET :%1 ROWS FETCH NEXT :%2 ROWS ONLY").arg(offset, limit);
    default:
        return s + QStringLiteral("\nLIMIT :%1 OFFSET :%2").arg(limit, offset);
    }
}

QString LookupSql::filterTerm(const QString &column, const QString &param, bool prefix, SqlEngine engine,
                              bool castToText)
{
    switch (engine) {
    case SqlEngine::SQLite:
        return QStringLiteral("FOLD_INSTR(Q__.%1, :%2) %3").arg(column, param, prefix ? QLatin1String("= 1") : QLatin1String("> 0"));
    case SqlEngine::Firebird:
        // CONTAINING and STARTING WITH follow the collation and take the
        // text as it is; LIKE under WIN_PTBR is twice as slow.
        return QStringLiteral("%1 COLLATE WIN_PTBR %2 :%3")
            .arg(castToText ? QStringLiteral("CAST(Q__.%1 AS VARCHAR(8191) CHARACTER SET WIN1252)").arg(column)
                            : QStringLiteral("Q__.") + column,
                 prefix ? QLatin1String("STARTING WITH") : QLatin1String("CONTAINING"), param);
    case SqlEngine::PostgreSql:
        // The form of the schema's trigram indexes (FOLD of the text), so
        // that they serve.
        return QStringLiteral("FOLD(CAST(Q__.%1 AS TEXT)) LIKE FOLD(:%2) ESCAPE '\\'").arg(column, param);
    case SqlEngine::MsSql:
        return QStringLiteral("CAST(Q__.%1 AS NVARCHAR(4000)) COLLATE Latin1_General_CI_AI LIKE :%2 ESCAPE '\\'")
            .arg(column, param);
    case SqlEngine::Oracle:
        return QStringLiteral("TRANSLATE(LOWER(TO_CHAR(Q__.%1)), '%2', '%3') LIKE :%4 ESCAPE '\\'")
            .arg(column, accentLists().first, accentLists().second, param);
    default:
        return QStringLiteral("TRANSLATE(LOWER(CAST(Q__.%1 AS VARCHAR(4000))), '%2', '%3') LIKE :%4 ESCAPE '\\'")
            .arg(column, accentLists().first, accentLists().second, param);
    }
}

QString LookupSql::filterValue(const QString &text, bool prefix, SqlEngine engine)
{
    switch (engine) {
    case SqlEngine::SQLite:
    case SqlEngine::Firebird:
        return text;
    case SqlEngine::PostgreSql:
        // FOLD on the server folds it as it folds the column.
        return escapedLike(text, prefix, false);
    default:
        return escapedLike(TextFold::fold(text), prefix, engine == SqlEngine::MsSql);
    }
}
