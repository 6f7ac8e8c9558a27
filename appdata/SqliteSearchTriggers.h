// Brings the search-index triggers of a SQLite database made by an older
// program up to the schema script's: triggers that called FOLD (which no
// other program has) and triggers that noted rows with INSERT OR IGNORE
// (which a writer's own conflict clause or upsert overrides, failing the
// write or leaving it half done) are dropped and the script's made, in one
// transaction. A database this user may not change keeps its old triggers;
// nothing is thrown.
#pragma once

#include <QSqlDatabase>

namespace SqliteSearchTriggers {
void update(const QSqlDatabase &db);
}
