// Finding a part in a UTF-8 text, as INSTR does (SqliteRoutines): the
// 1-based position in UTF-16 units (QString's), 0 when absent.
//
// Utf8Search::position searches once (memmem). An Index answers many
// searches of one long text, such as a list of 100,000 service codes that a
// report searches once per row: it keeps, for one part length, every
// window of the text that starts a character, hashed and sorted, so a
// search costs a binary search instead of a scan. Memory: 16 bytes per
// character of the text.
#pragma once

#include <QByteArray>
#include <QList>
#include <QtGlobal>

namespace Utf8Search {

qint64 position(const char *text, qsizetype textBytes, const char *part, qsizetype partBytes);

class Index {
public:
    // Indexes the windows of partBytes bytes of text (copied); position()
    // answers for parts of that length only (0 for others).
    Index(const char *text, qsizetype textBytes, qsizetype partBytes);

    qint64 position(const char *part, qsizetype partBytes) const;

private:
    struct Window {
        quint64 hash;
        quint32 byte;  // where it starts in the text
        quint32 units; // UTF-16 units before it
        bool operator<(const Window &o) const { return hash != o.hash ? hash < o.hash : byte < o.byte; }
    };
    static quint64 hashOf(const char *bytes, qsizetype n);

    QByteArray m_text;
    qsizetype m_partBytes;
    QList<Window> m_windows;
};

} // namespace Utf8Search
