// The XEV017 reports on every engine (EngineReportCase, one row per engine):
// the same rows as on SQLite for the same demo data, each engine running
// the text of its dialect; the same CSV and XLSX exports; a PDF; Cancel
// stopping a statement that runs on the engine (embedded or on a server).
#include "EngineReportCase.h"
#include "ExportReader.h"
#include "StreamedRows.h"
#include "data/SqlStatement.h"
#include "report/model/ReportFormat.h"
#include "report/output/ExportFormat.h"
#include "report/query/ReportRunner.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QTimer>

class TestReportEngines : public QObject {
    Q_OBJECT

    EngineReportCase m_case;

    // Exports definition `which` from the host's database or SQLite's;
    // returns the file or a failure text.
    QString exported(int which, bool fromReference, ExportFormat::Id format)
    {
        m_case.rpdd.setDefaultDatabaseName(fromReference ? m_case.reference() : QString());
        const QString out = m_case.file(QStringLiteral("%1-%2.%3")
                                            .arg(fromReference ? QStringLiteral("reference") : QStringLiteral("engine"))
                                            .arg(which)
                                            .arg(ExportFormats::of(format).extension));
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

    // A definition whose parameters stand where nothing tells their type
    // (":P IS NULL", a bare item of the select list), as people write their
    // own, runs on every engine with each declared type, null or not.
    void parametersOfNoInferableTypeRun_data() { EngineDatabases::addColumn(); }
    void parametersOfNoInferableTypeRun()
    {
        USE_ENGINE(m_case.engines);
        const ReportDefinition def = DefinitionParser::parseText(
            QStringLiteral("title \"Livre\"\nparam P_D date\nparam P_T datetime\nparam P_I integer\nparam P_F float\n"
                           "param P_S string\nquery q\nSQL <<E\n"
                           "SELECT :P_S AS S, CASE WHEN :P_D IS NULL THEN 0 ELSE 1 END AS D, "
                           "CASE WHEN :P_T IS NOT NULL THEN 1 ELSE 0 END AS T, CASE WHEN :P_I IS NULL THEN 0 ELSE 1 END AS I, "
                           "CASE WHEN :P_F IS NULL THEN 0 ELSE 1 END AS F FROM FILIAL WHERE CDFILIAL = '0101'\nE\n"
                           "column S \"S\" width 20\ncolumn D \"D\" width 10 format integer\n"
                           "column T \"T\" width 10 format integer\ncolumn I \"I\" width 10 format integer\n"
                           "column F \"F\" width 10 format integer\n"),
            QStringLiteral("livre.rel"));
        TParams params = ReportRunner::declaredParams(def);
        const QSqlDatabase db = HostDatabase::instance().database();
        StreamedRows rows = StreamedRows::read(def, params, db);
        QCOMPARE(rows.rows.size(), 1);
        QCOMPARE(rows.rows[0].mid(1), (QVector<QVariant>{0, 0, 0, 0}));
        params.ParamByName(QStringLiteral("P_D")).SetAsVariant(QDate(2026, 3, 1));
        params.ParamByName(QStringLiteral("P_T")).SetAsDateTime(QDateTime(QDate(2026, 3, 1), QTime(8, 0)));
        params.ParamByName(QStringLiteral("P_I")).SetAsInteger(7);
        params.ParamByName(QStringLiteral("P_F")).SetAsVariant(1.5);
        params.ParamByName(QStringLiteral("P_S")).SetAsString(QStringLiteral("Feijão"));
        rows = StreamedRows::read(def, params, db);
        QCOMPARE(rows.rows[0][0].toString(), QStringLiteral("Feijão"));
        for (int c = 1; c < 5; ++c)
            QCOMPARE(rows.rows[0][c].toInt(), 1);
    }

    // A period declared as date-times (midnight), as a report's own
    // definition may declare it, holds its first and last days on every
    // engine: the value is bound as the engine compares it with a stored date.
    void dateTimePeriodHoldsItsFirstDay_data() { EngineDatabases::addColumn(); }
    void dateTimePeriodHoldsItsFirstDay()
    {
        USE_ENGINE(m_case.engines);
        const QSqlDatabase db = HostDatabase::instance().database();
        SqlStatement first(db);
        first.exec(QStringLiteral("SELECT MIN(DTMOVIMENTO) FROM CUSTREAL"));
        QVERIFY(first.next());
        const QDate day = ReportFormat::toDateTime(first.value(0)).date();
        QVERIFY2(day.isValid(), qPrintable(first.value(0).toString()));
        SqlStatement onDay(db);
        TParams byDate;
        byDate.add(QStringLiteral("D")).SetAsVariant(day.addDays(1));
        onDay.exec(QStringLiteral("SELECT COUNT(*) FROM CUSTREAL WHERE DTMOVIMENTO < :D"), byDate);
        QVERIFY(onDay.next());
        const qint64 expected = onDay.value(0).toLongLong();
        QVERIFY(expected > 0);

        const ReportDefinition def = DefinitionParser::parseText(
            QStringLiteral("title \"Período\"\nparam P_INI datetime\nparam P_FIM datetime\nquery q\nSQL <<E\n"
                           "SELECT DTMOVIMENTO AS D FROM CUSTREAL WHERE DTMOVIMENTO >= :P_INI AND DTMOVIMENTO <= :P_FIM\n"
                           "E\ncolumn D \"Dia\" width 30 format date \"dd/MM/yyyy\"\n"),
            QStringLiteral("periodo.rel"));
        TParams params = ReportRunner::declaredParams(def);
        params.ParamByName(QStringLiteral("P_INI")).SetAsDateTime(day.startOfDay());
        params.ParamByName(QStringLiteral("P_FIM")).SetAsDateTime(day.startOfDay());
        const StreamedRows rows = StreamedRows::read(def, params, db);
        QCOMPARE(qint64(rows.rows.size()), expected);
    }

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
        const QString engineCsv = exported(which, false, ExportFormat::Id::Csv);
        const QString sqliteCsv = exported(which, true, ExportFormat::Id::Csv);
        QVERIFY2(QFile::exists(engineCsv), qPrintable(engineCsv));
        QVERIFY2(QFile::exists(sqliteCsv), qPrintable(sqliteCsv));
        QVERIFY(ExportReader::readAll(sqliteCsv).count('\n') > 3);
        QCOMPARE(ExportReader::readAll(engineCsv), ExportReader::readAll(sqliteCsv));

        const QJsonObject engine = ExportReader::xlsx(exported(which, false, ExportFormat::Id::Xlsx));
        const QJsonObject sqlite = ExportReader::xlsx(exported(which, true, ExportFormat::Id::Xlsx));
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
                                       + EngineDatabases::endlessQuery(HostDatabase::instance().database())
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
