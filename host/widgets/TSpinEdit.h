// Spin edit. MinValue equal to MaxValue means no limit at all (Qt's QSpinBox
// would pin the value there). With EditorEnabled false the value cannot be
// typed, only stepped with the buttons or the arrow keys. A limited box says
// its range in its tool tip and description, and a step past either end
// (an arrow, a button, the wheel) leaves the value and shows the range
// beside the box instead of doing nothing.
#pragma once

#include <QSpinBox>

class TSpinEdit : public QSpinBox {
    Q_OBJECT
    Q_PROPERTY(int MinValue READ MinValue WRITE setMinValue)
    Q_PROPERTY(int MaxValue READ MaxValue WRITE setMaxValue)
    Q_PROPERTY(int Value READ Value WRITE setValue_)
    Q_PROPERTY(int Increment READ singleStep WRITE setSingleStep)
    Q_PROPERTY(bool EditorEnabled READ EditorEnabled WRITE setEditorEnabled)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE setMaxLength)

public:
    explicit TSpinEdit(QWidget *parent = nullptr);

    int MinValue() const { return m_min; }
    void setMinValue(int v);
    int MaxValue() const { return m_max; }
    void setMaxValue(int v);
    int Value() const { return value(); }
    void setValue_(int v) { setValue(v); }
    bool EditorEnabled() const { return m_editorEnabled; }
    void setEditorEnabled(bool v);
    int MaxLength() const { return m_maxLength; }
    void setMaxLength(int v);
    // "Agrupar Produtos pelo Nível: de 0 a 2." (the accessible name first,
    // when there is one); empty without limits.
    QString rangeText() const;
    void stepBy(int steps) override;

signals:
    void OnChange(QObject *Sender);
    void OnEnter(QObject *Sender);
    void OnExit(QObject *Sender);

protected:
    StepEnabled stepEnabled() const override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;

private:
    void applyRange();
    int m_min = 0;
    int m_max = 0;
    bool m_editorEnabled = true;
    int m_maxLength = 0;
};
