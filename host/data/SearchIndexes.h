// The search indexes a database declares (table INDICEPESQ of the schema).
//
// SQLite: FTS5 tables with the trigram tokenizer over folded copies (FOLD)
// of some columns of a table, holding the unfolded key in CHAVE and each
// folded column under the column's own name. The table's triggers (plain
// SQL, so that any program may write it) note the rowids written in
// PESQPENDENTE; find() folds those rows into the index first (catchUp), so
// a search sees every write, ours or another program's. When that cannot be
// done (a database this user may only read, an older schema), find() serves
// no index and the filter reads the table.
//
// Firebird: a narrow table of the key (CHAVE) and the folded columns joined
// by the character 1 (TEXTO), kept by a PSQL trigger of the table, so there
// is nothing to catch up.
//
// An index serves a filter when the list's key column is the index's key
// (NMCHAVE) and every column searched is among its columns (DSCOLUNAS).
// A database without INDICEPESQ (or on an engine without search indexes)
// has no indexes. How an index is asked is the dialect's
// (SqlDialect::searchIndexValue, searchIndexTerm). The
// declarations are read once per connection and forgotten when the shell's
// database closes.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

class QSqlDatabase;

class SearchIndexes {
public:
    struct Index {
        QString table;       // the FTS5 table; empty: no index serves
        QStringList columns; // its searched columns
    };

    // The index serving a filter over these result columns with this key.
    static Index find(const QSqlDatabase &db, const QString &keyColumn, const QStringList &columns);
    // Folds the rows noted in PESQPENDENTE into every declared index (or the
    // one named), in one write transaction; false when the database refused.
    static bool catchUp(const QSqlDatabase &db, const QString &index = QString());
    // Forgets what was read (the schema changed, or the database closed).
    static void forget();

};
