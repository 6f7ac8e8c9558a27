#include "LocalCache.h"
#include "core/Errors.h"
#include "data/HostDatabase.h"
#include "data/SqlStatement.h"

#include <QRegularExpression>
#include <QSqlRecord>

LocalCache &LocalCache::instance()
{
    static LocalCache *cache = [] {
        auto *c = new LocalCache;
        QObject::connect(&HostDatabase::instance(), &HostDatabase::closing, [c] { c->clear(); });
        return c;
    }();
    return *cache;
}

QList<LocalCache::Row> LocalCache::load(const QString &table)
{
    static const QRegularExpression ident(QStringLiteral("^[A-Za-z_][A-Za-z0-9_$]*$"));
    if (!ident.match(table).hasMatch())
        throw EHostError(QStringLiteral("Nome de tabela inválido para o cache local: '%1'.").arg(table));
    SqlStatement stmt(HostDatabase::instance().database());
    stmt.exec(QStringLiteral("SELECT * FROM ") + table);
    const QSqlRecord rec = stmt.record();
    QStringList columns;
    for (int i = 0; i < rec.count(); ++i)
        columns << rec.fieldName(i).toUpper();
    QList<Row> rows;
    while (stmt.next()) {
        if (rows.size() >= MaxRows)
            throw EHostError(QStringLiteral("A tabela %1 tem mais de %2 linhas e não cabe no cache local.")
                                 .arg(table).arg(MaxRows));
        Row row;
        for (int i = 0; i < columns.size(); ++i)
            row.insert(columns.at(i), stmt.value(i));
        rows << row;
    }
    return rows;
}

const QList<LocalCache::Row> &LocalCache::rows(const QString &table)
{
    const QString key = table.toUpper();
    auto it = m_tables.find(key);
    if (it == m_tables.end()) {
        QList<Row> loaded = load(table);
        ++m_loads[key];
        it = m_tables.insert(key, std::move(loaded));
    }
    return *it;
}

LocalCache::Row LocalCache::find(const QString &table, const QString &column, const QString &value)
{
    const QString col = column.toUpper();
    for (const Row &row : rows(table))
        if (row.value(col).toString() == value)
            return row;
    return Row();
}

void LocalCache::refresh(const QStringList &tables)
{
    QHash<QString, QList<Row>> fresh;
    for (const QString &t : tables)
        fresh.insert(t.trimmed().toUpper(), load(t.trimmed()));
    for (auto it = fresh.begin(); it != fresh.end(); ++it) {
        m_tables.insert(it.key(), std::move(it.value()));
        ++m_loads[it.key()];
    }
}

void AtualizaLocalCache(const QStringList &tables) { LocalCache::instance().refresh(tables); }

void AtualizaLocalCache(const QVariantList &tables)
{
    QStringList names;
    for (const QVariant &v : tables)
        names << v.toString();
    AtualizaLocalCache(names);
}
