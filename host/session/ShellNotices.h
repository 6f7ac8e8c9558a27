// Notices for the person at the shell that must not stop the work: something
// went wrong, the program carries on, and the person should know why (the
// costs server did not answer, say). Whoever notices calls post(); the shell
// shows each notice in its status bar and writes it to standard error. Files
// written and commands done are told here too, for the status bar. With
// nobody listening a notice is dropped. Lives in the GUI thread.
#pragma once

#include <QObject>
#include <QString>

class ShellNotices : public QObject {
    Q_OBJECT
public:
    static ShellNotices &instance();

    void post(const QString &text) { emit notice(text); }
    // The trouble the notices told of is over (the costs server answered):
    // the status bar lets go of the last notice.
    void resolve() { emit resolved(); }
    // A file the person asked for was written (an export, a PDF, a saved
    // report): the status bar says where, with a way to open its folder.
    void written(const QString &path) { emit fileWritten(path); }
    // A command did what was asked, or found nothing to do, with nothing else
    // to show for it ("Relatório padrão escolhido"): the status bar says so.
    void tell(const QString &text) { emit told(text); }

signals:
    void notice(const QString &text);
    void resolved();
    void fileWritten(const QString &path);
    void told(const QString &text);

private:
    ShellNotices() = default;
};
