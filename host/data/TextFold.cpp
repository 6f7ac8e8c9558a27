#include "TextFold.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

namespace {
// Folding of the characters up to U+024F: lower case without accents.
const std::array<char16_t, 0x250> &foldTable()
{
    static const std::array<char16_t, 0x250> table = [] {
        std::array<char16_t, 0x250> t{};
        for (int c = 0; c < 0x250; ++c) {
            const QString d = QString(QChar(c)).normalized(QString::NormalizationForm_D);
            t[c] = d.isEmpty() ? char16_t(c) : d.at(0).toCaseFolded().unicode();
        }
        return t;
    }();
    return table;
}
} // namespace

namespace TextFold {

char16_t foldChar(char16_t c)
{
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
    return c < 0x250 ? foldTable()[c] : QChar(c).toCaseFolded().unicode();
}

QString fold(const QString &s)
{
    QString out(s.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < s.size(); ++i)
        out[i] = QChar(foldChar(s.at(i).unicode()));
    return out;
}

bool containsFolded(const QString &hay, const QString &needle)
{
    const qsizetype n = hay.size(), m = needle.size();
    if (m == 0)
        return true;
    const auto *h = reinterpret_cast<const char16_t *>(hay.constData());
    const auto *p = reinterpret_cast<const char16_t *>(needle.constData());
    for (qsizetype i = 0; i + m <= n; ++i) {
        qsizetype j = 0;
        while (j < m && foldChar(h[i + j]) == p[j])
            ++j;
        if (j == m)
            return true;
    }
    return false;
}

void foldUtf8(const char *text, int bytes, std::u16string &out)
{
    out.clear();
    const auto *s = reinterpret_cast<const unsigned char *>(text);
    int i = 0;
    while (i < bytes) {
        const unsigned char b = s[i];
        if (b < 0x80) { // the common case: ASCII
            out.push_back(b >= 'A' && b <= 'Z' ? char16_t(b + 32) : char16_t(b));
            ++i;
            continue;
        }
        char32_t cp = 0xFFFD;
        int len = 1;
        if ((b & 0xE0) == 0xC0 && i + 1 < bytes) {
            cp = char32_t(b & 0x1F) << 6 | (s[i + 1] & 0x3F);
            len = 2;
        } else if ((b & 0xF0) == 0xE0 && i + 2 < bytes) {
            cp = char32_t(b & 0x0F) << 12 | char32_t(s[i + 1] & 0x3F) << 6 | (s[i + 2] & 0x3F);
            len = 3;
        } else if ((b & 0xF8) == 0xF0 && i + 3 < bytes) {
            cp = char32_t(b & 0x07) << 18 | char32_t(s[i + 1] & 0x3F) << 12 | char32_t(s[i + 2] & 0x3F) << 6
                | (s[i + 3] & 0x3F);
            len = 4;
        }
        i += len;
        if (cp > 0xFFFF) {
            out.push_back(char16_t(0xD800 + ((cp - 0x10000) >> 10)));
            out.push_back(char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            out.push_back(foldChar(char16_t(cp)));
        }
    }
}

qsizetype indexOf(const std::u16string &hay, const std::u16string &needle)
{
    if (needle.empty())
        return 1;
    const auto it = std::search(hay.begin(), hay.end(), needle.begin(), needle.end());
    return it == hay.end() ? 0 : qsizetype(it - hay.begin()) + 1;
}

qsizetype indexOfAscii(const char *hay, int bytes, const std::string &needle, std::string &scratch)
{
    if (needle.empty())
        return 1;
    scratch.clear();
    const auto *s = reinterpret_cast<const unsigned char *>(hay);
    int i = 0;
    while (i < bytes) {
        const unsigned char b = s[i];
        if (b < 0x80) {
            scratch.push_back(char(b >= 'A' && b <= 'Z' ? b + 32 : b));
            ++i;
        } else if ((b & 0xE0) == 0xC0 && i + 1 < bytes) {
            const char16_t f = foldChar(char16_t((b & 0x1F) << 6 | (s[i + 1] & 0x3F)));
            scratch.push_back(f < 0x80 ? char(f) : char(0x80));
            i += 2;
        } else {
            // Three and four bytes (and invalid ones): as foldUtf8 reads them.
            std::u16string one;
            int len = (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 1;
            if (i + len > bytes)
                len = 1;
            foldUtf8(hay + i, len, one);
            for (char16_t c : one)
                scratch.push_back(c < 0x80 ? char(c) : char(0x80));
            i += len;
        }
    }
    const void *at = memmem(scratch.data(), scratch.size(), needle.data(), needle.size());
    return at ? qsizetype(static_cast<const char *>(at) - scratch.data()) + 1 : 0;
}

} // namespace TextFold
