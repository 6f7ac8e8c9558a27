// A table of keyed texts: each line of Messages is "key|text". Msg compares
// keys without regard to case and gives an empty text for a key that is not
// there.
#pragma once

#include <QObject>
#include <QStringList>

class TMessages : public QObject {
    Q_OBJECT
    Q_PROPERTY(QStringList Messages READ Messages WRITE setMessages)

public:
    explicit TMessages(QObject *parent = nullptr);
    QStringList Messages() const { return m_lines; }
    void setMessages(const QStringList &lines) { m_lines = lines; }
    QString Msg(const QString &key) const;

private:
    QStringList m_lines;
};
