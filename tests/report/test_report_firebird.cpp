// The XEV017 definitions' InterBase texts on Firebird 3 (embedded): the same
// demo rows made on SQLite and on Firebird give the same report rows, the
// SQL_IB text on one and the SQL text on the other; Cancel stops a statement
// (FirebirdReportCase.h, shared with the server's test).
#include "FirebirdReportCase.h"
#include "ParamFiller.h"
#include "appdata/dtmDBGeral.h"
#include "data/HostDatabase.h"
#include "report/ReportLibrary.h"
#include "report/TReportDesignerDialog.h"
#include "toolkit/HostUi.h"
#include "ui/ScriptedHostUi.h"

#include <QTemporaryDir>
#include <QtTest>
#include <memory>

class TestReportFirebird : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<TdtmDBGeral> m_dm;
    ScriptedHostUi *m_ui = nullptr;
    TReportDesignerDialog m_rpdd;
    ParamFiller m_filler;

    static DemoSizes sizes()
    {
        DemoSizes s;
        s.costRows = 3000;
        return s;
    }

    QString csv(int which)
    {
        const QString out = m_dir.filePath(QStringLiteral("out.csv"));
        QFile::remove(out);
        m_ui->clear();
        if (!m_rpdd.WriteCsv(ReportLibrary::list(QStringLiteral("XEV017"))[which].path, out, {}))
            return QStringLiteral("failed: ") + m_ui->messageTexts().join(QLatin1Char('|'));
        QFile f(out);
        f.open(QIODevice::ReadOnly);
        return QString::fromUtf8(f.readAll());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // The reference: the same demo rows on SQLite, on a connection of its own.
        const QString sqlite = m_dir.filePath(QStringLiteral("demo.sqlite"));
        TdtmDBGeral::createSqliteFile(sqlite, sizes());
        QSqlDatabase ref = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("sqlite-ref"));
        ref.setDatabaseName(sqlite);
        QVERIFY(ref.open());

        const DatabaseLocation location = DatabaseLocation::parse(QStringLiteral("firebird:") + m_dir.filePath(QStringLiteral("demo.fdb")));
        TdtmDBGeral::openConnection(location, QStringLiteral("SYSDBA"), QStringLiteral("masterkey"), QStringLiteral("create"),
                                    true, sizes());
        TdtmDBGeral::closeConnection(QStringLiteral("create"));
        m_dm = std::make_unique<TdtmDBGeral>();
        ShellConfig c;
        c.database = location.toString();
        m_dm->open(c);
        QCOMPARE(HostDatabase::instance().dialect(), SqlDialect::InterBase);

        m_ui = HostUi::install(std::make_unique<ScriptedHostUi>());
        m_rpdd.setReportCode(QStringLiteral("XEV017"));
        connect(&m_rpdd, &TReportDesignerDialog::BeforeGetQueryParams, &m_filler, &ParamFiller::fill);
        m_filler.standardValues();
        m_filler.set(QStringLiteral("P_CDSERVFILI"), ParamFiller::Value::String,
                     QStringLiteral("00001_00002_00003_00004_00005_00006_00007_00008_00009_00010"));
        m_filler.set(QStringLiteral("P_CDPRODUTOINI"), ParamFiller::Value::String, QString());
        m_filler.set(QStringLiteral("P_CDPRODUTOFIN"), ParamFiller::Value::String, QStringLiteral("zzzzzzzz"));
    }

    void cleanupTestCase()
    {
        m_dm.reset();
        QSqlDatabase::database(QStringLiteral("sqlite-ref")).close();
        QSqlDatabase::removeDatabase(QStringLiteral("sqlite-ref"));
        HostUi::uninstall();
    }

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
        m_filler.set(QStringLiteral("P_NRTAMACNIVEL"), ParamFiller::Value::Variant, level);
        m_filler.set(QStringLiteral("P_NRTAMCODIGO"), ParamFiller::Value::Variant, ordering);
        m_rpdd.setDefaultDatabaseName(QString());
        const QString firebird = csv(which);
        m_rpdd.setDefaultDatabaseName(QStringLiteral("sqlite-ref"));
        const QString sqlite = csv(which);
        QVERIFY2(sqlite.count(QLatin1Char('\n')) > 3, qPrintable(sqlite));
        QCOMPARE(firebird, sqlite);
    }

    void aPdfFromFirebird()
    {
        m_rpdd.setDefaultDatabaseName(QString());
        int pages = 0;
        QVERIFY(m_rpdd.WritePdf(ReportLibrary::list(QStringLiteral("XEV017"))[0].path, m_dir.filePath(QStringLiteral("fb.pdf")), {},
                                &pages));
        QVERIFY(pages >= 1);
    }

    void cancelStopsTheStatement()
    {
        // The case keeps its own runner on the module's connection.
        FirebirdReportCase c;
        c.ui = m_ui;
        c.rpdd.setReportCode(QStringLiteral("XEV017"));
        QObject::connect(&c.rpdd, &TReportDesignerDialog::BeforeGetQueryParams, &c.filler, &ParamFiller::fill);
        c.filler.standardValues();
        c.filler.set(QStringLiteral("P_CDPRODUTOINI"), ParamFiller::Value::String, QStringLiteral("0"));
        c.filler.set(QStringLiteral("P_CDPRODUTOFIN"), ParamFiller::Value::String, QStringLiteral("zzzzzzzz"));
        c.useDir(m_dir.path());
        c.cancelStopsTheStatement();
    }
};

QTEST_MAIN(TestReportFirebird)
#include "test_report_firebird.moc"
