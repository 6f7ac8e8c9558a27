// The screen's choices as plain values and the report parameters they give,
// without widgets: which parameters are filled (every one the shipped
// reports declare), with what types and values;
// the code lists and the joined text the report receives for them.
#include "data/TParam.h"
#include "report/model/DefinitionParser.h"
#include "report/model/ReportLibrary.h"
#include "report/query/ReportRunner.h"
#include "screen/CodeList.h"
#include "screen/ReportSelection.h"

#include <QLocale>
#include <QTest>

namespace {
ReportSelection sample()
{
    ReportSelection s;
    s.central = QStringLiteral("0100");
    s.branch = QStringLiteral("0101");
    s.costTypeName = QStringLiteral("Custo Médio");
    s.costTypeNumber = 2;
    s.services = QStringLiteral("0001_0002");
    s.productInitial = QStringLiteral("01");
    s.productFinal = QStringLiteral("02zzzzzz");
    s.dateInitial = QDate(2026, 3, 5);
    s.dateFinal = QDate(2026, 4, 20);
    s.monthFirst = QDate(2026, 3, 1);
    s.monthLast = QDate(2026, 4, 30);
    s.stockable = true;
    s.levelLength = 4;
    s.codeLength = 8;
    return s;
}

TParams declared(const QStringList &names)
{
    TParams params;
    for (const QString &n : names)
        params.add(n);
    return params;
}
} // namespace

class TestReportSelection : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }

    void fillsOnlyTheDeclaredParameters()
    {
        TParams params = declared({"P_CDFILIAL", "P_NRTIPOCUSTO", "P_DTPERIINIC", "P_IDNESTOCAVEIS"});
        fillReportParameters(params, sample());
        QCOMPARE(params.Count(), 4);
        QCOMPARE(params.ParamByName("P_CDFILIAL").AsString(), QStringLiteral("0101"));
        QCOMPARE(params.ParamByName("P_NRTIPOCUSTO").dataType(), TParam::DataType::Integer);
        QCOMPARE(params.ParamByName("P_NRTIPOCUSTO").Value().toInt(), 2);
        QCOMPARE(params.ParamByName("P_DTPERIINIC").AsString(), QStringLiteral("05/03/2026"));
        QCOMPARE(params.ParamByName("P_IDNESTOCAVEIS").AsString(), QStringLiteral("N"));
    }

    void everyParameterOfTheStandardReportsIsFilled()
    {
        // A parameter a shipped report declares and the screen does not fill
        // would reach the statement as NULL.
        const QList<ReportEntry> reports = ReportLibrary::list(QStringLiteral("XEV017"));
        QVERIFY(reports.size() >= 2);
        for (const ReportEntry &report : reports) {
            TParams params = ReportRunner::declaredParams(DefinitionParser::parseFile(report.path));
            QVERIFY(params.Count() > 10);
            fillReportParameters(params, sample());
            for (int i = 0; i < params.Count(); ++i)
                QVERIFY2(params.at(i).dataType() != TParam::DataType::Unknown && !params.at(i).IsNull(),
                         qPrintable(report.title + QStringLiteral(": ") + params.at(i).Name()));
        }
        TParams params = declared({"P_DTMESFINA", "P_DTINICIAL", "P_CDPRODUTOFIN", "P_NRTAMACNIVEL",
                                   "P_NRTAMCODIGO", "P_IDESTOCAVEIS"});
        fillReportParameters(params, sample());
        QCOMPARE(params.ParamByName("P_DTMESFINA").Value().toDateTime(), QDate(2026, 4, 30).startOfDay());
        QCOMPARE(params.ParamByName("P_DTINICIAL").dataType(), TParam::DataType::DateTime);
        QCOMPARE(params.ParamByName("P_CDPRODUTOFIN").AsString(), QStringLiteral("02zzzzzz"));
        QCOMPARE(params.ParamByName("P_NRTAMACNIVEL").Value().toInt(), 4);
        QCOMPARE(params.ParamByName("P_NRTAMCODIGO").Value().toInt(), 8);
        QCOMPARE(params.ParamByName("P_IDESTOCAVEIS").AsString(), QStringLiteral("S"));
    }

    void productRangeOrdersCodesByTheCodePage()
    {
        // Two levels of two characters each.
        const auto levelLength = [](const QString &code) { return code.trimmed().size() <= 2 ? 2 : 4; };
        ProductRange r = productRangeFor(QStringLiteral("A1"), QStringLiteral("Š1"), 4, levelLength);
        QCOMPARE(r.initial, QStringLiteral("A1"));
        QCOMPARE(r.final, QStringLiteral("Š1zz"));
        // Wrong order: the greater code is the upper bound, covering its subtree.
        r = productRangeFor(QStringLiteral("€2"), QStringLiteral("Z1"), 4, levelLength);
        QCOMPARE(r.initial, QStringLiteral("Z1"));
        QCOMPARE(r.final, QStringLiteral("€2zz"));
    }

    void codeListsReachTheReportInTheirJoinedForms()
    {
        const QStringList codes = {QStringLiteral("00001"), QStringLiteral("00007"), QStringLiteral("00012")};
        // A list the screen builds: codes joined by "_".
        QCOMPARE(CodeList::built(codes).text(), QStringLiteral("00001_00007_00012"));
        // A list from a search list: as the search list joined it.
        const CodeList picked = CodeList::fromSearch(codes);
        QCOMPARE(picked.text(), QStringLiteral("00001;00007;00012"));
        QCOMPARE(CodeList::fromSearchText(picked.text()).codes(), codes);
        QCOMPARE(CodeList::fromSearchText(picked.text()).text(), picked.text());
        QCOMPARE(CodeList::built({QStringLiteral("0001")}).text(), QStringLiteral("0001"));
        // No codes, no text, however the list was made.
        QCOMPARE(CodeList().text(), QString());
        QVERIFY(CodeList::built({}).text().isEmpty());
        QVERIFY(CodeList::fromSearchText(QStringLiteral(";;")).isEmpty());
        CodeList cleared = picked;
        cleared.clear();
        QVERIFY(cleared.isEmpty() && cleared.text().isEmpty());
    }
};

#include "support/TestPrograms.h"
REGISTER_GUILESS_TEST(TestReportSelection)
#include "test_report_selection.moc"
