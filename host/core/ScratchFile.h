// A temporary file with no name in any folder: made unnamed (O_TMPFILE) or
// removed right after it is opened, so that nothing is left behind whatever
// ends the process, a SIGKILL included. Its bytes go when the last descriptor
// on it closes.
//
// path() names it for code that can only open files by name (libraries,
// a second reader with a position of its own): /proc/self/fd/N, valid while
// the ScratchFile lives, in this process only.
//
// The constructor throws EHostError, naming the folder and saying what to
// do, when the file cannot be made there.
#pragma once

#include <QString>

class ScratchFile {
public:
    // In dir (the system's temporary folder when empty). what names the
    // file's use in messages ("as linhas do relatório").
    explicit ScratchFile(const QString &what, const QString &dir = QString());
    ~ScratchFile();
    ScratchFile(const ScratchFile &) = delete;
    ScratchFile &operator=(const ScratchFile &) = delete;

    int fd() const { return m_fd; }
    QString path() const;
    QString folder() const { return m_dir; }
    // The size on disk now (0 when it cannot be told).
    qint64 size() const;

    // The message for a temporary file that could not be written: names the
    // folder, says when it is full and what to do.
    static QString writeFailure(const QString &what, const QString &dir, int error);
    // Whether the folder has (almost) no room left for a user: under 1 MB.
    static bool isFull(const QString &dir);

private:
    QString m_dir;
    int m_fd = -1;
};
