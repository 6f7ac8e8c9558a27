#include "ReportSelection.h"

#include "core/CodePage1252.h"
#include "core/StringFunctions.h"
#include "data/TParam.h"

#include <QLocale>

namespace {
QString yesNo(bool v) { return v ? QStringLiteral("S") : QStringLiteral("N"); }

struct ParameterRule {
    const char *name;
    void (*set)(TParam &, const ReportSelection &);
};

// One rule a parameter: the report's definition decides which it declares.
const ParameterRule kRules[] = {
    {"P_CDFILCENTXEV", [](TParam &p, const ReportSelection &s) { p.SetAsString(s.central); }},
    {"P_CDFILIAL", [](TParam &p, const ReportSelection &s) { p.SetAsString(s.branch); }},
    {"P_NMCUSTO", [](TParam &p, const ReportSelection &s) { p.SetAsString(s.costTypeName); }},
    {"P_NRTIPOCUSTO", [](TParam &p, const ReportSelection &s) { p.SetAsInteger(s.costTypeNumber); }},
    {"P_CDSERVFILI", [](TParam &p, const ReportSelection &s) { p.SetAsString(s.services); }},
    {"P_CDPRODUTOINI", [](TParam &p, const ReportSelection &s) { p.SetAsString(s.productInitial); }},
    {"P_CDPRODUTOFIN", [](TParam &p, const ReportSelection &s) { p.SetAsString(s.productFinal); }},
    {"P_DTINICIAL", [](TParam &p, const ReportSelection &s) { p.SetAsDateTime(s.dateInitial.startOfDay()); }},
    {"P_DTFINAL", [](TParam &p, const ReportSelection &s) { p.SetAsDateTime(s.dateFinal.startOfDay()); }},
    {"P_DTPERIINIC", [](TParam &p, const ReportSelection &s) { p.SetAsVariant(reportDateText(s.dateInitial)); }},
    {"P_DTPERIFINA", [](TParam &p, const ReportSelection &s) { p.SetAsVariant(reportDateText(s.dateFinal)); }},
    {"P_DTMESINIC", [](TParam &p, const ReportSelection &s) { p.SetAsDateTime(s.monthFirst.startOfDay()); }},
    {"P_DTMESFINA", [](TParam &p, const ReportSelection &s) { p.SetAsDateTime(s.monthLast.startOfDay()); }},
    {"P_IDESTOCAVEIS", [](TParam &p, const ReportSelection &s) { p.SetAsString(yesNo(s.stockable)); }},
    {"P_IDNESTOCAVEIS", [](TParam &p, const ReportSelection &s) { p.SetAsString(yesNo(s.nonStockable)); }},
    {"P_NRTAMACNIVEL", [](TParam &p, const ReportSelection &s) { p.SetAsVariant(s.levelLength); }},
    {"P_NRTAMCODIGO", [](TParam &p, const ReportSelection &s) { p.SetAsVariant(s.codeLength); }},
};
} // namespace

ProductRange productRangeFor(const QString &initialCode, const QString &finalCode, int fullLength,
                             const std::function<int(const QString &)> &levelLength)
{
    // Codes in the wrong order come only when no check ran: the greater code
    // becomes the upper bound and its run of "z" covers its whole subtree,
    // as in the ordered case.
    const bool ordered = CodePage1252::compare(initialCode, finalCode) <= 0;
    const QString &low = ordered ? initialCode : finalCode;
    const QString &high = ordered ? finalCode : initialCode;
    return {AllTrim(low), AllTrim(high) + Replicate(QStringLiteral("z"), fullLength - levelLength(high))};
}

QString reportDateText(const QDate &date)
{
    // Dates reach the report at midnight, so no time of day is ever added;
    // as Brazilians write them whatever the locale of the process.
    return QLocale(QLocale::Portuguese, QLocale::Brazil).toString(date, QLocale::ShortFormat);
}

void fillReportParameters(TParams &params, const ReportSelection &selection)
{
    for (const ParameterRule &rule : kRules) {
        const QString name = QLatin1String(rule.name);
        if (ExistParam(params, name))
            rule.set(params.ParamByName(name), selection);
    }
}
