// HostUi for tests and scripted sessions: records every message, answers
// prompts from queues filled in advance, and never opens a window.
#pragma once

#include "HostUi.h"

#include <QList>
#include <QQueue>
#include <functional>

class ScriptedHostUi : public HostUi {
public:
    struct Message {
        enum Kind { Error, Exception, Info } kind;
        QString text;
        bool abort;
    };

    void showError(const QString &text, bool abort) override;
    void showException(const QString &text) override;
    void showInfo(const QString &text) override;
    bool askText(const QString &caption, const QString &prompt, QString &value) override;
    QString askSaveFileName(const QString &title, const QString &filter,
                            const QString &initial) override;

    QList<Message> messages;
    // An empty optional-like entry (null QString) answers "cancel".
    QQueue<QString> textAnswers;
    QQueue<QString> saveFileAnswers;
    // Called after each message is recorded (scripted sessions print it).
    std::function<void(const Message &)> onMessage;

    QStringList messageTexts() const;
    void clear();
};
