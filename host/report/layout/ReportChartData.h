// The figures of a report's bar chart, summed while the rows are read: one
// bar per value of the chart's key field, in the order of the keys, labelled
// by the chart's template on the first row of each key. At most MaxBars keys
// are kept; the rows of any further key are summed into "Outros".
#pragma once

#include "ReportValues.h"
#include "core/FixedDecimal.h"

#include <QMap>

class ReportChartData {
public:
    static constexpr int MaxBars = 500;

    struct Bar {
        QString label;
        double value = 0;                  // for the bar's length
        FixedDecimal amount{0, 2};         // exact, for its label
        void add(const FixedDecimal &a)
        {
            amount = amount.plus(a);
            value = amount.toDouble();
        }
    };

    void setUp(const ReportDefinition &def, const ReportValues &values);
    void take(const QVector<QVariant> &row);
    // The bars, at most max: the largest max - 1 and "Outros" for the rest
    // when there are more, in key order.
    QList<Bar> bars(int max) const;
    int barCount() const { return int(m_bars.size()) + (m_hasOthers ? 1 : 0); }

private:
    const ReportValues *m_values = nullptr;
    QString m_label;
    int m_key = -1, m_value = -1;
    QMap<QString, Bar> m_bars;
    Bar m_others;
    bool m_hasOthers = false;
};
