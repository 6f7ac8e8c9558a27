// Where merenda-report hands its files over for delivery by e-mail: one
// call with everything a message needs. Until the delivery library is
// connected here, a run that asks for e-mail fails (exit code 1) with a
// message that says so, its files left in place, so that nobody takes an
// undelivered report for a delivered one.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

struct DeliveryRequest {
    QStringList files;      // the paths written by the run
    QStringList recipients; // addresses, as given with --mail
    QString report;         // the report's title
    QString branch;         // the aggregated branch's code and name
    QDate periodStart, periodEnd;
};

namespace ReportDelivery {
// Sends the files; empty when delivered, else why not (Portuguese, saying
// what to do).
QString deliver(const DeliveryRequest &request);
}
