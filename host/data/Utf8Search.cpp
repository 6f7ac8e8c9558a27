#include "Utf8Search.h"

#include <algorithm>
#include <cstring>

namespace Utf8Search {

namespace {

bool startsCharacter(unsigned char byte) { return (byte & 0xC0) != 0x80; }
int unitsOf(unsigned char lead) { return lead >= 0xF0 ? 2 : 1; }

} // namespace

qint64 position(const char *text, qsizetype textBytes, const char *part, qsizetype partBytes)
{
    const auto *found = static_cast<const char *>(::memmem(text, size_t(textBytes), part, size_t(partBytes)));
    if (!found)
        return 0;
    qint64 units = 0;
    for (const char *c = text; c < found; ++c) {
        const auto byte = static_cast<unsigned char>(*c);
        if (startsCharacter(byte))
            units += unitsOf(byte);
    }
    return units + 1;
}

quint64 Index::hashOf(const char *bytes, qsizetype n)
{
    quint64 h = 1469598103934665603ULL; // FNV-1a
    for (qsizetype i = 0; i < n; ++i) {
        h ^= static_cast<unsigned char>(bytes[i]);
        h *= 1099511628211ULL;
    }
    return h;
}

Index::Index(const char *text, qsizetype textBytes, qsizetype partBytes)
    : m_text(text, textBytes), m_partBytes(partBytes)
{
    quint32 units = 0;
    m_windows.reserve(textBytes);
    for (qsizetype i = 0; i + partBytes <= textBytes; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (!startsCharacter(byte))
            continue;
        m_windows.append({hashOf(text + i, partBytes), quint32(i), units});
        units += unitsOf(byte);
    }
    std::sort(m_windows.begin(), m_windows.end());
}

qint64 Index::position(const char *part, qsizetype partBytes) const
{
    if (partBytes != m_partBytes)
        return 0;
    const Window probe{hashOf(part, partBytes), 0, 0};
    // The windows of one hash are in text order: the first that matches is the first occurrence.
    for (auto it = std::lower_bound(m_windows.begin(), m_windows.end(), probe); it != m_windows.end() && it->hash == probe.hash;
         ++it)
        if (std::memcmp(m_text.constData() + it->byte, part, size_t(partBytes)) == 0)
            return qint64(it->units) + 1;
    return 0;
}

} // namespace Utf8Search
