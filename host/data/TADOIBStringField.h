// A string field of a TADOIBQuery: persistent when its definition block sits
// inside the query's (FieldName, Size, DisplayLabel, Visible, Required,
// EditMask, ...), transient when FieldByName makes one for a result column
// that has no persistent field. It reads the query's current row.
#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

class TADOIBQuery;

class TADOIBStringField : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString FieldName READ FieldName WRITE setFieldName)
    Q_PROPERTY(int Size READ Size WRITE setSize)
    Q_PROPERTY(QString DisplayLabel READ DisplayLabel WRITE setDisplayLabel)
    Q_PROPERTY(int DisplayWidth READ DisplayWidth WRITE setDisplayWidth)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)
    Q_PROPERTY(bool Required READ Required WRITE setRequired)
    Q_PROPERTY(QString EditMask READ EditMask WRITE setEditMask)

public:
    // The string field's default size, used when a definition stores none.
    static constexpr int DefaultSize = 20;

    Q_INVOKABLE explicit TADOIBStringField(QObject *parent = nullptr);

    QString FieldName() const { return m_fieldName; }
    void setFieldName(const QString &v) { m_fieldName = v; }
    int Size() const { return m_size; }
    void setSize(int v) { m_size = v; }
    QString DisplayLabel() const { return m_displayLabel; }
    void setDisplayLabel(const QString &v) { m_displayLabel = v; }
    // The stored width, else the size.
    int DisplayWidth() const { return m_displayWidth > 0 ? m_displayWidth : m_size; }
    void setDisplayWidth(int v) { m_displayWidth = v; }
    bool Visible() const { return m_visible; }
    void setVisible(bool v) { m_visible = v; }
    bool Required() const { return m_required; }
    void setRequired(bool v) { m_required = v; }
    QString EditMask() const { return m_editMask; }
    void setEditMask(const QString &v) { m_editMask = v; }

    // The label a list shows: DisplayLabel, else the column name.
    QString DisplayName() const;

    // The current row's value as text: empty when null or when the query
    // has no current row (empty result, past the end). Throws EHostError
    // when the query is closed.
    Q_INVOKABLE QString AsString() const;
    QVariant Value() const;
    bool IsNull() const;

    // The query this field belongs to (nullptr when it belongs to none).
    TADOIBQuery *query() const;
    bool isTransient() const { return m_transient; }
    void setTransient(bool v) { m_transient = v; }

private:
    QString m_fieldName;
    int m_size = DefaultSize;
    QString m_displayLabel;
    int m_displayWidth = 0;
    bool m_visible = true;
    bool m_required = false;
    QString m_editMask;
    bool m_transient = false;
};
