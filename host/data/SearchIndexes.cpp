#include "SearchIndexes.h"
#include "HostDatabase.h"
#include "TextFold.h"

#include <QSqlQuery>
#include <QVariant>

namespace {
struct Declared {
    QString table, key;
    QStringList columns;
};

// Connection name -> the indexes it declares.
QHash<QString, QList<Declared>> &cache()
{
    static QHash<QString, QList<Declared>> c;
    static const bool hooked = [] {
        QObject::connect(&HostDatabase::instance(), &HostDatabase::closing, [] { SearchIndexes::forget(); });
        return true;
    }();
    Q_UNUSED(hooked);
    return c;
}

QList<Declared> read(const QSqlDatabase &db)
{
    QList<Declared> out;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND upper(name) = 'INDICEPESQ'"))
        || !q.next())
        return out;
    if (!q.exec(QStringLiteral("SELECT NMINDICE, NMCHAVE, DSCOLUNAS FROM INDICEPESQ")))
        return out;
    while (q.next()) {
        QStringList columns;
        for (const QString &c : q.value(2).toString().split(QLatin1Char(','), Qt::SkipEmptyParts))
            columns << c.trimmed();
        out.append({q.value(0).toString().trimmed(), q.value(1).toString().trimmed(), columns});
    }
    return out;
}

bool containsName(const QStringList &list, const QString &name)
{
    for (const QString &s : list)
        if (s.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}
} // namespace

SearchIndexes::Index SearchIndexes::find(const QSqlDatabase &db, const QString &keyColumn, const QStringList &columns)
{
    if (keyColumn.isEmpty() || columns.isEmpty())
        return {};
    auto &c = cache();
    auto it = c.find(db.connectionName());
    if (it == c.end())
        it = c.insert(db.connectionName(), read(db));
    for (const Declared &d : std::as_const(*it)) {
        if (d.key.compare(keyColumn, Qt::CaseInsensitive) != 0)
            continue;
        bool all = true;
        for (const QString &col : columns)
            all = all && containsName(d.columns, col);
        if (all)
            return {d.table, columns};
    }
    return {};
}

void SearchIndexes::forget() { cache().clear(); }

QString SearchIndexes::matchQuery(const QString &text, const QStringList &columns)
{
    const QString folded = TextFold::fold(text);
    if (folded.size() < 3)
        return {};
    QString quoted = folded;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('{') + columns.join(QLatin1Char(' ')) + QLatin1String("} : \"") + quoted + QLatin1Char('"');
}
