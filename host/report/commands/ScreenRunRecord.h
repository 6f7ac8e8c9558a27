// One report run a person asks of a screen, kept in the history of runs
// (RunHistory::installed(); none installed: nothing is kept). Made as the
// command starts, with the screen's choices as they stand; told how it
// ended (refused by the screen's checks, cancelled, failed, done); every
// file the command writes meanwhile (ShellNotices::written) is kept with it.
// A record never told how it ended (an exception the caller did not expect)
// is kept as failed when it goes. Nothing here throws.
#pragma once

#include "session/RunHistory.h"

#include <QMetaObject>

class ScreenRunRecord {
public:
    // history may be null: the record does nothing.
    ScreenRunRecord(RunHistory *history, const RunRecord &run);
    ~ScreenRunRecord();
    ScreenRunRecord(const ScreenRunRecord &) = delete;
    ScreenRunRecord &operator=(const ScreenRunRecord &) = delete;

    void refused(const QString &why) { end(RunRecord::Outcome::Refused, why); }
    void cancelled() { end(RunRecord::Outcome::Cancelled, QString()); }
    void failed(const QString &why) { end(RunRecord::Outcome::Failed, why); }
    void done(qint64 rows)
    {
        m_rows = rows;
        end(RunRecord::Outcome::Done, QString());
    }
    // From an EAbort's text: a message shown means it failed, none that the
    // person cancelled.
    void aborted(const QString &text) { text.isEmpty() ? cancelled() : failed(text); }

private:
    void end(RunRecord::Outcome outcome, const QString &why);

    RunHistory *m_history;
    qint64 m_id = 0;
    qint64 m_rows = -1;
    bool m_ended = false;
    QStringList m_files;
    QMetaObject::Connection m_watch;
};
