// Reads an INI file as people write it: "[section]" lines, "key=value"
// lines, blank lines and comments (lines starting with ';' or '#'). Values
// are the text after '=' without the surrounding blanks; a value in double
// quotes keeps its blanks (\" and \\ inside). Sections and keys are compared
// without regard to case. The file is UTF-8.
#pragma once

#include <QList>
#include <QString>

class IniFile {
public:
    struct Entry {
        QString key;     // "section/key", in lower case
        QString value;
        int line = 0;    // from 1
    };

    // Throws EConfigError naming the file (and the line) when it does not
    // exist, cannot be read, is not UTF-8, holds a line that is neither a
    // section nor key=value, a key outside any section, or a key twice.
    static QList<Entry> read(const QString &path);
};
