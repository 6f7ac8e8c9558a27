// Writes a file so that whoever reads it sees the old file or the whole new
// one, never a part: the bytes go to a temporary file beside the target,
// which replaces the target only on commit(). A SafeFile destroyed (or a
// process killed) before commit() leaves the target as it was.
//
// Every failure throws EHostError with a text for the user that names the
// file and the reason (folder that cannot be made, disk full, no
// permission). After a throw the SafeFile is discarded.
#pragma once

#include <QSaveFile>
#include <QString>

class SafeFile {
public:
    // Makes the target's folder when missing and opens the temporary file.
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
    // Replaces the target with what was written.
    void commit();
    // Drops what was written; the target stays as it was.
    void discard();

    // The target written with bytes in one go.
    static void writeAll(const QString &target, const QByteArray &bytes);
    // The message of a write that failed, for writers that do their own I/O.
    static QString failureText(const QString &target, const QString &reason);

private:
    [[noreturn]] void fail(const QString &reason);

    QString m_target;
    QSaveFile m_file;
    bool m_open = false;
};
