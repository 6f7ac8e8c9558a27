// How values look: on the page (Brazilian Portuguese: 1.234,56 and
// dd/MM/yyyy) and in CSV (plain: 1234.56 and yyyy-MM-dd, so that files
// compare and load anywhere).
#pragma once

#include "ReportDefinition.h"

#include <QVariant>

class ReportFormat {
public:
    static QString display(const ReportColumn &col, const QVariant &v);
    static QString csv(const ReportColumn &col, const QVariant &v);
    // A parameter's value as printed in the page header.
    static QString param(const ReportParamDecl &decl, const QVariant &v);
    // A value with no column (template fields): dates as dd/MM/yyyy.
    static QString plain(const QVariant &v);
    // Reads a date that may come as QDate, QDateTime or ISO text (SQLite).
    static QDateTime toDateTime(const QVariant &v);
};
