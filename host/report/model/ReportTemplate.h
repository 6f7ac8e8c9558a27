// Texts with {NAME} fields: page header lines, group headers, subtotal
// captions, chart labels and the footer. A name is a parameter (P_...), a
// look-up field (query.FIELD), {page}, {pages}, {now} (the time of printing),
// or else a field of the current row. Filters may follow the name, each after
// a bar, applied left to right:
//   {CDARVPROD|picture}        the code through the code picture (01.01.0003)
//   {P_NRTAMACNIVEL|level}     the level of an accumulated code length (4 -> 2)
//   {P_IDESTOCAVEIS|S=Sim;N=Não}  a value replaced by the text after '='; '*='
//                              replaces any other value; no match leaves it.
//   {servicos.DSSERVICO|all}   a look-up field of every row, joined by ", "
//                              (first filter only)
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class ReportTemplate {
public:
    // The names of the fields, without their filters.
    static QStringList names(const QString &tpl);
    // The fields as written, filters included ("NAME|picture").
    static QStringList fields(const QString &tpl);
    static bool isRowField(const QString &name);
    // The name of a field ("NAME" of "NAME|picture") and its filters.
    static QString nameOf(const QString &field);
    static QStringList filtersOf(const QString &field);
    // Whether a filter is one of the three kinds above.
    static bool isKnownFilter(const QString &filter);
    // A choice filter applied to a value (unchanged when none matches).
    static QString choose(const QString &filter, const QString &value);
    // Replaces each {FIELD} with value(FIELD), FIELD as written.
    static QString expand(const QString &tpl, const std::function<QString(const QString &)> &value);
};
