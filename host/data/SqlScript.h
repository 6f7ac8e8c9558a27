// Runs a script of SQL statements (schema and data files): statements end
// with the terminator, ';' unless a line "SET TERM x ;" changes it (Firebird
// scripts use it around PSQL bodies). Comments (-- and /* */) and quoted text
// are skipped while looking for terminators. Statements run as written: no
// named parameters are looked for, so PSQL's :variables stay as they are.
// The first failing statement throws EHostError with the database's message
// and the script line where the statement starts.
#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

class SqlScript {
public:
    struct Statement {
        QString text;
        int line = 1; // where it starts in the script
    };

    static QList<Statement> split(const QString &script);
    // Runs every statement; each one commits on its own unless the caller
    // opened a transaction. Returns the number of statements run.
    static int run(const QSqlDatabase &db, const QString &script, const QString &scriptName = QString());
};
