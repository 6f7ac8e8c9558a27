#include "ForeignDialects.h"
#include "core/Errors.h"
#include "data/TextFold.h"
#include "data/Utf8Search.h"
#include "data/engines/sqlite/SqliteEngine.h"

#include <QRegularExpression>
#include <QSqlQuery>
#include <map>
#include <memory>
#include <sqlite3.h>

namespace {

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

void nvl(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    sqlite3_result_value(ctx, sqlite3_value_type(argv[0]) == SQLITE_NULL ? argv[1] : argv[0]);
}

// CHARINDEX(part, text): 1-based position, 0 when absent.
void charindex(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto *hay = reinterpret_cast<const char *>(sqlite3_value_text(argv[1]));
    const int hayBytes = sqlite3_value_bytes(argv[1]);
    const auto *needle = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
    sqlite3_result_int64(ctx, Utf8Search::position(hay, hayBytes, needle, sqlite3_value_bytes(argv[0])));
}

// LEN: characters without the trailing blanks.
void len(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    QString s = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_value_text(argv[0])), sqlite3_value_bytes(argv[0]));
    while (!s.isEmpty() && s.back() == QLatin1Char(' '))
        s.chop(1);
    sqlite3_result_int64(ctx, s.size());
}

void add(sqlite3 *db, const char *name, int args, void (*fn)(sqlite3_context *, int, sqlite3_value **))
{
    if (sqlite3_create_function_v2(db, name, args, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, fn, nullptr, nullptr,
                                   nullptr)
        != SQLITE_OK)
        throw EHostError(QStringLiteral("stand-in %1: %2").arg(QLatin1String(name), QString::fromUtf8(sqlite3_errmsg(db))));
}

} // namespace

QString OracleTexts::page(const QString &ordered, bool, const QString &limit, const QString &offset) const
{
    return ordered + QStringLiteral("\nOFFSET :%1 ROWS FETCH NEXT :%2 ROWS ONLY").arg(offset, limit);
}

QString OracleTexts::firstRows(const QString &ordered, const QString &rows) const
{
    return ordered + QStringLiteral("\nFETCH FIRST :%1 ROWS ONLY").arg(rows);
}

QString OracleTexts::filterTerm(const QString &column, const QString &param, bool, bool) const
{
    return QStringLiteral("TRANSLATE(LOWER(TO_CHAR(Q__.%1)), '%2', '%3') LIKE :%4 ESCAPE '\\'")
        .arg(column, accentLists().first, accentLists().second, param);
}

QString OracleTexts::filterValue(const QString &text, bool prefix) const
{
    return likePattern(TextFold::fold(text), prefix);
}

void OracleTexts::checkText(const QString &name, const QString &text, Markers) const
{
    if (text.toUtf8().size() > kMaxTextBytes)
        throw EHostError(textTooLong(name, int(text.size()), kMaxTextBytes, true));
}

QString MsSqlTexts::marker(const TParam *param, Markers) const
{
    if (param && !param->IsNull() && param->Value().typeId() == QMetaType::QString
        && param->Value().toString().size() > kShortText)
        return QStringLiteral("CAST(? AS NVARCHAR(MAX))");
    return QStringLiteral("?");
}

QString MsSqlTexts::orderedInside(const QString &body, const QStringList &items, const QString &) const
{
    // SQL Server takes an ORDER BY in a derived table only with OFFSET.
    return body + QStringLiteral("\nORDER BY ") + items.join(QLatin1String(", ")) + QStringLiteral(" OFFSET 0 ROWS");
}

QString MsSqlTexts::page(const QString &ordered, bool outerOrder, const QString &limit, const QString &offset) const
{
    // OFFSET needs an ORDER BY of the outer statement.
    const QString s = outerOrder ? ordered : ordered + QStringLiteral("\nORDER BY (SELECT NULL)");
    return s + QStringLiteral(" OFFSET :%1 ROWS FETCH NEXT :%2 ROWS ONLY").arg(offset, limit);
}

QString MsSqlTexts::filterTerm(const QString &column, const QString &param, bool, bool) const
{
    return QStringLiteral("CAST(Q__.%1 AS NVARCHAR(4000)) COLLATE Latin1_General_CI_AI LIKE :%2 ESCAPE '\\'")
        .arg(column, param);
}

QString MsSqlTexts::filterValue(const QString &text, bool prefix) const
{
    return likePattern(TextFold::fold(text), prefix, true);
}

QString TextsOn::finalText(const QString &text) const
{
    if (m_engine.name() != QLatin1String("SQLite"))
        return m_engine.finalText(text);
    static const QRegularExpression call(QStringLiteral("\\bISNULL\\s*\\("), QRegularExpression::CaseInsensitiveOption);
    QString out = text;
    return out.replace(call, QStringLiteral("\"ISNULL\"("));
}

void TextsOn::attach(const QSqlDatabase &qdb) const
{
    if (m_engine.name() != QLatin1String("SQLite"))
        return;
    {
        // Once per connection: SQLite will not replace a function while a
        // statement of the connection is open.
        QSqlQuery q(qdb);
        if (q.exec(QStringLiteral("SELECT 1 FROM pragma_function_list WHERE name = 'charindex'")) && q.next())
            return;
    }
    sqlite3 *db = SqliteEngine::handle(qdb);
    add(db, "NVL", 2, nvl);
    add(db, "ISNULL", 2, nvl);
    add(db, "CHARINDEX", 2, charindex);
    add(db, "LEN", 1, len);
}

namespace ForeignDialects {

void runOn(const QSqlDatabase &db, const QString &property)
{
    SqlDialect::use(db.connectionName(), nullptr);
    const SqlDialect &own = SqlDialect::of(db);
    if (own.statementProperty() == property)
        return;
    // Made once per engine and property, kept for the process.
    static std::map<std::pair<const SqlDialect *, QString>, std::unique_ptr<TextsOn>> made;
    auto &dialect = made[{&own, property}];
    if (!dialect)
        dialect = std::make_unique<TextsOn>(own, property);
    dialect->attach(db);
    SqlDialect::use(db.connectionName(), dialect.get());
}

} // namespace ForeignDialects
