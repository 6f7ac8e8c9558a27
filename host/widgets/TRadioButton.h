// Radio button; the radio buttons of one parent form one choice. OnClick
// follows every change to checked, also from code (Qt itself emits clicked
// only for the user's click), and never a click on the checked button.
#pragma once

#include <QRadioButton>

class TRadioButton : public QRadioButton {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ text WRITE setText)
    Q_PROPERTY(bool Checked READ isChecked WRITE setChecked_)

public:
    explicit TRadioButton(QWidget *parent = nullptr);
    bool Checked() const { return isChecked(); }
    void setChecked_(bool v);
    bool Focused() const;

signals:
    void OnClick(QObject *Sender);
    void OnEnter(QObject *Sender);
    void OnExit(QObject *Sender);
    void OnKeyDown(QObject *Sender, int *Key, int Shift);

protected:
    // The whole control answers a click, caption and blank space included.
    bool hitButton(const QPoint &pos) const override { return rect().contains(pos); }
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

private:
};
