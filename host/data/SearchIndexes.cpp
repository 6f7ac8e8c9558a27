#include "SearchIndexes.h"
#include "HostDatabase.h"
#include "engines/SqlDialect.h"
#include "TextFold.h"

#include <QSqlQuery>
#include <QVariant>

namespace {
struct Declared {
    QString table, key;
    QStringList columns;
    QString base; // the table indexed
};

// Connection name -> the indexes it declares. Never destroyed, like
// HostDatabase: a database closed while the process exits (a data module
// outliving main) still emits closing, which clears this cache.
QHash<QString, QList<Declared>> &cache()
{
    static auto *c = [] {
        auto *declared = new QHash<QString, QList<Declared>>;
        QObject::connect(&HostDatabase::instance(), &HostDatabase::closing, [declared] { declared->clear(); });
        return declared;
    }();
    return *c;
}

QList<Declared> read(const QSqlDatabase &db)
{
    QList<Declared> out;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    // Engines without search indexes have no INDICEPESQ to ask.
    const SqlDialect &dialect = SqlDialect::of(db);
    const bool indexed = dialect.has(SqlDialect::Feature::SearchIndexNarrowing)
                         || dialect.has(SqlDialect::Feature::SortedScanForSparseFilters);
    const QString declared = indexed ? dialect.tableExistsQuery(QStringLiteral("INDICEPESQ")) : QString();
    if (declared.isEmpty() || !q.exec(declared) || !q.next())
        return out;
    // A schema without NMTABELA has triggers that call FOLD: no index is used.
    if (!q.exec(QStringLiteral("SELECT NMINDICE, NMCHAVE, DSCOLUNAS, NMTABELA FROM INDICEPESQ "
                               "WHERE NMTABELA IS NOT NULL")))
        return out;
    while (q.next()) {
        QStringList columns;
        for (const QString &c : q.value(2).toString().split(QLatin1Char(','), Qt::SkipEmptyParts))
            columns << c.trimmed();
        out.append({q.value(0).toString().trimmed(), q.value(1).toString().trimmed(), columns,
                    q.value(3).toString().trimmed()});
    }
    return out;
}

QString quotedName(const QString &name)
{
    QString out = name;
    out.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

bool run(QSqlQuery &q, const QString &sql, const QString &index)
{
    if (!q.prepare(sql))
        return false;
    if (sql.contains(QLatin1Char('?')))
        q.addBindValue(index);
    const bool ok = q.exec();
    q.finish();
    return ok;
}

bool hasPending(const QSqlDatabase &db, const QString &index)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.prepare(QStringLiteral("SELECT 1 FROM PESQPENDENTE WHERE NMINDICE = ? LIMIT 1")))
        return false;
    q.addBindValue(index);
    const bool pending = q.exec() && q.next();
    q.finish();
    return pending;
}

// The noted rows of one index: their old entries out, their present ones
// (rows still in the table) in, the notes removed; the caller's transaction.
bool foldPending(QSqlQuery &q, const Declared &d)
{
    const QString index = quotedName(d.table);
    const QString rows = QStringLiteral("(SELECT NRLINHA FROM PESQPENDENTE WHERE NMINDICE = ?)");
    QStringList targets, folded;
    for (const QString &c : d.columns) {
        targets << quotedName(c);
        folded << QStringLiteral("FOLD(T.%1)").arg(quotedName(c));
    }
    return run(q, QStringLiteral("DELETE FROM %1 WHERE rowid IN %2").arg(index, rows), d.table)
        && run(q, QStringLiteral("INSERT INTO %1 (rowid, CHAVE, %2) SELECT T.rowid, T.%3, %4 FROM %5 T "
                                 "WHERE T.rowid IN %6")
                      .arg(index, targets.join(QLatin1String(", ")), quotedName(d.key),
                           folded.join(QLatin1String(", ")), quotedName(d.base), rows),
                  d.table)
        && run(q, QStringLiteral("DELETE FROM PESQPENDENTE WHERE NMINDICE = ?"), d.table);
}

bool catchUpAll(const QSqlDatabase &db, const QList<Declared> &indexes)
{
    QList<Declared> due;
    for (const Declared &d : indexes)
        if (hasPending(db, d.table))
            due << d;
    if (due.isEmpty())
        return true;
    QSqlQuery q(db);
    // IMMEDIATE: no other writer between reading the notes and removing them.
    if (!run(q, QStringLiteral("BEGIN IMMEDIATE"), QString()))
        return false;
    for (const Declared &d : std::as_const(due))
        if (!foldPending(q, d)) {
            run(q, QStringLiteral("ROLLBACK"), QString());
            return false;
        }
    if (run(q, QStringLiteral("COMMIT"), QString()))
        return true;
    run(q, QStringLiteral("ROLLBACK"), QString());
    return false;
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
            return !SqlDialect::of(db).has(SqlDialect::Feature::SearchIndexCatchUp) || catchUpAll(db, {d})
                       ? Index{d.table, columns}
                       : Index{};
    }
    return {};
}

bool SearchIndexes::catchUp(const QSqlDatabase &db, const QString &index)
{
    QList<Declared> chosen;
    for (const Declared &d : read(db))
        if (index.isEmpty() || d.table.compare(index, Qt::CaseInsensitive) == 0)
            chosen << d;
    return catchUpAll(db, chosen);
}

void SearchIndexes::forget() { cache().clear(); }

