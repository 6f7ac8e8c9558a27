// Notices for the person at the shell that must not stop the work: something
// went wrong, the program carries on, and the person should know why (the
// costs server did not answer, say). Whoever notices calls post(); the shell
// shows each notice in its status bar and writes it to standard error. With
// nobody listening a notice is dropped. Lives in the GUI thread.
#pragma once

#include <QObject>
#include <QString>

class ShellNotices : public QObject {
    Q_OBJECT
public:
    static ShellNotices &instance();

    void post(const QString &text) { emit notice(text); }

signals:
    void notice(const QString &text);

private:
    ShellNotices() = default;
};
