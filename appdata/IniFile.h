// Reads an INI file as people write it: "[section]" lines, "key=value"
// lines, blank lines and comments (lines starting with ';' or '#'). Values
// are the text after '=' without the surrounding blanks; a value in double
// quotes keeps its blanks (\" and \\ inside). Sections and keys are compared
// without regard to case. The file is UTF-8 whatever the locale, at most
// kMaxBytes long, and holds no control character but tabs and line ends.
// The shell and the costs server both read their files through it. A file
// that holds a secret (a key named password or token, in any section, with
// a value) is read only when no one but its owner may read it (no group or
// other permission), as libpq asks of ~/.pgpass.
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

    static constexpr qint64 kMaxBytes = 1024 * 1024;

    // Throws EConfigError naming the file (and the line) when it does not
    // exist, cannot be read, is larger than kMaxBytes, is not UTF-8, holds a
    // control character, a line that is neither a section nor key=value, a
    // key outside any section, a key twice, or a secret that others may
    // read (the text names the key and says "chmod 600 FILE"). The text
    // quotes at most a clipped part of the line (QuotedText), a secret never.
    static QList<Entry> read(const QString &path);
};
