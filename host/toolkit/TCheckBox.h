// Check box. Caption, Checked, State (cbUnchecked, cbChecked, cbGrayed),
// AllowGrayed; OnClick follows every change of Checked, from code as well.
#pragma once

#include <QCheckBox>

class TCheckBox : public QCheckBox {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ text WRITE setText)
    Q_PROPERTY(bool Checked READ isChecked WRITE setChecked)
    Q_PROPERTY(QString State READ State WRITE setState)
    Q_PROPERTY(bool AllowGrayed READ isTristate WRITE setTristate)
    Q_PROPERTY(QString Alignment MEMBER m_alignment)

public:
    explicit TCheckBox(QWidget *parent = nullptr);
    bool Checked() const { return isChecked(); }
    QString State() const;
    void setState(const QString &v);

signals:
    void OnClick(QObject *Sender);
    void OnEnter(QObject *Sender);
    void OnExit(QObject *Sender);

protected:
    // The whole control answers a click, caption and blank space included.
    bool hitButton(const QPoint &pos) const override { return rect().contains(pos); }
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;

private:
    QString m_alignment = QStringLiteral("taRightJustify");
};
