// The shell's in-memory copy of small tables, for its own look-ups
// (NomeFiliProc, ModuFili without a fresh read, the code pictures). A table is
// read on its first use and read again when AtualizaLocalCache names it; the
// copy is dropped when the database closes.
//
// Table names must be plain identifiers (letters, digits, _ and $), so nothing
// but a table name reaches the statement; a table that does not exist gives
// the database's own error. A table of more than MaxRows rows is refused: the
// cache is for small tables. A refresh that fails leaves the old copies.
#pragma once

#include <QHash>
#include <QList>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

class LocalCache {
public:
    static constexpr int MaxRows = 100000;
    using Row = QVariantMap; // upper-case column name -> value

    static LocalCache &instance();

    // The rows of a table, read on first use.
    const QList<Row> &rows(const QString &table);
    // The first row whose column holds value (compared as text); empty when none.
    Row find(const QString &table, const QString &column, const QString &value);
    // Reads the named tables again (all of them, or none when one fails).
    void refresh(const QStringList &tables);
    void clear() { m_tables.clear(); }
    bool isLoaded(const QString &table) const { return m_tables.contains(table.toUpper()); }
    // How many times a table has been read (for tests of the refresh rule).
    int loads(const QString &table) const { return m_loads.value(table.toUpper()); }

private:
    LocalCache() = default;
    static QList<Row> load(const QString &table);
    QHash<QString, QList<Row>> m_tables;
    QHash<QString, int> m_loads;
};

// Refreshes the shell's cache of the named tables (a variant array of strings).
void AtualizaLocalCache(const QVariantList &tables);
void AtualizaLocalCache(const QStringList &tables);
