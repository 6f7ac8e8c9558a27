// The status bar's notice: what went wrong and is not over (a costs server
// that does not answer), kept in sight until it is resolved. It shows a red
// mark and as much of the text as fits, elided at the end; the tool tip
// holds all of it. A click on it asks to try again (clicked()). Empty and
// hidden while there is nothing to tell.
#pragma once

#include "ElidedLabel.h"

class StatusNotice : public ElidedLabel {
    Q_OBJECT

public:
    explicit StatusNotice(QWidget *parent = nullptr);

    void showNotice(const QString &text);
    void clearNotice();
    // The whole text, without the mark (the label may show it elided).
    QString notice() const { return m_text; }

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    QString m_text;
};
