// The status bar's notice: what went wrong and is not over (a costs server
// that does not answer), kept in sight until it is resolved. It shows a red
// mark and as much of the text as fits, elided; the tool tip holds all of
// it. A click on it asks to try again (clicked()). Empty and hidden while
// there is nothing to tell.
#pragma once

#include <QLabel>

class StatusNotice : public QLabel {
    Q_OBJECT

public:
    explicit StatusNotice(QWidget *parent = nullptr);

    void showNotice(const QString &text);
    void clearNotice();
    // The whole text (the label may show it elided).
    QString notice() const { return m_text; }

signals:
    void clicked();

protected:
    void resizeEvent(QResizeEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

private:
    void elide();

    QString m_text;
};
