// The named parameters (:NAME) of a statement text, and the text rewritten
// with positional markers for the engine that runs it, so that values are
// always bound and never spliced, and a name used twice binds twice.
//
// Skipped while scanning: quoted strings ('...' with '' inside), quoted
// identifiers ("..."), comments (-- to the end of the line, /* */), "::"
// (PostgreSQL casts) and the letters of ordinary identifiers.
// Engine rewrites:
//  - Firebird: each marker becomes CAST(? AS <type>). Qt's QIBASE driver sends
//    a NULL as '' or 0 wherever Firebird describes a parameter as not
//    nullable (a plain "COL = ?", a PSQL function's inputs); a cast
//    parameter is always nullable, and it also keeps Firebird from describing
//    the parameter by the column's length.
//  - SQL Server: a marker whose castType is given becomes CAST(? AS <type>)
//    (long texts: NVARCHAR(MAX), see SqlStatement); the others stay '?'.
//  - SQLite: a call written ISNULL( becomes "ISNULL"( (ISNULL is an operator
//    keyword there), so that the SQL Server texts run in tests.
#pragma once

#include "SqlDialect.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class NamedSql {
public:
    static NamedSql parse(const QString &text);

    const QString &text() const { return m_text; }
    // Every use of a parameter, in order of appearance (repeats included).
    QStringList names() const;
    // Each name once, in order of first appearance.
    QStringList distinctNames() const;

    // The text with each :NAME replaced by the engine's marker. castType gives
    // the type a parameter is cast to, by name: on Firebird VARCHAR(8191)
    // when empty, on SQL Server none when empty.
    QString positional(SqlEngine engine,
                       const std::function<QString(const QString &)> &castType = {}) const;

private:
    struct Mark {
        int offset;
        int length;
        QString name;   // parameter name; empty for an ISNULL call
    };
    QString m_text;
    QList<Mark> m_marks;
};
