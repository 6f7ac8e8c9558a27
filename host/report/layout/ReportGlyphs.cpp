#include "ReportGlyphs.h"

#include <QGlyphRun>
#include <QPainter>

ReportGlyphs::ReportGlyphs(const QFont &font) : m_raw(QRawFont::fromFont(font)) {}

const ReportGlyphs::Glyph &ReportGlyphs::glyph(QChar c)
{
    auto it = m_glyphs.constFind(c.unicode());
    if (it != m_glyphs.constEnd())
        return it.value();
    Glyph g;
    const QChar::Script script = c.script();
    const bool plain = (script == QChar::Script_Latin || script == QChar::Script_Common) && !c.isMark()
        && !c.isSurrogate() && c.category() != QChar::Other_Control && c.category() != QChar::Other_Format;
    if (plain && m_raw.isValid()) {
        const QVector<quint32> indexes = m_raw.glyphIndexesForString(QString(c));
        if (indexes.size() == 1 && indexes[0] != 0) {
            g.index = indexes[0];
            g.advance = m_raw.advancesForGlyphIndexes(indexes).value(0).x();
        }
    }
    return m_glyphs.insert(c.unicode(), g).value();
}

bool ReportGlyphs::take(const QString &text, double &width)
{
    m_indexes.resize(text.size());
    m_positions.resize(text.size());
    double x = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const Glyph &g = glyph(text[i]);
        if (g.index == 0)
            return false;
        m_indexes[i] = g.index;
        m_positions[i] = QPointF(x, 0);
        x += g.advance;
    }
    width = x;
    return true;
}

void ReportGlyphs::draw(QPainter &p, const QPointF &origin) const
{
    QGlyphRun run;
    run.setRawFont(m_raw);
    run.setGlyphIndexes(m_indexes);
    run.setPositions(m_positions);
    p.drawGlyphRun(origin, run);
}
