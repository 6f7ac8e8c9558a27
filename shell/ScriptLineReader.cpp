#include "ScriptLineReader.h"

#include <QIODevice>

namespace {
bool endsLine(const QByteArray &chunk) { return chunk.endsWith('\n'); }

QByteArray withoutEnd(QByteArray chunk)
{
    if (chunk.endsWith('\n'))
        chunk.chop(1);
    if (chunk.endsWith('\r'))
        chunk.chop(1);
    return chunk;
}
}

ScriptLineReader::ScriptLineReader(QIODevice &input, qint64 maxLineBytes) : m_input(input), m_max(maxLineBytes) {}

bool ScriptLineReader::next(Line &line)
{
    line = Line();
    // Past the bound by the line's end and one byte: a line of exactly the
    // bound still comes whole, a longer one shows as longer.
    QByteArray chunk = m_input.readLine(m_max + 3);
    if (chunk.isEmpty())
        return false;
    line.number = ++m_number;
    const QByteArray bytes = withoutEnd(chunk);
    line.bytes = bytes.size();
    if (bytes.size() <= m_max) {
        line.text = QString::fromUtf8(bytes);
        return true;
    }
    line.tooLong = true;
    line.start = QString::fromUtf8(bytes.left(160)).left(40);
    // Skip the rest of the line without keeping it.
    while (!endsLine(chunk)) {
        chunk = m_input.readLine(64 * 1024);
        if (chunk.isEmpty())
            break;
        line.bytes += withoutEnd(chunk).size();
    }
    return true;
}
