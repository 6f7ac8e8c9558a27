// A status bar field that shows as much of its text as its width allows:
// elided at the end (a sentence) or in the middle (a path, whose file name
// matters most), with the whole text in its tool tip. text() keeps the
// whole text, and so does what a screen reader hears; shownText() is what
// is painted. It asks for its whole width and settles for a few letters.
#pragma once

#include <QLabel>

class ElidedLabel : public QLabel {
    Q_OBJECT

public:
    explicit ElidedLabel(Qt::TextElideMode mode = Qt::ElideRight, QWidget *parent = nullptr);

    // Sets the text, its tool tip and its accessible name.
    void setFullText(const QString &text);
    // The text as painted at the present width.
    QString shownText() const;

signals:
    // What is painted changed (a new text, or a width that cuts it elsewhere).
    void shownTextChanged(const QString &shown);

protected:
    void paintEvent(QPaintEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void showEvent(QShowEvent *e) override;
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

private:
    void updateShown();

    Qt::TextElideMode m_mode;
    QString m_shown;
};
