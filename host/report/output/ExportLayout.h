// The columns of an exported report and the rows of each printed line, so
// that an export stands alone as the paper does:
//  - first, per group whose field is not a column (outer first), its key as
//    stored ("0101", caption "Grupo (chave)") and its header as printed
//    ("01.01 - Arroz", caption "Grupo"); rows of no group (an empty key of a
//    group that skips them, as at level 0) show "Todos";
//  - then the report's columns in order, a code column twice: as the paper
//    shows it through the code picture ("01.01.0001", its caption) and
//    plain ("01010001", caption "... (chave)").
// Group headers, subtotals and the grand total are rows of their own kind
// (ExportRow): their group columns filled up to their level, the sums (as
// exact C-form text, "1234.50") in the columns summed. The sheet's header holds the title's page header
// items, one each: the header lines split where the paper leaves a wide gap,
// then the labelled parameters.
#pragma once

#include "ReportRowSink.h"
#include "report/layout/ReportLineStream.h"

#include <optional>

class ExportLayout {
public:
    // values: the run's (fields of its rows, parameters, look-ups, picture);
    // it must outlive the layout.
    ExportLayout(const ReportDefinition &def, const ReportValues &values);

    static constexpr const char *NoGroup = "Todos";

    const ExportSheet &sheet() const { return m_sheet; }
    // The export row of a printed line; row is the line's row (a detail's
    // own, a group header's first, a subtotal's last). nullopt for lines
    // that hold no values (the empty report's notice, the chart).
    std::optional<ExportRow> shape(const ReportLine &line, const QVector<QVariant> &row) const;

private:
    struct Source {
        enum Role { GroupKey, GroupText, Value, CodeText } role = Value;
        int field = -1;  // index in the fetched row
        int level = 0;   // GroupKey, GroupText: the group's level
        int column = -1; // Value, CodeText: the definition's column
    };
    void addGroups(const ReportDefinition &def);
    QVariant valueOf(const Source &s, const QVector<QVariant> &row) const;

    const ReportDefinition &m_def;
    const ReportValues &m_values;
    ExportSheet m_sheet;
    QList<Source> m_sources;
};
