// Running report definitions: the BeforeGetQueryParams event, binding, the
// XEV017 definitions' rows against a committed reference and against sums
// worked out here, PDF pages, and failures that leave no output behind.
#include "ReportRunnerCase.h"
#include "StreamedRows.h"
#include "core/HostUi.h"
#include "report/commands/TReportDesignerDialog.h"
#include "report/model/DefinitionParser.h"
#include "report/model/DefinitionWriter.h"
#include "report/query/ReportRunner.h"
#include "ui/ScriptedHostUi.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString kCode = QStringLiteral("XEV017");

ReportMessages messages()
{
    return {QStringLiteral("O arquivo contendo a definição do Relatório de código '%s' não foi encontrado no diretório '%s'."),
            QStringLiteral("Título do Relatório"), QStringLiteral("Informe o título do relatório:")};
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int pdfPageObjects(const QByteArray &pdf)
{
    static const QRegularExpression re(QStringLiteral("/Type\\s*/Page(?![s])"));
    return int(QString::fromLatin1(pdf).count(re));
}
} // namespace

class TestReportRunner : public ReportRunnerCase {
    Q_OBJECT

    QString m_detailed, m_summary;


    StreamedRows runDirect(const QString &path)
    {
        const ReportDefinition def = DefinitionParser::parseFile(path);
        TParams params = ReportRunner::declaredParams(def);
        bool flag = true;
        m_filler->fill(&params, &flag);
        return StreamedRows::read(def, params, QSqlDatabase::database());
    }

    // Writes a definition into a scratch standard folder and returns its path.
    QString scratchDefinition(const QString &name, const std::function<void(ReportDefinition &)> &change)
    {
        ReportDefinition d = DefinitionParser::parseFile(m_detailed);
        change(d);
        const QString path = m_dir.filePath(QStringLiteral("scratch/%1.rel").arg(name));
        DefinitionWriter::save(d, path);
        return path;
    }

private slots:
    void initTestCase()
    {
        openDatabase();
        const QList<ReportEntry> list = ReportLibrary::list(kCode);
        QVERIFY(list.size() >= 2);
        m_detailed = list[0].path;
        m_summary = list[1].path;
    }

    void init() { startRunner(); }

    void cleanup() { endRunner(); }

    void cleanupTestCase() { closeDatabase(); }

    void eventPrecedesEveryRunWithOnlyTheDeclaredParameters()
    {
        for (const QString &path : {m_detailed, m_summary}) {
            m_filler->calls.clear();
            const ReportDefinition def = DefinitionParser::parseFile(path);
            QStringList declared;
            for (const auto &p : def.params)
                declared << p.name;
            QVERIFY(m_rpdd->WriteCsv(path, out(QStringLiteral("a.csv")), messages()));
            QVERIFY(m_rpdd->WritePdf(path, out(QStringLiteral("a.pdf")), messages()));
            QCOMPARE(m_filler->calls.size(), 2);
            QCOMPARE(m_filler->calls[0], declared);
            QCOMPARE(m_filler->calls[1], declared);
        }
        QCOMPARE(m_filler->calls[0].size(), 13);
        QVERIFY(!m_filler->calls[0].contains(QStringLiteral("P_DTPERIINIC")));
        QVERIFY(m_ui->messages.isEmpty());
    }

    // Parameters the handler leaves alone keep the definition's defaults.
    void untouchedParametersKeepTheirDefaults()
    {
        m_filler->table.removeIf([](const auto &e) { return e.first == QLatin1String("P_NRTAMACNIVEL"); });
        const StreamedRows data = runDirect(m_summary);
        QVERIFY(!data.rows.isEmpty());
        for (const auto &row : data.rows)
            QCOMPARE(row[data.fieldIndex(QStringLiteral("CDNIVEL"))].toString().size(), 2); // default 2
        QCOMPARE(data.params.FindParam(QStringLiteral("P_NRTAMACNIVEL"))->Value().toInt(), 2);
    }

    void aHandlerCanCancelQuietly()
    {
        m_filler->cancel = true;
        QVERIFY(!m_rpdd->WriteCsv(m_detailed, out(QStringLiteral("cancel.csv")), messages()));
        QVERIFY(!QFile::exists(out(QStringLiteral("cancel.csv"))));
        QVERIFY(m_ui->messages.isEmpty());
    }

    void aHandlerErrorEndsTheRunWithItsText()
    {
        m_filler->throwText = QStringLiteral("Parâmetro 'P_X' não encontrado.");
        QVERIFY(!m_rpdd->WritePdf(m_detailed, out(QStringLiteral("err.pdf")), messages()));
        QVERIFY(!QFile::exists(out(QStringLiteral("err.pdf"))));
        QCOMPARE(m_ui->messageTexts(), QStringList{m_filler->throwText});
    }

    void goldenRows_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<QString>("golden");
        QTest::addRow("detailed") << 0 << QStringLiteral("xev017-custo-realizado-global.csv");
        QTest::addRow("summary") << 1 << QStringLiteral("xev017-resumo-por-nivel.csv");
    }

    // The rows for fixed parameters compare with the committed reference.
    // REPORT_UPDATE_GOLDEN=1 rewrites the reference (check the diff!).
    void goldenRows()
    {
        QFETCH(int, which);
        QFETCH(QString, golden);
        const QString csv = out(golden);
        QVERIFY(m_rpdd->WriteCsv(which == 0 ? m_detailed : m_summary, csv, messages()));
        const QString ref = QStringLiteral(REPORT_TEST_DIR "/golden/") + golden;
        if (qEnvironmentVariableIntValue("REPORT_UPDATE_GOLDEN")) {
            QDir().mkpath(QFileInfo(ref).absolutePath());
            QFile::remove(ref);
            QVERIFY(QFile::copy(csv, ref));
            QSKIP("reference rewritten, not compared");
        }
        const QByteArray expected = readAll(ref);
        QVERIFY2(!expected.isEmpty(), qPrintable(ref));
        QCOMPARE(QString::fromUtf8(readAll(csv)), QString::fromUtf8(expected));
    }

    // The sums the detailed report prints, worked out from the fixture's rows.
    void sumsMatchArithmetic()
    {
        const StreamedRows data = runDirect(m_detailed);
        double period = 0, months = 0, qt = 0;
        QSet<QString> products;
        ReportFixture::forEachCost([&](const ReportFixture::CostRow &r) {
            if (r.branch != QLatin1String("0101") || r.costType != 1 || r.service == QLatin1String("00002"))
                return;
            if (r.product < QLatin1String("01") || r.product > QLatin1String("02zzzzzz"))
                return;
            if (r.day < QDate(2026, 3, 1) || r.day > QDate(2026, 4, 30))
                return;
            products.insert(r.product);
            months += r.vr;
            if (r.day >= QDate(2026, 3, 10) && r.day <= QDate(2026, 4, 20)) {
                period += r.vr;
                qt += r.qt;
            }
        });
        double gotPeriod = 0, gotMonths = 0, gotQt = 0;
        const int iP = data.fieldIndex(QStringLiteral("VRPERIODO"));
        const int iM = data.fieldIndex(QStringLiteral("VRMESES"));
        const int iQ = data.fieldIndex(QStringLiteral("QTPERIODO"));
        for (const auto &row : data.rows) {
            gotPeriod += row[iP].toDouble();
            gotMonths += row[iM].toDouble();
            gotQt += row[iQ].toDouble();
        }
        QCOMPARE(data.rows.size(), products.size());
        QCOMPARE(qRound64(gotPeriod * 100), qRound64(period * 100));
        QCOMPARE(qRound64(gotMonths * 100), qRound64(months * 100));
        QCOMPARE(qRound64(gotQt * 1000), qRound64(qt * 1000));
        QVERIFY(period > 0 && months > period);
        // Grouped at 4 characters, in code order, group names from the tree.
        QCOMPARE(data.rows.first()[data.fieldIndex(QStringLiteral("CDNIVEL"))].toString(), QStringLiteral("0101"));
        QCOMPARE(data.rows.first()[data.fieldIndex(QStringLiteral("NMNIVEL"))].toString(), QStringLiteral("Frutas"));
        QCOMPARE(data.lookups.value(QStringLiteral("FILIAL.NMFILIAL")).toString(), QStringLiteral("Escola Alfa"));
        QCOMPARE(data.lookups.value(QStringLiteral("FILIAL.NMCENTRAL")).toString(), QStringLiteral("Central Norte"));
    }

    void productKindsAndOrdering()
    {
        // Only non-stockable products: the Hortifrutigranjeiros subtree.
        m_filler->set(QStringLiteral("P_IDESTOCAVEIS"), ParamFiller::Value::String, QStringLiteral("N"));
        m_filler->set(QStringLiteral("P_NRTAMACNIVEL"), ParamFiller::Value::Variant, 2);
        StreamedRows data = runDirect(m_summary);
        QCOMPARE(data.rows.size(), 1);
        QCOMPARE(data.rows[0][0].toString(), QStringLiteral("01"));
        // Both kinds, whole range, alphabetical: by level name.
        m_filler->set(QStringLiteral("P_IDESTOCAVEIS"), ParamFiller::Value::String, QStringLiteral("S"));
        m_filler->set(QStringLiteral("P_CDPRODUTOFIN"), ParamFiller::Value::String, QStringLiteral("zzzzzzzz"));
        m_filler->set(QStringLiteral("P_NRTAMACNIVEL"), ParamFiller::Value::Variant, 4);
        m_filler->set(QStringLiteral("P_NRTAMCODIGO"), ParamFiller::Value::Variant, 0);
        data = runDirect(m_summary);
        QStringList names, codes;
        for (const auto &row : data.rows) {
            codes << row[data.fieldIndex(QStringLiteral("CDNIVEL"))].toString();
            names << row[data.fieldIndex(QStringLiteral("NMNIVEL"))].toString();
        }
        QCOMPARE(codes.size(), 5);
        QCOMPARE(names, (QStringList{QStringLiteral("Copos"), QStringLiteral("Frutas"), QStringLiteral("Grãos"),
                                     QStringLiteral("Legumes"), QStringLiteral("Óleos")}));
        // By code.
        m_filler->set(QStringLiteral("P_NRTAMCODIGO"), ParamFiller::Value::Variant, 8);
        data = runDirect(m_summary);
        QStringList byCode;
        for (const auto &row : data.rows)
            byCode << row[0].toString();
        QCOMPARE(byCode, (QStringList{QStringLiteral("0101"), QStringLiteral("0102"), QStringLiteral("0201"),
                                      QStringLiteral("0202"), QStringLiteral("0301")}));
    }

    void valuesAreBoundNeverSpliced()
    {
        m_filler->set(QStringLiteral("P_CDSERVFILI"), ParamFiller::Value::String, QStringLiteral("' OR 1=1 --"));
        QCOMPARE(runDirect(m_detailed).rows.size(), 0);
        m_filler->standardValues();
        m_filler->set(QStringLiteral("P_CDFILIAL"), ParamFiller::Value::String, QStringLiteral("0101' OR '1'='1"));
        QCOMPARE(runDirect(m_summary).rows.size(), 0);
        QCOMPARE(QSqlDatabase::database().tables().size(), 5); // nothing dropped or added
    }

    // Dates may come as date-times, as host date texts or as day numbers.
    void parameterValuesAreConvertedToTheDeclaredTypes()
    {
        const StreamedRows byDateTime = runDirect(m_summary);
        m_filler->set(QStringLiteral("P_DTINICIAL"), ParamFiller::Value::Variant, QStringLiteral("10/03/2026"));
        m_filler->set(QStringLiteral("P_DTFINAL"), ParamFiller::Value::Variant, QDate(2026, 4, 20).toJulianDay() - QDate(1899, 12, 30).toJulianDay());
        m_filler->set(QStringLiteral("P_NRTIPOCUSTO"), ParamFiller::Value::String, QStringLiteral("1"));
        const StreamedRows byText = runDirect(m_summary);
        QCOMPARE(byText.rows, byDateTime.rows);
        QVERIFY(!byText.rows.isEmpty());

        m_filler->set(QStringLiteral("P_NRTIPOCUSTO"), ParamFiller::Value::String, QStringLiteral("um"));
        QVERIFY(!m_rpdd->WriteCsv(m_summary, out(QStringLiteral("badtype.csv")), messages()));
        QVERIFY(!QFile::exists(out(QStringLiteral("badtype.csv"))));
        QCOMPARE(m_ui->messages.size(), 1);
        QVERIFY(m_ui->messages[0].text.contains(QStringLiteral("P_NRTIPOCUSTO")));
    }

    void pdfHasTheExpectedPages()
    {
        // Large type makes few lines a page, so the fixture fills several.
        const QString big = scratchDefinition(QStringLiteral("big"), [](ReportDefinition &d) { d.fontSize = 28; });
        m_filler->set(QStringLiteral("P_CDPRODUTOFIN"), ParamFiller::Value::String, QStringLiteral("zzzzzzzz"));
        m_filler->set(QStringLiteral("P_NRTAMACNIVEL"), ParamFiller::Value::Variant, 8); // a group per product
        int pages = 0;
        const QString pdf = out(QStringLiteral("big.pdf"));
        QVERIFY(m_rpdd->WritePdf(big, pdf, messages(), &pages));
        const QByteArray bytes = readAll(pdf);
        QVERIFY(bytes.startsWith("%PDF"));
        QVERIFY(pages > 1);
        QCOMPARE(pdfPageObjects(bytes), pages);

        // 7 products, each: group header, detail, subtotal; then the total.
        const ReportDefinition def = DefinitionParser::parseFile(big);
        QCOMPARE(runDirect(big).rows.size(), 7);
        QCOMPARE(m_rpdd->RunDocument(def)->lineCount(), 7 * 3 + 1);

        // The footer numbers the pages out of the total.
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (pdftotext.isEmpty())
            QSKIP("pdftotext (poppler-utils) not installed");
        QProcess p;
        p.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(p.waitForFinished(30000));
        const QString text = QString::fromUtf8(p.readAllStandardOutput());
        if (qEnvironmentVariableIsSet("REPORT_DUMP_TEXT"))
            qDebug().noquote() << text;
        QVERIFY(text.contains(QStringLiteral("Página 1 de %1").arg(pages)));
        QVERIFY(text.contains(QStringLiteral("Página %1 de %1").arg(pages)));
        QCOMPARE(text.count(QStringLiteral("Página ")), pages);
        QCOMPARE(text.count(QStringLiteral("Filial Agregada: 0101 - Escola Alfa")), pages); // header on each page
        QVERIFY(text.contains(QStringLiteral("Período: 10/03/2026 a 20/04/2026")));
        QVERIFY(text.contains(QStringLiteral("Total Geral")));
    }

    void aFewRowsMakeOnePage()
    {
        int pages = 0;
        QVERIFY(m_rpdd->WritePdf(m_detailed, out(QStringLiteral("one.pdf")), messages(), &pages));
        QCOMPARE(pages, 1);
        QCOMPARE(pdfPageObjects(readAll(out(QStringLiteral("one.pdf")))), 1);
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (pdftotext.isEmpty())
            QSKIP("pdftotext (poppler-utils) not installed");
        QProcess p;
        p.start(pdftotext, {QStringLiteral("-layout"), out(QStringLiteral("one.pdf")), QStringLiteral("-")});
        QVERIFY(p.waitForFinished(30000));
        const QString text = QString::fromUtf8(p.readAllStandardOutput());
        if (qEnvironmentVariableIsSet("REPORT_DUMP_TEXT"))
            qDebug().noquote() << text;
        // Title, parameters, look-ups, groups, Brazilian number format, totals.
        QVERIFY(text.contains(QStringLiteral("Custo Realizado Global do Período (Planejamento de Alimentação Escolar)")));
        QVERIFY(text.contains(QStringLiteral("Central de Alimentação Escolar: 0100 - Central Norte")));
        QVERIFY(text.contains(QStringLiteral("Tipo de Custo: Custo Médio")));
        QVERIFY(text.contains(QStringLiteral("Meses: 01/03/2026 a 30/04/2026")));
        QVERIFY(text.contains(QStringLiteral("0201 - Grãos")));
        QVERIFY(text.contains(QStringLiteral("Total de 0201 - Grãos")));
        QVERIFY(text.contains(QStringLiteral("Óleo de soja")));
        QVERIFY(text.contains(QStringLiteral("463,78"))); // subtotal of Grãos in the period
        QVERIFY(text.contains(QStringLiteral("Total Geral")));
        QVERIFY(text.contains(QStringLiteral("Página 1 de 1")));
    }

    void aBrokenStatementLeavesNoOutput()
    {
        const QString broken = scratchDefinition(QStringLiteral("broken"), [](ReportDefinition &d) {
            d.queries[0].sql[ReportQuery::Default].replace(QStringLiteral("FROM CUSTREAL C"), QStringLiteral("FROM CUSTREAL_NAO_EXISTE C"));
        });
        const QString pdf = out(QStringLiteral("broken.pdf"));
        const QString csv = out(QStringLiteral("broken.csv"));
        QVERIFY(!m_rpdd->WritePdf(broken, pdf, messages()));
        QVERIFY(!QFile::exists(pdf));
        // An earlier file of the same name is left as it was.
        QFile old(csv);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
        old.close();
        QVERIFY(!m_rpdd->WriteCsv(broken, csv, messages()));
        QCOMPARE(readAll(csv), QByteArray("old"));
        QCOMPARE(m_ui->messages.size(), 2);
        for (const auto &m : m_ui->messages) {
            QVERIFY2(m.text.contains(QStringLiteral("a consulta 'custo' do relatório")), qPrintable(m.text));
            QVERIFY2(m.text.contains(QStringLiteral("CUSTREAL_NAO_EXISTE")), qPrintable(m.text));
        }
        // A column the statement does not return is named.
        const QString noField = scratchDefinition(QStringLiteral("nofield"), [](ReportDefinition &d) {
            d.columns[0].field = QStringLiteral("CDINEXISTENTE");
        });
        m_ui->clear();
        QVERIFY(!m_rpdd->WriteCsv(noField, csv, messages()));
        QVERIFY(m_ui->messages[0].text.contains(QStringLiteral("CDINEXISTENTE")));
    }

    void aMissingFileGivesTheFilledMessage()
    {
        const QString missing = m_dir.filePath(QStringLiteral("nowhere/none.rel"));
        QVERIFY(!m_rpdd->WritePdf(missing, out(QStringLiteral("m.pdf")), messages()));
        QCOMPARE(m_ui->messageTexts(),
                 QStringList{QStringLiteral("O arquivo contendo a definição do Relatório de código 'XEV017' não foi "
                                            "encontrado no diretório '%1'.").arg(m_dir.filePath(QStringLiteral("nowhere")))});
        QVERIFY(m_filler->calls.isEmpty()); // nothing ran
    }

    void noConnectionIsAClearError()
    {
        m_rpdd->setDefaultDatabaseName(QStringLiteral("nao-existe"));
        QVERIFY(!m_rpdd->WriteCsv(m_summary, out(QStringLiteral("nc.csv")), messages()));
        QVERIFY(m_ui->messages[0].text.contains(QStringLiteral("conexão")));
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestReportRunner)
#include "test_report_runner.moc"
