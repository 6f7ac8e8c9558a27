// A group box holding one radio button per item, laid out in Columns.
// ItemIndex is the checked item (-1: none); OnClick follows its changes.
#pragma once

#include <QGroupBox>
#include <QList>

class QRadioButton;

class TRadioGroup : public QGroupBox {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ title WRITE setTitle)
    Q_PROPERTY(QStringList Items READ Items WRITE setItems)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE setItemIndex)
    Q_PROPERTY(int Columns READ Columns WRITE setColumns)

public:
    explicit TRadioGroup(QWidget *parent = nullptr);

    QStringList Items() const { return m_items; }
    void setItems(const QStringList &items);
    int ItemIndex() const;
    void setItemIndex(int i);
    int Columns() const { return m_columns; }
    void setColumns(int c);
    QRadioButton *button(int i) const { return m_buttons.value(i); }

signals:
    void OnClick(QObject *Sender);
    void OnEnter(QObject *Sender);
    void OnExit(QObject *Sender);

protected:
    void resizeEvent(QResizeEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    void rebuild();
    void arrange();
    QStringList m_items;
    QList<QRadioButton *> m_buttons;
    int m_columns = 1;
    int m_pendingIndex = -1;
};
