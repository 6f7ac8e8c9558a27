// Where a report's rows go when they are exported, one line at a time,
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
#include <QStringList>
#include <QVariant>
#include <QVector>

// What is exported: the report's title, the items of its page header as
// printed ("Período: 01/03/2026 a 31/03/2026"), and its columns in order.
// Only the caption, format, decimals, date pattern and sum of each column
// are read.
struct ExportSheet {
    QString title;
    QStringList header;
    QList<ReportColumn> columns;
};

// One line of the export, in the order the printed report has them.
struct ExportRow {
    enum class Kind { Detail, GroupHeader, Subtotal, Total };
    Kind kind = Kind::Detail;
    // The group level of a header or subtotal (0: outermost).
    int level = 0;
    // What the paper prints on a line that is not a detail ("01 - Cereais",
    // "Total de 01 - Cereais", "Total Geral").
    QString label;
    // One value per column: as the database gave it (numbers, dates as
    // QDate/QDateTime or ISO text, text), a FixedDecimal for a sum; null for
    // an empty cell.
    QVector<QVariant> values;

    // The row's kind as the CSV's first column names it ("Linha", "Grupo",
    // "Subtotal", "Total").
    QString kindName() const;
};

class ReportRowSink {
public:
    virtual ~ReportRowSink();
    virtual void begin(const ExportSheet &sheet) = 0;
    virtual void row(const ExportRow &row) = 0;
    virtual void commit() = 0;
    virtual void abort() = 0;

    // A detail line of these values.
    void detail(const QVector<QVariant> &values) { row(ExportRow{ExportRow::Kind::Detail, 0, QString(), values}); }
};
