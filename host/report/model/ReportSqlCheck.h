// A report only reads: its statements must each be one query, SELECT or
// WITH ... SELECT. check() reads a statement text as the database would see
// its words (quoted strings, quoted identifiers and comments skipped) and
// returns where it first stops being one:
//  - the first word is not SELECT or WITH (DELETE, UPDATE, DROP, ATTACH,
//    EXECUTE BLOCK, PRAGMA, ...);
//  - a word that changes the database or its session appears anywhere
//    (INSERT, UPDATE, DELETE, MERGE, CREATE, DROP, ALTER, ATTACH, DETACH,
//    PRAGMA, EXECUTE, GRANT, ...: a WITH that wraps a DELETE ... RETURNING,
//    a SELECT ... FOR UPDATE, a SELECT ... INTO that makes a table), or a function that moves a generator or
//    sequence (GEN_ID, NEXTVAL, SETVAL, NEXT VALUE FOR);
//  - a ';' followed by more text (a second statement).
// The offset is the index in the text of the word or ';' at fault, -1 when
// the text is one query.
#pragma once

#include <QString>

class ReportSqlCheck {
public:
    struct Fault {
        int offset = -1;
        QString reason; // in Portuguese, naming the word
        bool ok() const { return offset < 0; }
    };

    static Fault check(const QString &sql);
};
