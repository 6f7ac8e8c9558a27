#include "ReportChartData.h"

#include <algorithm>

void ReportChartData::setUp(const ReportDefinition &def, const ReportValues &values)
{
    m_values = &values;
    m_label = def.chart.labelTemplate;
    m_key = values.fieldIndex(def.chart.keyField);
    m_value = values.fieldIndex(def.chart.valueField);
}

void ReportChartData::take(const QVector<QVariant> &row)
{
    if (m_value < 0 || m_value >= row.size())
        return;
    const FixedDecimal v = FixedDecimal::fromVariant(row[m_value], 2).value_or(FixedDecimal(0, 2));
    const QString key = m_key >= 0 && m_key < row.size() ? row[m_key].toString() : QString();
    auto it = m_bars.find(key);
    if (it != m_bars.end()) {
        it->add(v);
    } else if (m_bars.size() < MaxBars) {
        Bar bar;
        bar.label = m_label.isEmpty() ? key : m_values->expand(m_label, &row);
        bar.add(v);
        m_bars.insert(key, bar);
    } else {
        m_others.add(v);
        m_hasOthers = true;
    }
}

QList<ReportChartData::Bar> ReportChartData::bars(int max) const
{
    QList<QPair<QString, Bar>> all;
    for (auto it = m_bars.begin(); it != m_bars.end(); ++it)
        all.append({it.key(), it.value()});
    Bar others = m_others;
    bool hasOthers = m_hasOthers;
    if (int(all.size()) + (hasOthers ? 1 : 0) > max) {
        // Keep the largest, in key order; the rest go to "Outros".
        QList<QPair<QString, Bar>> bySize = all;
        std::stable_sort(bySize.begin(), bySize.end(),
                         [](const auto &a, const auto &b) { return a.second.value > b.second.value; });
        const int keep = qMax(0, max - 1);
        QSet<QString> kept;
        for (int i = 0; i < keep && i < bySize.size(); ++i)
            kept.insert(bySize[i].first);
        QList<QPair<QString, Bar>> shown;
        for (const auto &b : std::as_const(all)) {
            if (kept.contains(b.first)) {
                shown.append(b);
            } else {
                others.add(b.second.amount);
                hasOthers = true;
            }
        }
        all = shown;
    }
    QList<Bar> out;
    for (const auto &b : std::as_const(all))
        out.append(b.second);
    if (hasOthers) {
        others.label = QStringLiteral("Outros");
        out.append(others);
    }
    return out;
}
