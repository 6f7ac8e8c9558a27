// Where merenda-report hands its files over for delivery by e-mail: one
// call with everything a message needs, sent through the office's SMTP
// server as the [mail] section of the configuration says (MailDelivery).
// A delivery that fails leaves the files in place and says why and where
// they are, so that nobody takes an undelivered report for a delivered one.
#pragma once

#include "remote/MailDelivery.h"

#include <QDate>
#include <QString>
#include <QStringList>

struct DeliveryRequest {
    MailSettings settings;  // the configuration's [mail] section
    QStringList files;      // the paths written by the run
    QStringList recipients; // addresses, as given with --mail
    QString report;         // the report's title
    QString branch;         // the aggregated branch's code and name
    QDate periodStart, periodEnd;
};

namespace ReportDelivery {
// Sends the files; empty when delivered, else why not (Portuguese, saying
// what to do). Never throws.
QString deliver(const DeliveryRequest &request);
}
