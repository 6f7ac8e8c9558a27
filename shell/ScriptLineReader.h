// Reads a scripted session line by line with a bound on a line's length:
// a longer line is skipped up to its end and reported as too long, with
// only its beginning kept, so a runaway line never fills the memory.
#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

class ScriptLineReader {
public:
    static constexpr qint64 MaxLineBytes = 64 * 1024;

    struct Line {
        int number = 0;       // from 1
        QString text;         // the line without its end (empty when too long)
        bool tooLong = false;
        qint64 bytes = 0;     // the length of the line in bytes, its end excluded
        QString start;        // a too-long line's first characters
    };

    explicit ScriptLineReader(QIODevice &input, qint64 maxLineBytes = MaxLineBytes);
    // False at the end of the input.
    bool next(Line &line);

private:
    QIODevice &m_input;
    qint64 m_max;
    int m_number = 0;
};
