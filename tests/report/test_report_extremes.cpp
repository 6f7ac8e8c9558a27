// Amounts at the edges of the schema on every engine: costs of the largest
// and smallest values NUMERIC(15,2) and NUMERIC(15,3) hold, whose sums pass
// 2^53 cents (1234567890122230.63 and 104567890123457.92). The detailed and
// summary reports print every amount whole (the PDF read with pdftotext: the
// exact text, no "…" anywhere, the chart's label too), the rows and the CSV
// export hold the exact sums, and the workbook holds them whole as text
// with a note, beyond the 15 digits of an Excel number.
#include "ExportReader.h"
#include "ParamFiller.h"
#include "core/HostUi.h"
#include "report/commands/TReportDesignerDialog.h"
#include "report/model/ReportLibrary.h"
#include "support/EngineDatabases.h"
#include "ui/ScriptedHostUi.h"

#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

namespace {
DemoSizes noCosts()
{
    DemoSizes s;
    s.costRows = 0;
    return s;
}

// Product, quantity and cost of each row, in the engines' literal form.
struct Cost {
    const char *product, *quantity, *value;
    int times;
};
const Cost kCosts[] = {
    {"01010001", "1.000", "9999999999999.99", 123},   // with the next: 1234567890122230.63
    {"01010001", "1.000", "4567890122231.86", 1},
    {"01010002", "1.000", "9999999999999.99", 10},    // with the next: 104567890123457.92
    {"01010002", "1.000", "4567890123458.02", 1},
    {"01010003", "-999999999999.999", "-9999999999999.99", 1}, // the smallest of both columns
    {"01020001", "999999999999.999", "0.01", 1},      // the largest quantity, the smallest cost
};

QString pdfText(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}
} // namespace

class TestReportExtremes : public QObject {
    Q_OBJECT

    EngineDatabases m_engines{noCosts()};
    ScriptedHostUi *m_ui = nullptr;
    TReportDesignerDialog m_rpdd;
    ParamFiller m_filler;
    QStringList m_filled;

    QString path(int which) const { return ReportLibrary::list(QStringLiteral("XEV017"))[which].path; }
    QString file(const QString &engine, const QString &name) const
    {
        return QDir(m_engines.folder()).filePath(engine + QLatin1Char('-') + name);
    }

    void fill(const QString &engine)
    {
        if (m_filled.contains(engine))
            return;
        QSqlDatabase db = m_engines.database(engine);
        QVERIFY(db.transaction());
        QSqlQuery q(db);
        for (const Cost &c : kCosts)
            for (int i = 0; i < c.times; ++i)
                QVERIFY2(q.exec(QStringLiteral("INSERT INTO CUSTREAL (CDFILIAL, CDSERVFILI, CDARVPROD, NRTIPOCUSTO, DTMOVIMENTO, "
                                               "QTREAL, VRCUSTREAL) VALUES ('0101', '00001', '%1', 1, '2026-03-10', %2, %3)")
                                    .arg(QLatin1String(c.product), QLatin1String(c.quantity), QLatin1String(c.value))),
                         qPrintable(q.lastError().text()));
        QVERIFY(db.commit());
        m_filled << engine;
    }

private slots:
    void initTestCase()
    {
        m_ui = HostUi::install(std::make_unique<ScriptedHostUi>());
        m_rpdd.setReportCode(QStringLiteral("XEV017"));
        connect(&m_rpdd, &TReportDesignerDialog::BeforeGetQueryParams, &m_filler, &ParamFiller::fill);
        m_filler.standardValues();
    }
    void cleanupTestCase() { HostUi::uninstall(); }

    void detailedReport_data() { EngineDatabases::addColumn(); }
    void detailedReport()
    {
        USE_ENGINE(m_engines);
        QFETCH(QString, engine);
        fill(engine);
        const QString rows = file(engine, QStringLiteral("linhas.csv")), pdf = file(engine, QStringLiteral("detalhado.pdf"));
        const QString csv = file(engine, QStringLiteral("detalhado.csv")), xlsx = file(engine, QStringLiteral("detalhado.xlsx"));
        QVERIFY(m_rpdd.WriteCsv(path(0), rows, {}));
        QVERIFY(m_rpdd.WritePdf(path(0), pdf, {}));
        QVERIFY(m_rpdd.ExportTo(path(0), csv, {}, ExportFormat::Id::Csv));
        QVERIFY(m_rpdd.ExportTo(path(0), xlsx, {}, ExportFormat::Id::Xlsx));
        QVERIFY2(m_ui->messages.isEmpty(), qPrintable(m_ui->messageTexts().join(QLatin1Char('|'))));

        const QByteArray plain = ExportReader::readAll(rows);
        for (const char *line : {"01010001,Arroz Branco Tipo 1 1 kg,S,124.000,1234567890122230.63,1234567890122230.63",
                                 "01010002,Arroz Branco Tipo 1 5 kg,S,11.000,104567890123457.92,104567890123457.92",
                                 "-999999999999.999,-9999999999999.99", "999999999999.999,0.01,0.01"})
            QVERIFY2(plain.contains(line), plain.constData());

        const QString text = pdfText(pdf);
        QVERIFY2(!text.contains(QChar(0x2026)), qPrintable(text)); // no "…": every amount whole
        for (const char *amount : {"1.234.567.890.122.230,63", "104.567.890.123.457,92", "-999.999.999.999,999",
                                   "-9.999.999.999.999,99", "999.999.999.999,999", "1.329.135.780.245.688,56",
                                   "1.329.135.780.245.688,57"})
            QVERIFY2(text.contains(QString::fromUtf8(amount)), qPrintable(QString::fromUtf8(amount) + QLatin1Char('\n') + text));

        const QByteArray exported = ExportReader::readAll(csv);
        for (const char *cells : {";124,000;1234567890122230,63;1234567890122230,63\r\n",
                                  ";Total Geral;;;;;;;;1329135780245688,57;1329135780245688,57\r\n"})
            QVERIFY2(exported.contains(cells), exported.constData());

        const QJsonArray sheet = ExportReader::xlsx(xlsx).value(QStringLiteral("rows")).toArray();
        const QJsonArray total = sheet.last().toArray()[0].toObject().value(QStringLiteral("value")).toString().contains(
                                     QLatin1String("15 algarismos"))
            ? sheet[sheet.size() - 3].toArray() // the note under the table, after a blank row
            : sheet.last().toArray();
        QCOMPARE(total[0].toObject().value(QStringLiteral("value")).toString(), QStringLiteral("Total Geral"));
        QCOMPARE(total[7].toObject().value(QStringLiteral("value")).toString(), QStringLiteral("1.329.135.780.245.688,57"));
        QVERIFY(!total[7].toObject().value(QStringLiteral("note")).toString().isEmpty());
    }

    void summaryAndChart_data() { EngineDatabases::addColumn(); }
    void summaryAndChart()
    {
        USE_ENGINE(m_engines);
        QFETCH(QString, engine);
        fill(engine);
        const QString rows = file(engine, QStringLiteral("resumo.csv")), pdf = file(engine, QStringLiteral("resumo.pdf"));
        QVERIFY(m_rpdd.WriteCsv(path(1), rows, {}));
        QVERIFY(m_rpdd.WritePdf(path(1), pdf, {}));
        QVERIFY2(m_ui->messages.isEmpty(), qPrintable(m_ui->messageTexts().join(QLatin1Char('|'))));
        const QByteArray plain = ExportReader::readAll(rows);
        QVERIFY2(plain.contains("0101,Arroz,3,1329135780245688.56") && plain.contains("0102,Farinhas e Massas,1,0.01"),
                 plain.constData());
        const QString text = pdfText(pdf);
        QVERIFY2(!text.contains(QChar(0x2026)), qPrintable(text));
        // The level's line, the total and the chart's one bar.
        QVERIFY2(text.count(QStringLiteral("1.329.135.780.245.688,5")) >= 3, qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("1.329.135.780.245.688,57")), qPrintable(text));
    }
};

QTEST_MAIN(TestReportExtremes)
#include "test_report_extremes.moc"
