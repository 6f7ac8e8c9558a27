#include "ReportSqlText.h"

namespace {
bool isNameStart(QChar c) { return c.isLetter() || c == QLatin1Char('_'); }
bool isNameChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }
}

QList<ReportSqlText::Use> ReportSqlText::scan(const QString &sql)
{
    QList<Use> out;
    const int n = int(sql.size());
    int i = 0;
    while (i < n) {
        const QChar c = sql[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // A doubled quote inside stays inside.
            ++i;
            while (i < n) {
                if (sql[i] == c) {
                    if (i + 1 < n && sql[i + 1] == c) {
                        i += 2;
                        continue;
                    }
                    break;
                }
                ++i;
            }
            ++i;
        } else if (c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            while (i < n && sql[i] != QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('/') && i + 1 < n && sql[i + 1] == QLatin1Char('*')) {
            const int end = int(sql.indexOf(QLatin1String("*/"), i + 2));
            i = end < 0 ? n : end + 2;
        } else if (c == QLatin1Char(':')) {
            if (i + 1 < n && sql[i + 1] == QLatin1Char(':')) {
                i += 2;
                continue;
            }
            int j = i + 1;
            if (j < n && isNameStart(sql[j])) {
                while (j < n && isNameChar(sql[j]))
                    ++j;
                out.append({sql.mid(i + 1, j - i - 1), i});
            }
            i = j;
        } else {
            ++i;
        }
    }
    return out;
}

QString ReportSqlText::positional(const QString &sql, QStringList &names)
{
    return positional(sql, names, {});
}

QString ReportSqlText::positional(const QString &sql, QStringList &names,
                                  const std::function<QString(const QString &name)> &marker)
{
    names.clear();
    QString out;
    int last = 0;
    for (const Use &u : scan(sql)) {
        out += QStringView(sql).mid(last, u.offset - last);
        out += marker ? marker(u.name) : QStringLiteral("?");
        names << u.name;
        last = u.offset + 1 + int(u.name.size());
    }
    out += QStringView(sql).mid(last);
    return out;
}
