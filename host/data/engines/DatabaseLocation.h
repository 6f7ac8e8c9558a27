// Where a database is, parsed from the location text the user gives
// (--db, [database] location=, the costs server's --db): "SCHEME:REST", the
// scheme naming a registered engine, which reads the rest
// (DatabaseEngine::readLocation): "sqlite:PATH", "firebird:PATH" (embedded),
// "firebird://HOST[:PORT]/PATH", "postgresql://[USER@]HOST[:PORT]/DATABASE"
// (user and database percent-decoded, and encoded again by toString(), so
// the text it gives parses to the same location). parse() throws
// EHostError, naming the text, the forms every engine takes and how the
// engine wants a name written, on anything else.
#pragma once

#include <QString>

class DatabaseEngine;

struct DatabaseLocation {
    QString scheme;    // the engine's first scheme ("sqlite", "firebird", "postgresql")
    QString path;      // file (or, on a server, file or alias; PostgreSQL: database name)
    QString host;      // server only
    int port = 0;      // server only
    QString user;      // the user the location names, where it can name one

    static DatabaseLocation parse(const QString &location);
    QString toString() const;
    bool isServer() const { return !host.isEmpty(); }
    // The engine of the location (the one whose scheme it has).
    const DatabaseEngine &engine() const;
};
