// What the user chose on the screen, as plain values, and the report
// parameters they give. No widgets and no database: the screen reads its
// controls into a ReportSelection, and reportParameters() fills whichever of
// the seventeen parameters the report definition declares.
#pragma once

#include <QDate>
#include <QString>
#include <functional>

class TParams;

struct ProductRange {
    QString initial, final;
};

// The product range the report receives for two typed codes, blanks
// trimmed. The final code gets a run of "z" up to the full code length, so
// that its whole subtree falls inside; levelLength gives a code's
// accumulated length at its own level.
ProductRange productRangeFor(const QString &initialCode, const QString &finalCode, int fullLength,
                             const std::function<int(const QString &)> &levelLength);

struct ReportSelection {
    QString central;          // the central's code
    QString branch;           // the aggregated branch's code
    QString costTypeName;     // the cost type chosen, as listed
    int costTypeNumber = 0;   // its number on the costs server
    QString services;         // the effective service list, codes joined by '_'
    QString productInitial;   // the product range, as productRange() gives it
    QString productFinal;
    QDate dateInitial;        // the period
    QDate dateFinal;
    QDate monthFirst;         // first day of the initial date's month
    QDate monthLast;          // last day of the final date's month
    bool stockable = false;   // product kinds
    bool nonStockable = false;
    int levelLength = 0;      // accumulated code length of the grouping level
    int codeLength = 0;       // full code length when ordered by code, else 0
};

// The date as the report receives it as text: the locale's short date.
QString reportDateText(const QDate &date);

// Sets each parameter of params that the selection gives (P_CDFILCENTXEV,
// P_CDFILIAL, P_NMCUSTO, P_NRTIPOCUSTO, P_CDSERVFILI, P_CDPRODUTOINI,
// P_CDPRODUTOFIN, P_DTINICIAL, P_DTFINAL, P_DTPERIINIC, P_DTPERIFINA,
// P_DTMESINIC, P_DTMESFINA, P_IDESTOCAVEIS, P_IDNESTOCAVEIS, P_NRTAMACNIVEL,
// P_NRTAMCODIGO) and the definition declares; the others are left alone.
void fillReportParameters(TParams &params, const ReportSelection &selection);
