// Writes a file so that whoever reads it sees the old file or the whole new
// one, never a part: the bytes go to a file with no name in the target's
// folder (O_TMPFILE; on a file system without it, a hidden file removed as
// soon as it is opened), which takes the target's name only on commit(). A
// SafeFile destroyed (or a process killed, even by SIGKILL) before commit()
// leaves the target as it was and nothing else in the folder.
//
// Every failure throws EHostError with a text for the user that names the
// file and the reason (folder that cannot be made, disk full, no
// permission). After a throw the SafeFile is discarded.
#pragma once

#include <QFile>
#include <QString>

class SafeFile {
public:
    // Makes the target's folder when missing and opens the unnamed file.
    explicit SafeFile(const QString &target);
    ~SafeFile();
    SafeFile(const SafeFile &) = delete;
    SafeFile &operator=(const SafeFile &) = delete;

    QString target() const { return m_target; }
    // For writers that take a device (QPdfWriter, QTextStream...); check
    // with commit(), which fails if any write on it failed.
    QIODevice *device() { return &m_file; }
    void write(const QByteArray &bytes);
    // Copies a whole file in (for libraries that only write to a path).
    void writeFrom(const QString &path);
    // Replaces the target with what was written (its permissions kept).
    void commit();
    // Gives what was written the target's name only when no file has that
    // name: false (and nothing changed; the SafeFile may be committed under
    // another name with retarget()) when one has. A new name is thus claimed
    // with its whole content at once, never by an empty file first.
    bool commitNew();
    // Another target in the same folder, before commit.
    void retarget(const QString &target);
    // Drops what was written; the target stays as it was.
    void discard();

    // The target written with bytes in one go.
    static void writeAll(const QString &target, const QByteArray &bytes);
    // The message of a write that failed, for writers that do their own I/O.
    static QString failureText(const QString &target, const QString &reason);

private:
    [[noreturn]] void fail(const QString &reason);
    [[noreturn]] void failErrno(int error);
    void flushAll();
    // Links the written bytes under name; the errno of a failure.
    int linkAs(const QString &name);

    QString m_target;
    QFile m_file;
    int m_fd = -1;
    QByteArray m_named; // the hidden file's name where unnamed files cannot be made
    bool m_open = false;
};
