// Where a database is, parsed from the location text the user gives
// (--db, [database] location=, the costs server's --db).
//
// "sqlite:PATH", "firebird:PATH" (embedded), "firebird://HOST[:PORT]/PATH",
// "postgresql://[USER@]HOST[:PORT]/DATABASE" (also "postgres://"; port 5432
// by default, the user libpq's default when not named); USER and DATABASE
// are percent-decoded ("%40" is "@", "%20" a blank; UTF-8), and toString()
// encodes them again, so the text it gives parses to the same location.
// On a Firebird server, "/PATH" after the host is an absolute file when it
// holds another "/" (firebird://h:3050/var/db/x.fdb -> /var/db/x.fdb) and an
// alias otherwise (firebird://h/employee -> employee); "//PATH" is always
// absolute. parse() throws EHostError, naming the text, on anything else.
#pragma once

#include <QString>

struct DatabaseLocation {
    enum Kind { Sqlite, FirebirdEmbedded, FirebirdServer, PostgreSql };
    Kind kind = Sqlite;
    QString path;      // file (or, on a server, file or alias; PostgreSQL: database name)
    QString host;      // server only
    int port = 3050;   // server only
    QString user;      // PostgreSQL only: the user the location names

    static DatabaseLocation parse(const QString &location);
    QString toString() const;
    bool isFirebird() const { return kind == FirebirdEmbedded || kind == FirebirdServer; }
    bool isServer() const { return !host.isEmpty(); }
};
