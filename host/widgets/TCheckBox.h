// Check box. Caption, Checked, State (cbUnchecked, cbChecked, cbGrayed),
// AllowGrayed; OnClick follows every change of Checked, from code as well.
#pragma once

#include "PropertyEnums.h"

#include <QCheckBox>

class TCheckBox : public QCheckBox {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ text WRITE setText)
    Q_PROPERTY(bool Checked READ isChecked WRITE setChecked)
    Q_PROPERTY(PropertyEnums::TCheckBoxState State READ State WRITE setState)
    Q_PROPERTY(bool AllowGrayed READ isTristate WRITE setTristate)

public:
    explicit TCheckBox(QWidget *parent = nullptr);
    bool Checked() const { return isChecked(); }
    PropertyEnums::TCheckBoxState State() const;
    void setState(PropertyEnums::TCheckBoxState v);

signals:
    void OnClick(QObject *Sender);
    void OnEnter(QObject *Sender);
    void OnExit(QObject *Sender);

protected:
    // The whole control answers a click, caption and blank space included.
    bool hitButton(const QPoint &pos) const override { return rect().contains(pos); }
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
};
