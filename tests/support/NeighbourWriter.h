// Test fixture: another program writing to a SQLite database while the
// shell uses it, as an office's other tools do: the sqlite3 shell, fed one
// INSERT every interval into a table of its own (VIZINHO), waiting for the
// database at most busyTimeoutMs each time (its own busy timeout). stop() ends
// it and tells how many writes it was given, how many reached the table
// and what it complained of.
#pragma once

#include <QProcess>
#include <QString>
#include <QTimer>

class NeighbourWriter : public QObject {
public:
    struct Result {
        int sent = 0;
        int written = -1;   // rows in VIZINHO after the run; -1 when unknown
        QString complaints; // the sqlite3 shell's standard error
        bool ok() const { return sent > 0 && written == sent && complaints.isEmpty(); }
    };

    // false with *why when sqlite3 cannot run.
    bool start(const QString &database, int intervalMs, int busyTimeoutMs, QString *why);
    Result stop();
    int sent() const { return m_sent; }

private:
    void writeOne();

    QString m_database;
    QProcess m_shell;
    QTimer m_timer;
    int m_sent = 0;
};
