// The collation PTBR on a SQLite connection: Portuguese dictionary order,
// the order the Firebird texts get from the collation UNICODE (both follow
// the Unicode collation algorithm through ICU). Letters are compared first
// with case and accents aside ("Abóbora" before "Abobrinha", "Iogurte de
// Morango" before "Iogurte Natural"); accents break ties before case does
// ("e" < "E" < "é" < "É"). Texts made of ASCII digits alone (codes) are
// compared byte by byte, which gives the same order faster.
//
//   ORDER BY NMPRODUTO COLLATE PTBR
#pragma once

struct sqlite3;

namespace SqliteCollation {

constexpr const char *Name = "PTBR";

// Registers PTBR on the handle; false when SQLite refuses it.
bool install(sqlite3 *db);

} // namespace SqliteCollation
