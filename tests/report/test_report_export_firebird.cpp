// Export on both engines: the same demo rows on Firebird 3 (embedded) and on
// SQLite give the same CSV, byte for byte, and XLSX files whose cells
// (types, values, formats) read back the same, although the engines hand
// dates and numbers over in different types.
#include "ExportReader.h"
#include "FirebirdReportCase.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <QtTest>

class TestReportExportFirebird : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    FirebirdReportCase m_case;

    // Exports definition `which` from the named connection (empty: the
    // shell's, on Firebird); returns the file or a failure text.
    QString exported(int which, const QString &connection, ReportExport::Format format)
    {
        m_case.rpdd.setDefaultDatabaseName(connection);
        const QString name = QStringLiteral("%1-%2.%3").arg(connection.isEmpty() ? QStringLiteral("firebird") : connection)
                                 .arg(which)
                                 .arg(format == ReportExport::Format::Csv ? QStringLiteral("csv") : QStringLiteral("xlsx"));
        const QString out = m_dir.filePath(name);
        m_case.ui->clear();
        if (!m_case.rpdd.ExportTo(ReportLibrary::list(QStringLiteral("XEV017"))[which].path, out, {}, format))
            return QStringLiteral("failed: ") + m_case.ui->messageTexts().join(QLatin1Char('|'));
        return out;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_case.open(m_dir, QStringLiteral("firebird:") + m_dir.filePath(QStringLiteral("demo.fdb")));
        m_case.filler.set(QStringLiteral("P_CDPRODUTOINI"), ParamFiller::Value::String, QString());
    }

    void cleanupTestCase() { m_case.close(); }

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
        const QString sqCsv = exported(which, QStringLiteral("sqlite-ref"), ReportExport::Format::Csv);
        QVERIFY2(QFile::exists(fbCsv), qPrintable(fbCsv));
        QVERIFY2(QFile::exists(sqCsv), qPrintable(sqCsv));
        QVERIFY(ExportReader::readAll(sqCsv).count('\n') > 3);
        QCOMPARE(ExportReader::readAll(fbCsv), ExportReader::readAll(sqCsv));

        const QString fbXlsx = exported(which, QString(), ReportExport::Format::Xlsx);
        const QString sqXlsx = exported(which, QStringLiteral("sqlite-ref"), ReportExport::Format::Xlsx);
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
