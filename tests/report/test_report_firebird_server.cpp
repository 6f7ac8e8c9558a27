// The XEV017 reports on a Firebird server started on 127.0.0.1 for the test:
// the same rows as on SQLite, a PDF, and Cancel stopping a statement that
// runs on the server.
#include "FirebirdReportCase.h"
#include "support/FirebirdServer.h"

class TestReportFirebirdServer : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    FirebirdServer m_server;
    FirebirdReportCase m_case;

private slots:
    void initTestCase()
    {
        if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QIBASE")))
            QSKIP("Qt's Firebird driver (QIBASE) is not installed");
        QString why;
        if (!m_server.start(&why))
            QSKIP(qPrintable(QStringLiteral("no Firebird server to start: ") + why));
        QVERIFY(m_dir.isValid());
        m_case.open(m_dir, QStringLiteral("firebird://127.0.0.1:%1%2")
                               .arg(m_server.port())
                               .arg(QDir(m_server.folder()).filePath(QStringLiteral("reports.fdb"))));
    }

    void cleanupTestCase() { m_case.close(); }

    void sameRowsAsOnSqlite_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<int>("level");
        QTest::addRow("detailed at level 0") << 0 << 0;
        QTest::addRow("detailed by subgroup") << 0 << 4;
        QTest::addRow("summary by group") << 1 << 2;
        QTest::addRow("summary by product") << 1 << 8;
    }

    void sameRowsAsOnSqlite()
    {
        QFETCH(int, which);
        QFETCH(int, level);
        m_case.sameRowsAsOnSqlite(which, level);
    }

    void aPdf() { m_case.aPdf(); }
    void cancelStopsTheStatement() { m_case.cancelStopsTheStatement(); }
};

QTEST_MAIN(TestReportFirebirdServer)
#include "test_report_firebird_server.moc"
