// Which other program holds a lock on a file, as the kernel lists them
// (/proc/locks, POSIX and flock locks): for messages that name the program
// that keeps a database busy. Locks of this process are left out.
#pragma once

#include <QString>
#include <QStringList>

namespace FileLockHolder {

// "sqlite3 (processo 4321)" for the first other process holding a lock on
// any of the files; empty when none does or it cannot be known (no
// /proc/locks, a process of another namespace).
QString describe(const QStringList &files);

} // namespace FileLockHolder
