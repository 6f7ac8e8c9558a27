// Export on both engines: the same demo rows on Firebird 3 (embedded) and on
// SQLite give the same CSV, byte for byte, and XLSX files whose cells
// (types, values, formats) read back the same, although the engines hand
// dates and numbers over in different types.
#include "ExportReader.h"
#include "ParamFiller.h"
#include "appdata/dtmDBGeral.h"
#include "data/HostDatabase.h"
#include "report/ReportLibrary.h"
#include "report/TReportDesignerDialog.h"
#include "toolkit/HostUi.h"
#include "ui/ScriptedHostUi.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

class TestReportExportFirebird : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<TdtmDBGeral> m_dm;
    ScriptedHostUi *m_ui = nullptr;
    TReportDesignerDialog m_rpdd;
    ParamFiller m_filler;

    // Exports definition `which` from the named connection (empty: the
    // shell's, on Firebird); returns the file or a failure text.
    QString exported(int which, const QString &connection, ReportExport::Format format)
    {
        m_rpdd.setDefaultDatabaseName(connection);
        const QString name = QStringLiteral("%1-%2.%3").arg(connection.isEmpty() ? QStringLiteral("firebird") : connection)
                                 .arg(which)
                                 .arg(format == ReportExport::Format::Csv ? QStringLiteral("csv") : QStringLiteral("xlsx"));
        const QString out = m_dir.filePath(name);
        m_ui->clear();
        if (!m_rpdd.ExportTo(ReportLibrary::list(QStringLiteral("XEV017"))[which].path, out, {}, format))
            return QStringLiteral("failed: ") + m_ui->messageTexts().join(QLatin1Char('|'));
        return out;
    }

    static QByteArray readAll(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        DemoSizes sizes;
        sizes.costRows = 3000;
        const QString sqlite = m_dir.filePath(QStringLiteral("demo.sqlite"));
        TdtmDBGeral::createSqliteFile(sqlite, sizes);
        QSqlDatabase ref = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("sqlite"));
        ref.setDatabaseName(sqlite);
        QVERIFY(ref.open());

        const DatabaseLocation location = DatabaseLocation::parse(QStringLiteral("firebird:") + m_dir.filePath(QStringLiteral("demo.fdb")));
        TdtmDBGeral::openConnection(location, QStringLiteral("SYSDBA"), QStringLiteral("masterkey"), QStringLiteral("create"),
                                    true, sizes);
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
        QSqlDatabase::database(QStringLiteral("sqlite")).close();
        QSqlDatabase::removeDatabase(QStringLiteral("sqlite"));
        HostUi::uninstall();
    }

    void sameFilesOnBothEngines_data()
    {
        QTest::addColumn<int>("which");
        QTest::addRow("detailed") << 0;
        QTest::addRow("summary") << 1;
    }

    void sameFilesOnBothEngines()
    {
        QFETCH(int, which);
        const QString fbCsv = exported(which, QString(), ReportExport::Format::Csv);
        const QString sqCsv = exported(which, QStringLiteral("sqlite"), ReportExport::Format::Csv);
        QVERIFY2(QFile::exists(fbCsv), qPrintable(fbCsv));
        QVERIFY2(QFile::exists(sqCsv), qPrintable(sqCsv));
        QVERIFY(readAll(sqCsv).count('\n') > 3);
        QCOMPARE(readAll(fbCsv), readAll(sqCsv));

        const QString fbXlsx = exported(which, QString(), ReportExport::Format::Xlsx);
        const QString sqXlsx = exported(which, QStringLiteral("sqlite"), ReportExport::Format::Xlsx);
        const QJsonObject fb = ExportReader::xlsx(fbXlsx);
        const QJsonObject sq = ExportReader::xlsx(sqXlsx);
        const QJsonArray fbRows = fb.value(QStringLiteral("rows")).toArray();
        const QJsonArray sqRows = sq.value(QStringLiteral("rows")).toArray();
        QVERIFY(sqRows.size() > 3);
        QCOMPARE(fbRows.size(), sqRows.size());
        for (const char *key : {"sheets", "freeze", "filter", "widths"})
            QCOMPARE(fb.value(QLatin1String(key)), sq.value(QLatin1String(key)));
        for (int r = 0; r < sqRows.size(); ++r)
            for (int c = 0; c < sqRows[r].toArray().size(); ++c) {
                const QJsonObject a = fbRows[r].toArray()[c].toObject();
                const QJsonObject b = sqRows[r].toArray()[c].toObject();
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
};

QTEST_MAIN(TestReportExportFirebird)
#include "test_report_export_firebird.moc"
