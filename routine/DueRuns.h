// Which scheduled sets merenda-report --due runs now, and what it ran: a
// set is due when its schedule's latest moment (RunSchedule::lastDue) is
// after the moment of its last successful scheduled run, kept per user in
// the data folder (rotina-agendada.json, written whole through SafeFile).
// So a run missed while the machine was off is caught up once, by the next
// call, and a second call for the same moment runs nothing. Only the user's
// own sets run: personal ones, and shared ones the user made. One --due at
// a time per user (a lock file beside the record); throws EHostError when
// the record cannot be read or written.
#pragma once

#include "session/ParameterSets.h"

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QLockFile>

class DueRuns {
public:
    struct Due {
        ParameterSet set;
        QDateTime moment; // the schedule's moment this run stands for
    };

    DueRuns();
    // False when another --due of this user is running.
    bool lock();
    // The sets of sets due at now, not yet run for their moment.
    QList<Due> due(const QList<ParameterSet> &sets, const QDateTime &now) const;
    // Records a successful run of due.
    void ran(const Due &due);

private:
    static QString key(const ParameterSet &set);
    QString m_file;
    QLockFile m_lock;
    QJsonObject m_record;
};
