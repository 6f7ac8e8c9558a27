// Draws simple texts straight from glyphs looked up once per character,
// without laying each text out: a report prints millions of short cells
// (codes, names, numbers) in one font with no kerning, where shaping a cell
// only ever gives its characters' own glyphs side by side. A text is simple
// when every character is Latin or common (digits, punctuation, spaces),
// is no combining mark, and has a glyph of its own in the font; anything
// else (another script, a character the font lacks and a fallback font must
// draw) is left to the painter's text layout.
#pragma once

#include <QFont>
#include <QHash>
#include <QPointF>
#include <QRawFont>
#include <QVector>

class QPainter;

class ReportGlyphs {
public:
    explicit ReportGlyphs(const QFont &font);

    // Takes text and gives its width; false (and nothing taken) when the
    // text is not simple.
    bool take(const QString &text, double &width);
    // Draws the text taken last with its baseline starting at origin.
    void draw(QPainter &p, const QPointF &origin) const;

private:
    struct Glyph {
        quint32 index = 0; // 0: not simple
        double advance = 0;
    };
    const Glyph &glyph(QChar c);

    QRawFont m_raw;
    QHash<char16_t, Glyph> m_glyphs;
    QVector<quint32> m_indexes;
    QVector<QPointF> m_positions;
};
