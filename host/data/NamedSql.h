// The named parameters (:NAME) of a statement text, and the text rewritten
// with positional markers (the engine's, SqlDialect::marker), so that values
// are always bound and never spliced, and a name used twice binds twice.
//
// Skipped while scanning: quoted strings ('...' with '' inside), quoted
// identifiers ("..."), comments (-- to the end of the line, /* */), "::"
// (PostgreSQL casts) and the letters of ordinary identifiers.
#pragma once

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

    // The text with each :NAME replaced by markerFor(NAME).
    QString positional(const std::function<QString(const QString &)> &markerFor) const;

private:
    struct Mark {
        int offset;
        int length;
        QString name;   // parameter name
    };
    QString m_text;
    QList<Mark> m_marks;
};
