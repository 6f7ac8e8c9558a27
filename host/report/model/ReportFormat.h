// How values look: on the page (Brazilian Portuguese: 1.234,56 and
// dd/MM/yyyy) and in CSV (plain: 1234.56 and yyyy-MM-dd, so that files
// compare and load anywhere).
#pragma once

#include "ReportDefinition.h"
#include "core/FixedDecimal.h"

#include <QVariant>
#include <optional>

class ReportFormat {
public:
    static QString display(const ReportColumn &col, const QVariant &v);
    // A subtotal or total as printed.
    static QString display(const ReportColumn &col, const FixedDecimal &amount);
    static QString csv(const ReportColumn &col, const QVariant &v);
    // An Integer or Number column's value exactly as printed: rounded to the
    // column's decimals (none for Integer). nullopt for other columns, null
    // values and values that are no number. Sums add these, so a total is the
    // sum of the printed values, to the last decimal.
    static std::optional<FixedDecimal> amount(const ReportColumn &col, const QVariant &v);
    static int scaleOf(const ReportColumn &col);
    // A parameter's value as printed in the page header.
    static QString param(const ReportParamDecl &decl, const QVariant &v);
    // A value with no column (template fields): dates as dd/MM/yyyy.
    static QString plain(const QVariant &v);
    // Reads a date or date-time however it comes: QDate, QDateTime, the
    // host's date-time (days since 30/12/1899 as a number), ISO text
    // (SQLite), dd/MM/yyyy [hh:mm:ss] or d/M/yyyy; invalid when none of these.
    static QDateTime toDateTime(const QVariant &v);
};
