// Single-line edit. Text, MaxLength, ReadOnly, CharCase; OnChange (only when
// the text differs), OnEnter, OnExit, OnKeyDown, OnClick.
#pragma once

#include "PropertyEnums.h"

#include <QLineEdit>

class TEdit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(QString Text READ Text WRITE setText_)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE setMaxLength_)
    Q_PROPERTY(bool ReadOnly READ isReadOnly WRITE setReadOnly)
    Q_PROPERTY(PropertyEnums::TEditCharCase CharCase READ CharCase WRITE setCharCase)

public:
    explicit TEdit(QWidget *parent = nullptr);

    virtual QString Text() const { return QLineEdit::text(); }
    virtual void setText_(const QString &v);
    int MaxLength() const { return m_maxLength; }
    void setMaxLength_(int v);
    PropertyEnums::TEditCharCase CharCase() const { return m_charCase; }
    void setCharCase(PropertyEnums::TEditCharCase v) { m_charCase = v; }
    // Whether this edit holds the input focus of its window.
    bool Focused() const;
    void SetFocus();

signals:
    void OnChange(QObject *Sender);
    void OnEnter(QObject *Sender);
    void OnExit(QObject *Sender);
    void OnKeyDown(QObject *Sender, int *Key, int Shift);
    void OnClick(QObject *Sender);

protected:
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    // Raises OnChange when Text() differs from what it was at the last check.
    void checkChanged();

private:
    QString m_last;
    int m_maxLength = 0;
    PropertyEnums::TEditCharCase m_charCase = PropertyEnums::TEditCharCase::ecNormal;
};
