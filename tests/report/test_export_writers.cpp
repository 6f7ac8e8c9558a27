// The export sinks on their own (CsvExportWriter, XlsxExportWriter): every
// kind of column, quoting, the row limit of a sheet, and an aborted export
// that leaves the old file or none. Files are read back with python3's csv
// module and openpyxl.
#include "ExportReader.h"
#include "core/Errors.h"
#include "report/output/CsvExportWriter.h"
#include "report/output/ReportExport.h"
#include "report/output/XlsxExportWriter.h"

#include <QDir>
#include <QJsonArray>
#include <QTemporaryDir>
#include <QtTest>

namespace {
using ExportReader::readAll;
using ExportReader::strings;

ReportColumn column(const QString &caption, ReportColumn::Format format, int decimals = 2, const QString &pattern = {})
{
    ReportColumn c;
    c.field = caption;
    c.caption = caption;
    c.format = format;
    c.decimals = decimals;
    c.pattern = pattern;
    return c;
}

// A sheet of every kind of column, for the sinks on their own.
ExportSheet mixedSheet()
{
    return {QStringLiteral("Tipos: [todos]"),
            {column(QStringLiteral("Texto"), ReportColumn::Format::Text),
             column(QStringLiteral("Data"), ReportColumn::Format::Date, 0, QStringLiteral("dd/MM/yyyy")),
             column(QStringLiteral("Momento"), ReportColumn::Format::DateTime, 0, QStringLiteral("dd/MM/yyyy HH:mm")),
             column(QStringLiteral("Inteiro"), ReportColumn::Format::Integer),
             column(QStringLiteral("Valor"), ReportColumn::Format::Number, 2)}};
}

QList<QVector<QVariant>> mixedRows()
{
    return {{QStringLiteral("São João"), QDate(2026, 3, 10), QDateTime(QDate(2026, 3, 10), QTime(14, 30)), 1234, 1234567.891},
            // Empty values stay empty cells.
            {QVariant(), QVariant(), QVariant(), QVariant(), QVariant()},
            // Dates as SQLite gives them (ISO text), negative numbers.
            {QStringLiteral("Feijão; carioca"), QStringLiteral("2026-12-31"), QStringLiteral("2026-01-02T08:05:00"), -7, -0.5}};
}

void writeMixed(ReportRowSink &sink)
{
    sink.begin(mixedSheet());
    for (const auto &r : mixedRows())
        sink.row(r);
    sink.commit();
}
} // namespace

class TestExportWriters : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString out(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void datesAndNumbersInCsv()
    {
        const QString file = out(QStringLiteral("tipos.csv"));
        CsvExportWriter sink(file);
        writeMixed(sink);
        const QJsonArray rows = ExportReader::csv(file).value(QStringLiteral("rows")).toArray();
        QCOMPARE(rows.size(), 4);
        QCOMPARE(strings(rows[1]), (QStringList{QStringLiteral("São João"), QStringLiteral("10/03/2026"),
                                                QStringLiteral("10/03/2026 14:30:00"), QStringLiteral("1234"),
                                                QStringLiteral("1234567,89")}));
        QCOMPARE(strings(rows[2]), QStringList(5, QString()));
        QCOMPARE(strings(rows[3]), (QStringList{QStringLiteral("Feijão; carioca"), QStringLiteral("31/12/2026"),
                                                QStringLiteral("02/01/2026 08:05:00"), QStringLiteral("-7"),
                                                QStringLiteral("-0,50")}));
    }

    void datesAndNumbersInXlsx()
    {
        const QString file = out(QStringLiteral("tipos.xlsx"));
        XlsxExportWriter sink(file);
        writeMixed(sink);
        const QJsonObject book = ExportReader::xlsx(file);
        QCOMPARE(book.value(QStringLiteral("sheets")).toArray().size(), 1);
        QCOMPARE(book.value(QStringLiteral("sheets")).toArray()[0].toString(), QStringLiteral("Tipos todos"));
        const QJsonArray rows = book.value(QStringLiteral("rows")).toArray();
        QCOMPARE(rows.size(), 4);
        const QJsonArray first = rows[1].toArray();
        QCOMPARE(first[0][QStringLiteral("value")].toString(), QStringLiteral("São João"));
        QVERIFY(first[1][QStringLiteral("date")].toBool());
        QCOMPARE(first[1][QStringLiteral("value")].toString(), QStringLiteral("2026-03-10T00:00:00"));
        QCOMPARE(first[1][QStringLiteral("format")].toString(), QStringLiteral("dd/mm/yyyy"));
        QVERIFY(first[2][QStringLiteral("date")].toBool());
        QCOMPARE(first[2][QStringLiteral("value")].toString(), QStringLiteral("2026-03-10T14:30:00"));
        QCOMPARE(first[2][QStringLiteral("format")].toString(), QStringLiteral("dd/mm/yyyy hh:mm"));
        QCOMPARE(first[3][QStringLiteral("type")].toString(), QStringLiteral("n"));
        QCOMPARE(first[3][QStringLiteral("value")].toDouble(), 1234.0);
        QCOMPARE(first[4][QStringLiteral("value")].toDouble(), 1234567.89); // the value printed, to the column's decimals
        for (const QJsonValue &c : rows[2].toArray())
            QVERIFY(c[QStringLiteral("value")].isNull());
        const QJsonArray third = rows[3].toArray();
        QCOMPARE(third[1][QStringLiteral("value")].toString(), QStringLiteral("2026-12-31T00:00:00"));
        QCOMPARE(third[2][QStringLiteral("value")].toString(), QStringLiteral("2026-01-02T08:05:00"));
        QCOMPARE(third[4][QStringLiteral("value")].toDouble(), -0.5);
    }

    void csvFieldsAreQuotedWhereTheyMustBe()
    {
        const QStringList texts = {QStringLiteral("a;b"), QStringLiteral("diz \"oi\""), QStringLiteral("linha 1\nlinha 2"),
                                   QStringLiteral("cr\r\nlf"), QStringLiteral(" com margem "), QStringLiteral("€ ção"),
                                   QString(), QStringLiteral("\""), QStringLiteral(";")};
        const QString file = out(QStringLiteral("aspas.csv"));
        CsvExportWriter sink(file);
        ExportSheet sheet{QStringLiteral("Aspas"), {column(QStringLiteral("Texto; livre"), ReportColumn::Format::Text),
                                                    column(QStringLiteral("Outro"), ReportColumn::Format::Text)}};
        sink.begin(sheet);
        for (const QString &t : texts)
            sink.row({t, QStringLiteral("x")});
        sink.commit();
        const QJsonArray rows = ExportReader::csv(file).value(QStringLiteral("rows")).toArray();
        QCOMPARE(rows.size(), texts.size() + 1);
        QCOMPARE(strings(rows[0]), (QStringList{QStringLiteral("Texto; livre"), QStringLiteral("Outro")}));
        for (int i = 0; i < texts.size(); ++i)
            QCOMPARE(strings(rows[i + 1]), (QStringList{texts[i], QStringLiteral("x")}));
        // Plain fields are not quoted.
        QVERIFY(readAll(file).contains("\r\n\xE2\x82\xAC \xC3\xA7\xC3\xA3o;x\r\n"));
    }

    void anAbortedExportLeavesTheOldFileOrNone_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<bool>("existed");
        QTest::addRow("csv, new") << int(ReportExport::Format::Csv) << false;
        QTest::addRow("csv, replacing") << int(ReportExport::Format::Csv) << true;
        QTest::addRow("xlsx, new") << int(ReportExport::Format::Xlsx) << false;
        QTest::addRow("xlsx, replacing") << int(ReportExport::Format::Xlsx) << true;
    }

    void anAbortedExportLeavesTheOldFileOrNone()
    {
        QFETCH(int, format);
        QFETCH(bool, existed);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("saida"));
        if (existed) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("anterior");
        }
        {
            auto sink = ReportExport::sinkFor(ReportExport::Format(format), file);
            sink->begin(mixedSheet());
            for (int i = 0; i < 20000; ++i)
                sink->row(mixedRows()[i % 3]);
            sink->abort();
        }
        {
            // Dropped without commit: the same.
            auto sink = ReportExport::sinkFor(ReportExport::Format(format), file);
            sink->begin(mixedSheet());
            sink->row(mixedRows()[0]);
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 existed ? QStringList{QStringLiteral("saida")} : QStringList());
        if (existed)
            QCOMPARE(readAll(file), QByteArray("anterior"));
    }

    void aSheetTakesAtMostItsRowLimit()
    {
        const QString file = out(QStringLiteral("grande.xlsx"));
        XlsxExportWriter sink(file);
        sink.begin({QStringLiteral("Grande"), {column(QStringLiteral("N"), ReportColumn::Format::Integer)}});
        const QVector<QVariant> one{1};
        for (int i = 0; i < XlsxExportWriter::kMaxRows; ++i)
            sink.row(one);
        try {
            sink.row(one);
            QFAIL("a row past the limit was taken");
        } catch (const EHostError &e) {
            QVERIFY2(e.text().contains(QStringLiteral("CSV")), qPrintable(e.text()));
        }
        sink.abort();
        QVERIFY(!QFile::exists(file));
    }

    void sheetNamesAndDatePatternsExcelAccepts()
    {
        QCOMPARE(XlsxExportWriter::sheetName(QStringLiteral("'A/B: [c]*?'")), QStringLiteral("AB c"));
        QCOMPARE(XlsxExportWriter::sheetName(QStringLiteral("???")), QStringLiteral("Relatório"));
        QCOMPARE(XlsxExportWriter::sheetName(QString(40, QLatin1Char('x'))).size(), 31);
        QCOMPARE(XlsxExportWriter::excelDatePattern(QStringLiteral("dd/MM/yyyy HH:mm:ss"), true), QStringLiteral("dd/mm/yyyy hh:mm:ss"));
        QCOMPARE(XlsxExportWriter::excelDatePattern(QStringLiteral("MMM 'de' yyyy"), false), QStringLiteral("mmm \"de\" yyyy"));
        QCOMPARE(XlsxExportWriter::excelDatePattern(QString(), true), QStringLiteral("dd/mm/yyyy hh:mm"));
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestExportWriters)
#include "test_export_writers.moc"
