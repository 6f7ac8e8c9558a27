// Data source: shows the rows of one data set (a TADOIBQuery's Query member)
// to search lists and other data-aware parts.
#pragma once

#include <QObject>
#include <QPointer>

class TADOIBDataSet;

class TDataSource : public QObject {
    Q_OBJECT
    Q_PROPERTY(QObject *DataSet READ DataSet WRITE setDataSet)
    Q_PROPERTY(bool Enabled MEMBER m_enabled)

public:
    Q_INVOKABLE explicit TDataSource(QObject *parent = nullptr);

    QObject *DataSet() const { return m_dataSet; }
    void setDataSet(QObject *v) { m_dataSet = v; }
    // The data set as the query layer's class; nullptr when none or another kind.
    TADOIBDataSet *dataSet() const;
    bool Enabled() const { return m_enabled; }

private:
    QPointer<QObject> m_dataSet;
    bool m_enabled = true;
};
