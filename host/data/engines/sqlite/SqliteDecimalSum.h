// DECIMAL_SUM(x), an aggregate registered on the shell's SQLite connections:
// the exact sum of x as decimal text ("1234567890122230.63"), NULL when no
// value is summed. SQLite's own SUM of REAL values adds doubles and drifts
// beyond 2^53 cents; this adds each value's shortest decimal text (the digits
// that were stored) as a 128-bit count of 10^-9 units, so the total is the
// sum of the stored values to the last cent. The name and contract are those
// of SQLite's decimal extension, which the sqlite3 shell has built in, so the
// report statements run there too. A sum beyond 10^28 is an error.
#pragma once

struct sqlite3;

namespace SqliteDecimalSum {
// SQLITE_OK or SQLite's error code.
int install(sqlite3 *db);
}
