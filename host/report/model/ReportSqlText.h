// Finds the named parameters (:NAME) of a statement text and turns the text
// into one with positional markers, so that values are always bound, never
// spliced, and a name used twice binds twice, whatever the driver supports.
// Quoted strings ('...'), quoted identifiers ("..."), comments (-- and /* */)
// and casts written "::" are skipped.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class ReportSqlText {
public:
    struct Use {
        QString name;
        int offset = 0; // index in the text of the ':'
    };

    static QList<Use> scan(const QString &sql);
    // The text with every :NAME replaced by '?'; names receives them in order.
    static QString positional(const QString &sql, QStringList &names);
    // The same with the marker that marker gives for each name.
    static QString positional(const QString &sql, QStringList &names,
                              const std::function<QString(const QString &name)> &marker);
};
