// Turns a run's rows, in order, into the lines a report prints: a group
// header where a group starts, the row's detail line, a subtotal where a
// group ends (inner groups first), then the grand total, the chart, or the
// "no rows" line. One row at a time, so that no row needs to stay in memory;
// its state can be saved and restored, so that painting may start again at
// any row (a page of the preview).
#pragma once

#include "ReportValues.h"
#include "core/FixedDecimal.h"

#include <QList>
#include <QStringList>
#include <QVector>

struct ReportLine {
    // Continued: a group's header again at the top of a page it runs onto.
    // Chart: the chart, as tall as several lines.
    enum Kind { GroupHeader, Detail, Subtotal, Total, Empty, Continued, Chart } kind;
    int level = 0;         // group level (GroupHeader, Subtotal, Continued)
    qint64 row = -1;       // Detail: index of its row
    QString text;          // the caption of anything but a detail line
    // Subtotal/Total: one per column, exact at the column's decimals (the
    // sum of the values as printed; zero for columns not summed).
    QVector<FixedDecimal> sums;
};

class ReportLineStream {
public:
    // Where the stream stands between two rows.
    struct State {
        qint64 rows = 0;             // rows taken so far
        QStringList keys;            // the value of each group level's field
        QStringList headers;         // the header each open group printed ("" for none)
        QVector<FixedDecimal> sums;  // per column: the grand total, then each open group, outer first
        QVector<QVariant> last;      // the row taken last
    };

    // values must outlive the stream and know the rows' fields.
    explicit ReportLineStream(const ReportValues &values, const ReportDefinition &def);

    // Appends to out the lines that row brings (its detail line last).
    void take(const QVector<QVariant> &row, QList<ReportLine> &out);
    // Appends the lines after the last row.
    void end(QList<ReportLine> &out);

    const State &state() const { return m_state; }
    void restore(const State &s) { m_state = s; }
    // The group levels still open before a line (its "context"): the levels
    // whose headers a page starting at that line repeats.
    int openLevelsBefore(const ReportLine &line) const;
    int groupCount() const { return int(m_groupIdx.size()); }
    // How many lines one row can bring at most.
    int maxLinesPerRow() const { return 2 * groupCount() + 1; }

private:
    QString key(int level, const QVector<QVariant> &row) const;
    // The sums of the grand total (level -1) or of the open group of a level.
    QVector<FixedDecimal> sumsOf(int level) const;
    void close(int fromLevel, QList<ReportLine> &out);

    const ReportValues &m_values;
    const ReportDefinition &m_def;
    QVector<int> m_groupIdx;   // group level -> index in the row
    QVector<int> m_sumIdx;     // column -> index in the row, -1 when not summed
    State m_state;
};
