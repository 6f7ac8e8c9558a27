// Combo box. Style csDropDownList offers only its items; Items assigned from
// code are copied; ItemIndex -1 means nothing chosen and Text is then empty.
#pragma once

#include "PropertyEnums.h"

#include <QComboBox>

class TComboBox : public QComboBox {
    Q_OBJECT
    Q_PROPERTY(PropertyEnums::TComboBoxStyle Style READ Style WRITE setStyle_)
    Q_PROPERTY(QStringList Items READ Items WRITE setItems)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE setItemIndex)
    Q_PROPERTY(QString Text READ Text WRITE setText_)
    Q_PROPERTY(int DropDownCount READ maxVisibleItems WRITE setMaxVisibleItems)

public:
    explicit TComboBox(QWidget *parent = nullptr);

    PropertyEnums::TComboBoxStyle Style() const { return m_style; }
    void setStyle_(PropertyEnums::TComboBoxStyle v);
    QStringList Items() const;
    void setItems(const QStringList &items);
    int ItemIndex() const { return currentIndex(); }
    void setItemIndex(int i);
    QString Text() const;
    void setText_(const QString &v);
    bool Focused() const;

signals:
    void OnChange(QObject *Sender);
    void OnClick(QObject *Sender);
    void OnEnter(QObject *Sender);
    void OnExit(QObject *Sender);
    void OnKeyDown(QObject *Sender, int *Key, int Shift);

protected:
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    bool m_styleApplied = false;
    PropertyEnums::TComboBoxStyle m_style = PropertyEnums::TComboBoxStyle::csDropDown;
};
