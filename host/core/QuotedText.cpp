#include "QuotedText.h"

namespace {

bool turnsText(char16_t c)
{
    // Embeddings, overrides and isolates: they would turn the message around.
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

QString hex(char16_t u, int width)
{
    return QStringLiteral("%1").arg(uint(u), width, 16, QLatin1Char('0')).toUpper();
}

// The escape that stands for c; empty when c is shown as it is.
QString escapeOf(QChar c)
{
    const char16_t u = c.unicode();
    switch (u) {
    case 0: return QStringLiteral("\\0");
    case '\t': return QStringLiteral("\\t");
    case '\n': return QStringLiteral("\\n");
    case '\r': return QStringLiteral("\\r");
    default: break;
    }
    if (c.category() == QChar::Other_Control) // U+0000..U+001F, U+007F..U+009F
        return QStringLiteral("\\x") + hex(u, 2);
    if (turnsText(u) || c.category() == QChar::Separator_Line || c.category() == QChar::Separator_Paragraph)
        return QStringLiteral("\\u") + hex(u, 4);
    return QString();
}

} // namespace

namespace QuotedText {

QString clip(const QString &value, int maxChars)
{
    QString out;
    out.reserve(qMin<qsizetype>(value.size(), maxChars) + 1);
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        QString piece = escapeOf(c);
        if (piece.isEmpty()) {
            piece = c;
            if (c.isHighSurrogate() && i + 1 < value.size() && value[i + 1].isLowSurrogate())
                piece += value[++i];
        }
        if (out.size() + piece.size() > maxChars) {
            out += QChar(0x2026);
            return out;
        }
        out += piece;
    }
    return out;
}

}
