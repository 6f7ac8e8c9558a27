// The XEV017 definitions' InterBase texts on Firebird 3 (embedded): the same
// demo rows made on SQLite and on Firebird give the same report rows, the
// SQL_IB text on one and the SQL text on the other; Cancel stops a statement
// (FirebirdReportCase.h, shared with the server's test).
#include "FirebirdReportCase.h"

#include <QTemporaryDir>
#include <QtTest>

class TestReportFirebird : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    FirebirdReportCase m_case;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_case.open(m_dir, QStringLiteral("firebird:") + m_dir.filePath(QStringLiteral("demo.fdb")));
        m_case.filler.set(QStringLiteral("P_CDPRODUTOINI"), ParamFiller::Value::String, QString());
    }

    void cleanupTestCase() { m_case.close(); }

    void sameRowsOnBothEngines_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("ordering");
        QTest::addRow("detailed by group") << 0 << 2 << 8;
        QTest::addRow("detailed by subgroup") << 0 << 4 << 8;
        QTest::addRow("summary by subgroup") << 1 << 4 << 8;
        QTest::addRow("summary by product") << 1 << 8 << 8;
    }

    void sameRowsOnBothEngines()
    {
        QFETCH(int, which);
        QFETCH(int, level);
        QFETCH(int, ordering);
        m_case.filler.set(QStringLiteral("P_NRTAMACNIVEL"), ParamFiller::Value::Variant, level);
        m_case.filler.set(QStringLiteral("P_NRTAMCODIGO"), ParamFiller::Value::Variant, ordering);
        const QString firebird = m_case.csv(which, false);
        const QString sqlite = m_case.csv(which, true);
        QVERIFY2(sqlite.count(QLatin1Char('\n')) > 3, qPrintable(sqlite));
        QCOMPARE(firebird, sqlite);
    }

    void aPdfFromFirebird()
    {
        m_case.rpdd.setDefaultDatabaseName(QString());
        int pages = 0;
        QVERIFY(m_case.rpdd.WritePdf(ReportLibrary::list(QStringLiteral("XEV017"))[0].path,
                                     m_dir.filePath(QStringLiteral("fb.pdf")), {}, &pages));
        QVERIFY(pages >= 1);
    }

    void cancelStopsTheStatement()
    {
        // A case of its own (the standard answers) on the module's connection.
        FirebirdReportCase c;
        c.ui = m_case.ui;
        c.answerStandard();
        c.useDir(m_dir.path());
        c.cancelStopsTheStatement();
    }
};

QTEST_MAIN(TestReportFirebird)
#include "test_report_firebird.moc"
