// One unattended run of merenda-report: opens the database (no one is
// asked for a password), checks the working branch, starts a costs server
// when none is configured, opens the report screen offscreen in the
// shell's main window, applies the set and writes the files
// (TfrmDadosGerRel::writeFiles), hands them to the delivery when asked,
// and prints one JSON line a set. With --due, every due set in turn (DueRuns),
// each into a subfolder named after it. Every message the screen shows goes
// to standard error as it is.
#pragma once

#include "ReportDelivery.h"
#include "RoutineOptions.h"

#include <QVariantMap>

class RunHistory;
struct RunRecord;
class TfrmDadosGerRel;

class UnattendedRun {
public:
    explicit UnattendedRun(const RoutineOptions &options);
    // The exit code: 0 when every set's files are written (and delivered),
    // 1 when the screen, the database or the delivery refused one, 2 for an
    // unknown working branch.
    int execute();

private:
    // What one set's run gave.
    struct SetRun {
        QString set;
        QString folder;
        QStringList files;
        qint64 rows = 0;
        QString title;
        QVariantMap params; // the report's parameters as the screen filled them
        qint64 ms = 0;
    };

    int runSets(TfrmDadosGerRel &screen);
    int runDue(TfrmDadosGerRel &screen);
    // One set into folder: exit code 0 or 1.
    int runOne(TfrmDadosGerRel &screen, const QString &set, const QString &folder);
    // A run the screen or the database refused, in the history of runs.
    void endRefused(RunHistory &history, qint64 id, const RunRecord &record, const QString &why);
    DeliveryRequest deliveryRequest() const;
    void printSummary(const QString &deliveryFailure) const;

    const RoutineOptions &m_options;
    SetRun m_run;
    QString m_lastMessage; // the screen's last message, the reason of a refusal
};
