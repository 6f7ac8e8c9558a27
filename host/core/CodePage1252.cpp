#include "CodePage1252.h"

namespace {
// The code page as far as it differs from Latin-1 (0x80..0x9F).
const char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char encodeChar(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u < 0x100))
        return char(u);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == u)
            return char(0x80 + i);
    return '?';
}
} // namespace

namespace CodePage1252 {

QChar decode(uchar byte)
{
    if (byte >= 0x80 && byte < 0xA0)
        return QChar(kHigh[byte - 0x80]);
    return QChar(byte);
}

QString decode(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char b : bytes)
        out += decode(uchar(b));
    return out;
}

QByteArray encode(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text)
        out += encodeChar(c);
    return out;
}

int compare(const QString &a, const QString &b)
{
    const QByteArray x = encode(a);
    const QByteArray y = encode(b);
    const qsizetype n = qMin(x.size(), y.size());
    for (qsizetype i = 0; i < n; ++i)
        if (uchar(x[i]) != uchar(y[i]))
            return uchar(x[i]) < uchar(y[i]) ? -1 : 1;
    return x.size() == y.size() ? 0 : (x.size() < y.size() ? -1 : 1);
}

} // namespace CodePage1252
