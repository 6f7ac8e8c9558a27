// One unattended run of merenda-report: opens the database (no one is
// asked for a password), checks the working branch, starts a costs server
// when none is configured, opens the report screen offscreen in the
// shell's main window, applies the set and writes the files
// (TfrmDadosGerRel::writeFiles). Every message the screen shows goes to
// standard error as it is.
#pragma once

#include "ReportDelivery.h"
#include "RoutineOptions.h"

#include <QElapsedTimer>
#include <QVariantMap>

class TfrmDadosGerRel;

class UnattendedRun {
public:
    explicit UnattendedRun(const RoutineOptions &options);
    // The exit code: 0 when the files are written, 1 when the screen or the
    // database refused, 2 for an unknown working branch.
    int execute();
    // After execute() returned 0: what the delivery needs.
    DeliveryRequest deliveryRequest() const;
    // The JSON line on standard output: set, report, branch, period, files,
    // rows, duration (ms), and the delivery's failure when there was one.
    void printSummary(const QString &deliveryFailure) const;

private:
    int openData();
    int runScreen(TfrmDadosGerRel &screen);
    void watchParameters(TfrmDadosGerRel &screen);

    const RoutineOptions &m_options;
    QElapsedTimer m_clock;
    QStringList m_files;
    qint64 m_rows = 0;
    QString m_title;
    QVariantMap m_params; // the report's parameters as the screen filled them
};
