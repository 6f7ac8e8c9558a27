// What a statement is, asked of the Firebird client itself: the text is
// prepared on the connection's attachment in a read-only transaction of its
// own (never run, then rolled back) and the client says its type. Only a
// SELECT is a query; UPDATE ... RETURNING, EXECUTE BLOCK (also one that
// returns rows, which the client calls a SELECT), EXECUTE PROCEDURE, DDL and
// the rest change the database. Unknown: the connection's handle
// could not be had or the text does not prepare.
#pragma once

#include <QSqlDatabase>
#include <QString>
#include <ibase.h>

namespace FirebirdStatements {

enum class Kind { Query, Changes, Unknown };

// The attachment of an open QIBASE connection; false when there is none.
bool attachment(const QSqlDatabase &db, isc_db_handle &handle);
Kind kindOf(const QSqlDatabase &db, const QString &sql);

} // namespace FirebirdStatements
