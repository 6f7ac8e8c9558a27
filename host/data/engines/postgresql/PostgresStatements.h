// Whether a statement text only reads, as PostgreSQL reads its words:
// quoted texts ('...', E'...' with its backslashes, $tag$...$tag$), quoted
// identifiers and comments (-- and nested /* */) are skipped, and so are
// parameters (:NAME) and casts (::TYPE). A text only reads when it is one
// statement (nothing but blanks after a ';'), its first word is SELECT or
// WITH, and no word of it changes the database: INSERT, UPDATE, DELETE,
// MERGE (a WITH that wraps one), INTO (SELECT INTO makes a table), FOR
// UPDATE / FOR SHARE (row locks), NEXTVAL or SETVAL (sequences).
// A function of the database's own that writes cannot be told from its
// name: the report's read-only transaction refuses it when it runs.
#pragma once

#include <QString>

namespace PostgresStatements {

bool onlyReads(const QString &sql);

} // namespace PostgresStatements
