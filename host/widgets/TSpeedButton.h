// Speed button: a flat tool button that a click never gives the focus, so a
// command given from it runs while the field being edited keeps the focus.
// With TabStop the keyboard reaches it (Tab), and Space or Enter press it
// (a button with a menu opens the menu). Glyph names a drawn picture
// (Glyphs.h).
#pragma once

#include <QToolButton>

class TSpeedButton : public QToolButton {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ text WRITE setText)
    Q_PROPERTY(bool Flat READ Flat WRITE setFlat)
    Q_PROPERTY(QString Glyph READ Glyph WRITE setGlyph)
    Q_PROPERTY(bool Down READ isChecked WRITE setChecked)
    Q_PROPERTY(bool TabStop READ TabStop WRITE setTabStop)

public:
    explicit TSpeedButton(QWidget *parent = nullptr);
    bool Flat() const { return autoRaise(); }
    void setFlat(bool v) { setAutoRaise(v); }
    QString Glyph() const { return m_glyph; }
    void setGlyph(const QString &name);
    bool TabStop() const { return focusPolicy() & Qt::TabFocus; }
    void setTabStop(bool v) { setFocusPolicy(v ? Qt::TabFocus : Qt::NoFocus); }
    // Runs the click as the user's click would (no focus change).
    void Click();

signals:
    void OnClick(QObject *Sender);

protected:
    void keyPressEvent(QKeyEvent *e) override;
    // A flat button shows little when it has the focus: a focus frame says so.
    void paintEvent(QPaintEvent *e) override;

private:
    QString m_glyph;
};
