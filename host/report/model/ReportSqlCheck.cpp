#include "ReportSqlCheck.h"

#include <QSet>
#include <QStringList>

namespace {

struct Word {
    QString text; // upper case; ";" for a semicolon
    int offset = 0;
};

bool isWordChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$'); }

// Skips a quoted text (a doubled quote stays inside) or a comment at i;
// false when there is none there.
bool skipQuotedOrComment(const QString &sql, int &i)
{
    const int n = int(sql.size());
    const QChar c = sql[i];
    if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('`')) {
        for (++i; i < n; ++i) {
            if (sql[i] != c)
                continue;
            if (i + 1 < n && sql[i + 1] == c) {
                ++i;
                continue;
            }
            break;
        }
        ++i;
        return true;
    }
    if (c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
        while (i < n && sql[i] != QLatin1Char('\n'))
            ++i;
        return true;
    }
    if (c == QLatin1Char('/') && i + 1 < n && sql[i + 1] == QLatin1Char('*')) {
        const int end = int(sql.indexOf(QLatin1String("*/"), i + 2));
        i = end < 0 ? n : end + 2;
        return true;
    }
    return false;
}

// The words and semicolons of a statement, outside quotes and comments.
QList<Word> words(const QString &sql)
{
    QList<Word> out;
    const int n = int(sql.size());
    int i = 0;
    while (i < n) {
        if (skipQuotedOrComment(sql, i))
            continue;
        const QChar c = sql[i];
        if (c == QLatin1Char(';')) {
            out.append({QStringLiteral(";"), i++});
        } else if (c.isLetter() || c == QLatin1Char('_')) {
            const int start = i;
            while (i < n && isWordChar(sql[i]))
                ++i;
            // A parameter (:NAME) or a cast (::TYPE) is not a word of the statement.
            if (start == 0 || sql[start - 1] != QLatin1Char(':'))
                out.append({sql.mid(start, i - start).toUpper(), start});
        } else {
            ++i;
        }
    }
    return out;
}

const QSet<QString> &forbidden()
{
    static const QSet<QString> words = {
        QStringLiteral("INSERT"),   QStringLiteral("UPDATE"),   QStringLiteral("DELETE"),  QStringLiteral("MERGE"),
        QStringLiteral("UPSERT"),   QStringLiteral("CREATE"),   QStringLiteral("DROP"),    QStringLiteral("ALTER"),
        QStringLiteral("TRUNCATE"), QStringLiteral("ATTACH"),   QStringLiteral("DETACH"),  QStringLiteral("PRAGMA"),
        QStringLiteral("VACUUM"),   QStringLiteral("REINDEX"),  QStringLiteral("EXECUTE"), QStringLiteral("EXEC"),
        QStringLiteral("CALL"),     QStringLiteral("GRANT"),    QStringLiteral("REVOKE"),  QStringLiteral("COMMIT"),
        QStringLiteral("ROLLBACK"), QStringLiteral("SAVEPOINT"), QStringLiteral("COPY"),   QStringLiteral("LOCK"),
        QStringLiteral("GEN_ID"),   QStringLiteral("NEXTVAL"),  QStringLiteral("SETVAL"),  QStringLiteral("RECREATE"),
        QStringLiteral("INTO"),
    };
    return words;
}

} // namespace

ReportSqlCheck::Fault ReportSqlCheck::check(const QString &sql)
{
    const QList<Word> all = words(sql);
    if (all.isEmpty())
        return {0, QStringLiteral("o texto não tem consulta")};
    const Word &first = all.first();
    if (first.text != QLatin1String("SELECT") && first.text != QLatin1String("WITH"))
        return {first.offset, QStringLiteral("o relatório só pode consultar (SELECT ou WITH), não '%1'")
                                  .arg(sql.mid(first.offset, first.text.size()))};
    for (int i = 1; i < all.size(); ++i) {
        const Word &w = all[i];
        if (w.text == QLatin1String(";")) {
            if (i + 1 < all.size())
                return {w.offset, QStringLiteral("o texto tem mais de um comando (separados por ';'); "
                                                 "um relatório executa uma consulta por texto")};
            continue;
        }
        const bool nextValueFor = w.text == QLatin1String("NEXT") && i + 2 < all.size()
            && all[i + 1].text == QLatin1String("VALUE") && all[i + 2].text == QLatin1String("FOR");
        if (forbidden().contains(w.text) || nextValueFor)
            return {w.offset, QStringLiteral("o relatório só pode consultar: '%1' altera o banco de dados")
                                  .arg(sql.mid(w.offset, w.text.size()))};
    }
    return {};
}
