// Database routines that the statement texts call, registered on a SQLite
// connection's sqlite3 handle (Firebird has them in its schema script).
//
// install():
//  - PARAM(value): eponymous table-valued function; one row, one column PARAM
//    holding value, NULL included (FROM PARAM(:P_X) P_X ... P_X.PARAM);
//  - NVLSTR(a, b): b when a is NULL, else a;
//  - INSTR(text, part): 1-based position of part in text, 0 when absent,
//    NULL when either is NULL (replaces SQLite's own, same contract);
//  - UPPER(s), LOWER(s): Unicode case mapping (SQLite's own only maps ASCII),
//    so that search filters treat "ação" and "AÇÃO" alike;
//  - FOLD(s): s lower-cased without accents (data/TextFold.h), NULL for
//    NULL; the search indexes of the schema hold texts folded by it;
//  - FOLD_INSTR(text, part): as INSTR, both sides folded: the filter of the
//    search lists ("conceicao" finds "Conceição");
//  - DECIMAL_SUM(x): the exact sum as decimal text (SqliteDecimalSum);
//  - the collation PTBR, Portuguese dictionary order (SqliteCollation).
#pragma once

class QSqlDatabase;

namespace SqliteRoutines {

// Throws EHostError when the connection is not an open SQLite one.
void install(const QSqlDatabase &db);

} // namespace SqliteRoutines
