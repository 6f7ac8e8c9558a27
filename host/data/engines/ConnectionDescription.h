// Everything needed to open a connection to a database: where it is, who
// connects, the name of the Qt connection, and whether a missing database
// is made (and filled by `fill`, which gets an open connection to the new,
// empty database and must leave it complete: schema and rows).
#pragma once

#include "DatabaseLocation.h"

#include <QString>
#include <functional>

class QSqlDatabase;

struct ConnectionDescription {
    DatabaseLocation location;
    QString user;
    QString password;
    QString name;           // the Qt connection's name
    bool create = false;    // make the database when it is missing (SQLite: or an empty file)
    std::function<void(const QSqlDatabase &db)> fill;

    // The location's text, for messages.
    QString where() const { return location.toString(); }
};
