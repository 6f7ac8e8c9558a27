// The XEV017 statements as each engine receives them, for a branch with
// many services (the list of 20,000 codes the screen hands over): SQL
// Server gets the list as NVARCHAR(MAX), which CHARINDEX accepts; Oracle's
// limit stops the run beforehand with a Portuguese message; Firebird's texts
// take the list as a text blob (ITENS_LISTA) and never search it row by row.
#include "core/Errors.h"
#include "report/model/DefinitionParser.h"
#include "report/model/ReportLibrary.h"
#include "data/engines/DatabaseEngine.h"
#include "report/query/ReportRunner.h"
#include "support/ForeignDialects.h"

#include <QRegularExpression>
#include <QtTest>

namespace {
const OracleTexts kOracle;
const MsSqlTexts kMsSql;
} // namespace

class TestReportDialects : public QObject {
    Q_OBJECT

    static QString longList()
    {
        QStringList codes;
        for (int i = 0; i < 20000; ++i)
            codes << QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0'));
        return codes.join(QLatin1Char('_'));
    }

    static QList<ReportDefinition> definitions()
    {
        QList<ReportDefinition> out;
        for (const auto &entry : ReportLibrary::list(QStringLiteral("XEV017")))
            out << DefinitionParser::parseFile(entry.path);
        return out;
    }

    static TParams params(const ReportDefinition &def, const QString &services)
    {
        TParams p = ReportRunner::declaredParams(def);
        p.ParamByName(QStringLiteral("P_CDSERVFILI")).SetAsString(services);
        p.ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(QStringLiteral("0101"));
        return ReportRunner::boundParams(def, p);
    }

private slots:
    void initTestCase() { QVERIFY(definitions().size() >= 2); }

    void sqlServerTakesTheListAsNvarcharMax()
    {
        for (const ReportDefinition &def : definitions()) {
            for (const ReportQuery &q : def.queries) {
                QStringList names;
                const QString text = ReportRunner::statementText(q, params(def, longList()), kMsSql, names);
                QCOMPARE(names.size(), text.count(QLatin1Char('?')));
                if (!names.contains(QStringLiteral("P_CDSERVFILI")))
                    continue;
                QVERIFY2(!text.contains(QRegularExpression(QStringLiteral("CHARINDEX\\([^,]*, \\?\\)"))), qPrintable(text));
                QVERIFY2(text.contains(QLatin1String("CAST(? AS NVARCHAR(MAX))")), qPrintable(text));
                // The branch code stays a bare marker.
                QVERIFY2(text.contains(QLatin1String("CDFILIAL = ?")), qPrintable(text));
                // Short lists stay bare markers too.
                const QString shortText =
                    ReportRunner::statementText(q, params(def, QStringLiteral("00001_00002")), kMsSql, names);
                QVERIFY(!shortText.contains(QLatin1String("NVARCHAR(MAX)")));
            }
        }
    }

    void oraclesLimitStopsTheRunBeforehand()
    {
        const ReportDefinition def = definitions().first();
        ReportRunner::checkLimits(params(def, QString(4000, QLatin1Char('1'))), kOracle);
        QString text;
        try {
            ReportRunner::checkLimits(params(def, longList()), kOracle);
        } catch (const EHostError &e) {
            text = e.text();
        }
        QVERIFY2(text.contains(QLatin1String("P_CDSERVFILI")) && text.contains(QStringLiteral("Oracle aceita no máximo 4000")),
                 qPrintable(text));
        // No such limit elsewhere.
        for (const char *scheme : {"firebird", "sqlite", "postgresql"})
            ReportRunner::checkLimits(params(def, longList()), DatabaseEngine::forScheme(QLatin1String(scheme))->dialect());
        ReportRunner::checkLimits(params(def, longList()), kMsSql);
    }

    void firebirdNeverSearchesTheListRowByRow()
    {
        for (const ReportDefinition &def : definitions()) {
            for (const ReportQuery &q : def.queries) {
                const QString text = q.textFor(DatabaseEngine::forScheme(QStringLiteral("firebird"))->dialect().statementProperty());
                if (!text.contains(QLatin1String(":P_CDSERVFILI")))
                    continue;
                QVERIFY2(!text.contains(QLatin1String("INSTR(:P_CDSERVFILI")), qPrintable(text));
                QCOMPARE(text.count(QLatin1String(":P_CDSERVFILI")), text.count(QLatin1String("ITENS_LISTA(:P_CDSERVFILI)")));
            }
        }
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestReportDialects)
#include "test_report_dialects.moc"
