// The save dialog component: asks for a file name through HostUi.
#pragma once

#include <QObject>
#include <QStringList>

class TSaveDialog : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Filter MEMBER m_filter)
    Q_PROPERTY(QString DefaultExt MEMBER m_defaultExt)
    Q_PROPERTY(QString FileName MEMBER m_fileName)
    Q_PROPERTY(QString Title MEMBER m_title)
    Q_PROPERTY(QString InitialDir MEMBER m_initialDir)

public:
    explicit TSaveDialog(QObject *parent = nullptr);
    // True when the user gave a file name (in FileName, with DefaultExt added).
    bool Execute();
    QString FileName() const { return m_fileName; }

private:
    QString m_filter, m_defaultExt, m_fileName, m_title, m_initialDir;
};
