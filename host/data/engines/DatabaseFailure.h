// A database failure as the engine classifies it, for the layers above to
// say in the user's words: they switch on kind, never on an engine's text.
//
// engineText is what the engine said (shortened to a line), for the end of
// a message; advice, when the engine has something particular to say (which
// program holds a SQLite file, how to let a user read a WAL database), is
// a whole Portuguese sentence that the message may use instead of its own.
#pragma once

#include <QString>

struct DatabaseFailure {
    enum class Kind {
        Other,          // a statement failed for a reason of its own (engineText says which)
        ConnectionLost, // the connection is gone (server killed, restarted, network down)
        TimedOut,       // the server did not answer within the time limit
        Refused,        // the server would not take the connection (login, address, database)
        Permission,     // the user lacks the right for what the statement asks
        ReadOnly,       // a write on a connection that may only read (a report's)
        Busy,           // another program holds what the statement needs, past the wait
        BadStatement,   // the text is not one statement the engine runs
        TextTooLong,    // a text value longer than the statement takes
    };
    Kind kind = Kind::Other;
    QString engineText;
    QString advice;
    // TextTooLong: the length the statement takes and the one given, when known.
    int expectedLength = 0;
    int actualLength = 0;

    bool is(Kind k) const { return kind == k; }
};
