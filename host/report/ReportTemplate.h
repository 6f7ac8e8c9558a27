// Texts with {NAME} fields: page header lines, group headers, subtotal
// captions and the footer. A name is a parameter (P_...), a look-up field
// (query.FIELD), {page}/{pages}, or else a field of the current row.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class ReportTemplate {
public:
    static QStringList names(const QString &tpl);
    static bool isRowField(const QString &name);
    // Replaces each {NAME} with value(NAME).
    static QString expand(const QString &tpl, const std::function<QString(const QString &)> &value);
};
