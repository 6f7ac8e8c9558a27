// Speed button: a flat tool button that never takes the keyboard focus, so a
// command given from it runs while the field being edited keeps the focus.
// Glyph names a drawn picture (Glyphs.h).
#pragma once

#include <QToolButton>

class TSpeedButton : public QToolButton {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ text WRITE setText)
    Q_PROPERTY(bool Flat READ Flat WRITE setFlat)
    Q_PROPERTY(QString Glyph READ Glyph WRITE setGlyph)
    Q_PROPERTY(int NumGlyphs MEMBER m_numGlyphs)
    Q_PROPERTY(int GroupIndex MEMBER m_groupIndex)
    Q_PROPERTY(bool Down READ isChecked WRITE setChecked)
    Q_PROPERTY(bool AllowAllUp MEMBER m_allowAllUp)
    Q_PROPERTY(QString Layout MEMBER m_layout)
    Q_PROPERTY(int Spacing MEMBER m_spacing)
    Q_PROPERTY(int Margin MEMBER m_margin)

public:
    explicit TSpeedButton(QWidget *parent = nullptr);
    bool Flat() const { return autoRaise(); }
    void setFlat(bool v) { setAutoRaise(v); }
    QString Glyph() const { return m_glyph; }
    void setGlyph(const QString &name);
    // Runs the click as the user's click would (no focus change).
    void Click();

signals:
    void OnClick(QObject *Sender);

private:
    QString m_glyph;
    int m_numGlyphs = 1;
    int m_groupIndex = 0;
    bool m_allowAllUp = false;
    QString m_layout = QStringLiteral("blGlyphLeft");
    int m_spacing = 4;
    int m_margin = -1;
};
