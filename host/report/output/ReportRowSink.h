// Where a report's rows go when they are exported, one row at a time,
// whatever produces them (a run kept in memory, a run read on a worker).
//
// A sink is used once: begin(), row() any number of times, then commit(),
// which makes the whole file appear at once, or abort(), which leaves no
// trace (a file that was there before stays as it was). Destroying a sink
// that was not committed aborts it. begin(), row() and commit() throw
// EHostError with a text for the user when they cannot go on; after a throw
// only abort() (or destruction) follows.
#pragma once

#include "report/model/ReportDefinition.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <QVector>

// What is exported: the sheet's title and its columns in order. Only the
// caption, format, decimals and date pattern of each column are read.
struct ExportSheet {
    QString title;
    QList<ReportColumn> columns;
};

class ReportRowSink {
public:
    virtual ~ReportRowSink();
    virtual void begin(const ExportSheet &sheet) = 0;
    // One value per column, as the database gave it (numbers, dates as
    // QDate/QDateTime or ISO text, text); null for an empty cell.
    virtual void row(const QVector<QVariant> &values) = 0;
    virtual void commit() = 0;
    virtual void abort() = 0;
};
