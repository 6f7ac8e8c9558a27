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
    Q_PROPERTY(bool Down READ isChecked WRITE setChecked)

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
};
