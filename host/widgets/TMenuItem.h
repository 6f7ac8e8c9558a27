// A menu command. Placed inside a TButtonFlat it becomes an entry of the
// button's drop-down menu; menus never take the keyboard focus.
#pragma once

#include <QObject>

class QAction;

class TMenuItem : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)
    Q_PROPERTY(QString ShortCut READ ShortCut WRITE setShortCut)
    Q_PROPERTY(QString Hint READ Hint WRITE setHint)

public:
    explicit TMenuItem(QObject *parent = nullptr);
    QAction *action() const { return m_action; }
    QString Caption() const;
    void setCaption(const QString &v);
    bool Enabled() const;
    void setEnabled(bool v);
    bool Visible() const;
    void setVisible(bool v);
    QString ShortCut() const;
    void setShortCut(const QString &v);
    QString Hint() const;
    void setHint(const QString &v);
    // Runs the command as choosing it in the menu would.
    void Click();

signals:
    void OnClick(QObject *Sender);

private:
    QAction *m_action;
};
