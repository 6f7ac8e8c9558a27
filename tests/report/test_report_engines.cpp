// The XEV017 reports on every engine (EngineReportCase, one row per engine):
// the same rows as on SQLite for the same demo data, each engine running
// the text of its dialect; the same CSV and XLSX exports; a PDF; Cancel
// stopping a statement that runs on the engine (embedded or on a server).
#include "EngineReportCase.h"
#include "ExportReader.h"
#include "report/output/ReportExport.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTimer>

class TestReportEngines : public QObject {
    Q_OBJECT

    EngineReportCase m_case;

    // Exports definition `which` from the host's database or SQLite's;
    // returns the file or a failure text.
    QString exported(int which, bool fromReference, ReportExport::Format format)
    {
        m_case.rpdd.setDefaultDatabaseName(fromReference ? m_case.reference() : QString());
        const QString out = m_case.file(QStringLiteral("%1-%2.%3")
                                            .arg(fromReference ? QStringLiteral("reference") : QStringLiteral("engine"))
                                            .arg(which)
                                            .arg(format == ReportExport::Format::Csv ? QStringLiteral("csv")
                                                                                     : QStringLiteral("xlsx")));
        m_case.ui->clear();
        if (!m_case.rpdd.ExportTo(m_case.path(which), out, {}, format))
            return QStringLiteral("failed: ") + m_case.ui->messageTexts().join(QLatin1Char('|'));
        return out;
    }

    static void sameCells(const QJsonArray &engineRows, const QJsonArray &sqliteRows)
    {
        for (int r = 0; r < sqliteRows.size(); ++r)
            for (int c = 0; c < sqliteRows[r].toArray().size(); ++c) {
                const QJsonObject a = engineRows[r].toArray()[c].toObject();
                const QJsonObject b = sqliteRows[r].toArray()[c].toObject();
                const QString where = QStringLiteral("row %1 column %2").arg(r + 1).arg(c + 1);
                QVERIFY2(a.value(QStringLiteral("type")) == b.value(QStringLiteral("type")), qPrintable(where));
                QVERIFY2(a.value(QStringLiteral("format")) == b.value(QStringLiteral("format")), qPrintable(where));
                // Sums made by each engine may differ in the last bits of a double.
                const QJsonValue x = a.value(QStringLiteral("value")), y = b.value(QStringLiteral("value"));
                if (x.isDouble() && y.isDouble())
                    QVERIFY2(qAbs(x.toDouble() - y.toDouble()) <= 1e-9 * qMax(1.0, qAbs(y.toDouble())),
                             qPrintable(QStringLiteral("%1: %2 / %3").arg(where).arg(x.toDouble(), 0, 'g', 17).arg(y.toDouble(), 0, 'g', 17)));
                else
                    QVERIFY2(x == y, qPrintable(QStringLiteral("%1: %2 / %3").arg(where, x.toVariant().toString(), y.toVariant().toString())));
            }
    }

private slots:
    void initTestCase() { m_case.open(); }
    void cleanupTestCase() { m_case.close(); }

    void sameRowsAsOnSqlite_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<int>("which");
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("fromProduct");
        QTest::addColumn<int>("codeOrder"); // P_NRTAMCODIGO: 0 is "Alfabética"
        for (const QString &engine : EngineDatabases::otherThanSqlite()) {
            const QByteArray name = engine.toUtf8();
            const char *e = name.constData();
            QTest::addRow("%s detailed at level 0", e) << engine << 0 << 0 << QStringLiteral("0") << 8;
            QTest::addRow("%s detailed by group", e) << engine << 0 << 2 << QString() << 8;
            QTest::addRow("%s detailed by subgroup", e) << engine << 0 << 4 << QStringLiteral("0") << 8;
            QTest::addRow("%s summary by group", e) << engine << 1 << 2 << QStringLiteral("0") << 8;
            QTest::addRow("%s summary by subgroup", e) << engine << 1 << 4 << QString() << 8;
            QTest::addRow("%s summary by product", e) << engine << 1 << 8 << QStringLiteral("0") << 8;
            QTest::addRow("%s detailed alphabetical by subgroup", e) << engine << 0 << 4 << QStringLiteral("0") << 0;
            QTest::addRow("%s summary alphabetical by product", e) << engine << 1 << 8 << QStringLiteral("0") << 0;
        }
    }
    void sameRowsAsOnSqlite()
    {
        USE_ENGINE(m_case.engines);
        QFETCH(int, which);
        QFETCH(int, level);
        QFETCH(QString, fromProduct);
        QFETCH(int, codeOrder);
        m_case.filler.set(QStringLiteral("P_NRTAMACNIVEL"), ParamFiller::Value::Variant, level);
        m_case.filler.set(QStringLiteral("P_CDPRODUTOINI"), ParamFiller::Value::String, fromProduct);
        m_case.filler.set(QStringLiteral("P_NRTAMCODIGO"), ParamFiller::Value::Variant, codeOrder);
        m_case.sameRowsAsOnSqlite(which);
        m_case.filler.set(QStringLiteral("P_CDPRODUTOINI"), ParamFiller::Value::String, QStringLiteral("0"));
        m_case.filler.set(QStringLiteral("P_NRTAMCODIGO"), ParamFiller::Value::Variant, 8);
    }

    void sameExportsAsOnSqlite_data()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<int>("which");
        for (const QString &engine : EngineDatabases::otherThanSqlite()) {
            QTest::addRow("%s detailed", qPrintable(engine)) << engine << 0;
            QTest::addRow("%s summary", qPrintable(engine)) << engine << 1;
        }
    }
    void sameExportsAsOnSqlite()
    {
        USE_ENGINE(m_case.engines);
        QFETCH(int, which);
        m_case.filler.set(QStringLiteral("P_NRTAMACNIVEL"), ParamFiller::Value::Variant, 4);
        const QString engineCsv = exported(which, false, ReportExport::Format::Csv);
        const QString sqliteCsv = exported(which, true, ReportExport::Format::Csv);
        QVERIFY2(QFile::exists(engineCsv), qPrintable(engineCsv));
        QVERIFY2(QFile::exists(sqliteCsv), qPrintable(sqliteCsv));
        QVERIFY(ExportReader::readAll(sqliteCsv).count('\n') > 3);
        QCOMPARE(ExportReader::readAll(engineCsv), ExportReader::readAll(sqliteCsv));

        const QJsonObject engine = ExportReader::xlsx(exported(which, false, ReportExport::Format::Xlsx));
        const QJsonObject sqlite = ExportReader::xlsx(exported(which, true, ReportExport::Format::Xlsx));
        const QJsonArray engineRows = engine.value(QStringLiteral("rows")).toArray();
        const QJsonArray sqliteRows = sqlite.value(QStringLiteral("rows")).toArray();
        QVERIFY(sqliteRows.size() > 3);
        QCOMPARE(engineRows.size(), sqliteRows.size());
        for (const char *key : {"sheets", "freeze", "filter", "widths"})
            QCOMPARE(engine.value(QLatin1String(key)), sqlite.value(QLatin1String(key)));
        sameCells(engineRows, sqliteRows);
    }

    void aPdf_data() { EngineDatabases::addColumn(EngineDatabases::otherThanSqlite()); }
    void aPdf()
    {
        USE_ENGINE(m_case.engines);
        m_case.aPdf();
    }

    // The server goes away while a report reads: the run says the connection
    // fell, in Portuguese; once the server is back the next run works.
    void serverKilledMidReport_data() { EngineDatabases::addColumn(EngineDatabases::servers()); }
    void serverKilledMidReport()
    {
        USE_ENGINE(m_case.engines);
        QFETCH(QString, engine);
        const QString def = m_case.file(QStringLiteral("endless/sem-fim.rel"));
        DefinitionWriter::save(DefinitionParser::parseText(
                                   QStringLiteral("title \"Sem fim\"\nquery q\nSQL <<E\n")
                                       + EngineDatabases::endlessQuery(HostDatabase::instance().engine())
                                       + QStringLiteral("\nE\ncolumn A \"A\" width 40\n"),
                                   QStringLiteral("sem-fim.rel")),
                               def);
        m_case.rpdd.setDefaultDatabaseName(QString());
        m_case.ui->clear();
        QTimer::singleShot(1500, [&] { m_case.engines.killServer(engine); });
        QVERIFY(!m_case.rpdd.WritePdf(def, m_case.file(QStringLiteral("caiu.pdf")), {}));
        const QString said = m_case.ui->messageTexts().join(QLatin1Char('|'));
        qInfo("%s", qPrintable(said));
        QVERIFY2(said.contains(QLatin1String("caiu")) && !said.contains(QLatin1String("Error reading data")), qPrintable(said));
        QString why;
        QVERIFY2(m_case.engines.startServer(engine, &why), qPrintable(why));
        m_case.filler.set(QStringLiteral("P_NRTAMACNIVEL"), ParamFiller::Value::Variant, 4);
        m_case.sameRowsAsOnSqlite(1);
    }

    void cancelStopsTheStatement_data() { EngineDatabases::addColumn(); }
    void cancelStopsTheStatement()
    {
        USE_ENGINE(m_case.engines);
        m_case.cancelStopsTheStatement();
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestReportEngines)
#include "test_report_engines.moc"
