// The export sinks on their own (CsvExportWriter, XlsxExportWriter): every
// kind of column, quoting, a CSV that no spreadsheet takes a formula from and
// every program reads plainly, amounts beyond Excel's 15 digits, the row
// limit of a sheet, and an aborted export that leaves the old file or none.
// Files are read back with python3's csv module, pandas, Gnumeric and
// openpyxl.
#include "ExportReader.h"
#include "core/Errors.h"
#include "report/output/CsvExportWriter.h"
#include "report/output/ExportFormat.h"
#include "report/output/XlsxExportWriter.h"
#include "report/output/XlsxStyles.h"

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
    return {QStringLiteral("Tipos: [todos]"), {},
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
        sink.detail(r);
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
        QCOMPARE(rows.size(), 5);
        QCOMPARE(strings(rows[1]), (QStringList{QStringLiteral("Relatório"), QStringLiteral("Tipos: [todos]")} + QStringList(5)));
        QCOMPARE(strings(rows[2]), (QStringList{QStringLiteral("Linha"), QString(), QStringLiteral("São João"), QStringLiteral("10/03/2026"),
                                                QStringLiteral("10/03/2026 14:30:00"), QStringLiteral("1234"),
                                                QStringLiteral("1234567,89")}));
        QCOMPARE(strings(rows[3]), QStringList{QStringLiteral("Linha")} + QStringList(6, QString()));
        QCOMPARE(strings(rows[4]), (QStringList{QStringLiteral("Linha"), QString(), QStringLiteral("Feijão; carioca"), QStringLiteral("31/12/2026"),
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
        QCOMPARE(rows.size(), 6); // title, a blank row, captions, three lines
        QCOMPARE(rows[0].toArray()[0][QStringLiteral("value")].toString(), QStringLiteral("Tipos: [todos]"));
        QCOMPARE(book.value(QStringLiteral("freeze")).toString(), QStringLiteral("A4"));
        QCOMPARE(book.value(QStringLiteral("filter")).toString(), QStringLiteral("A3:E6"));
        const QJsonArray first = rows[3].toArray();
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
        for (const QJsonValue &c : rows[4].toArray())
            QVERIFY(c[QStringLiteral("value")].isNull());
        const QJsonArray third = rows[5].toArray();
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
        ExportSheet sheet{QStringLiteral("Aspas"), {}, {column(QStringLiteral("Texto; livre"), ReportColumn::Format::Text),
                                                    column(QStringLiteral("Outro"), ReportColumn::Format::Text)}};
        sink.begin(sheet);
        for (const QString &t : texts)
            sink.detail({t, QStringLiteral("x")});
        sink.commit();
        const QJsonArray rows = ExportReader::csv(file).value(QStringLiteral("rows")).toArray();
        QCOMPARE(rows.size(), texts.size() + 2);
        QCOMPARE(strings(rows[0]), (QStringList{QStringLiteral("Tipo"), QStringLiteral("Descrição"),
                                                QStringLiteral("Texto; livre"), QStringLiteral("Outro")}));
        for (int i = 0; i < texts.size(); ++i)
            QCOMPARE(strings(rows[i + 2]).mid(2), (QStringList{texts[i], QStringLiteral("x")}));
        // Plain fields are not quoted.
        QVERIFY(readAll(file).contains("\r\nLinha;;\xE2\x82\xAC \xC3\xA7\xC3\xA3o;x\r\n"));
    }

    void anAbortedExportLeavesTheOldFileOrNone_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<bool>("existed");
        for (const ExportFormat &f : ExportFormats::all()) {
            QTest::addRow("%s, new", qPrintable(f.extension)) << int(f.id) << false;
            QTest::addRow("%s, replacing", qPrintable(f.extension)) << int(f.id) << true;
        }
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
            auto sink = ExportFormats::of(ExportFormat::Id(format)).writer(file);
            sink->begin(mixedSheet());
            for (int i = 0; i < 20000; ++i)
                sink->detail(mixedRows()[i % 3]);
            sink->abort();
        }
        {
            // Dropped without commit: the same.
            auto sink = ExportFormats::of(ExportFormat::Id(format)).writer(file);
            sink->begin(mixedSheet());
            sink->detail(mixedRows()[0]);
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
        sink.begin({QStringLiteral("Grande"), {}, {column(QStringLiteral("N"), ReportColumn::Format::Integer)}});
        const QVector<QVariant> one{1};
        // Under the title, a blank row and the captions.
        for (int i = 0; i < XlsxExportWriter::kSheetRows - 3; ++i)
            sink.detail(one);
        try {
            sink.detail(one);
            QFAIL("a row past the limit was taken");
        } catch (const EHostError &e) {
            QVERIFY2(e.text().contains(QStringLiteral("CSV")), qPrintable(e.text()));
        }
        sink.abort();
        QVERIFY(!QFile::exists(file));
    }

    void sheetNamesAndDatePatternsExcelAccepts()
    {
        QCOMPARE(XlsxStyles::sheetName(QStringLiteral("'A/B: [c]*?'")), QStringLiteral("AB c"));
        QCOMPARE(XlsxStyles::sheetName(QStringLiteral("???")), QStringLiteral("Relatório"));
        QCOMPARE(XlsxStyles::sheetName(QString(40, QLatin1Char('x'))).size(), 31);
        // Whole words, without the aside in parentheses or a dangling "do".
        QCOMPARE(XlsxStyles::sheetName(QStringLiteral("Custo Realizado Global do Período (Planejamento de Alimentação "
                                                      "Escolar)")),
                 QStringLiteral("Custo Realizado Global"));
        QCOMPARE(XlsxStyles::sheetName(QStringLiteral("Resumo por Nível de Produto")), QStringLiteral("Resumo por Nível de Produto"));
        QCOMPARE(XlsxStyles::excelDatePattern(QStringLiteral("dd/MM/yyyy HH:mm:ss"), true), QStringLiteral("dd/mm/yyyy hh:mm:ss"));
        QCOMPARE(XlsxStyles::excelDatePattern(QStringLiteral("MMM 'de' yyyy"), false), QStringLiteral("mmm \"de\" yyyy"));
        QCOMPARE(XlsxStyles::excelDatePattern(QString(), true), QStringLiteral("dd/mm/yyyy hh:mm"));
    }

    // Texts a spreadsheet would run as formulas, in a text column and a code
    // column, beside codes with leading zeros and negative numbers.
    void csvIsSafeInASpreadsheetAndPlainForPrograms()
    {
        const QStringList hostile = {QStringLiteral("=2+3"), QStringLiteral("+2+3"), QStringLiteral("-2+3"),
                                     QStringLiteral("@SUM(2;3)"), QStringLiteral("\t=2+3"), QStringLiteral("\r=2+3"),
                                     QStringLiteral("=HYPERLINK(\"http://127.0.0.1/\";\"x\")")};
        const QString file = out(QStringLiteral("seguro.csv"));
        CsvExportWriter sink(file);
        sink.begin({QStringLiteral("=Título"), {QStringLiteral("-Filial: =1+1")},
                    {column(QStringLiteral("Produto"), ReportColumn::Format::Text),
                     column(QStringLiteral("Código"), ReportColumn::Format::Code),
                     column(QStringLiteral("Valor"), ReportColumn::Format::Number, 2)}});
        for (const QString &t : hostile)
            sink.detail({t, QStringLiteral("01010001"), -0.5});
        sink.row({ExportRow::Kind::Total, 0, QStringLiteral("=Total"), {QVariant(), QVariant(), QStringLiteral("-3.50")}});
        sink.commit();

        const QJsonArray rows = ExportReader::csv(file).value(QStringLiteral("rows")).toArray();
        QCOMPARE(strings(rows[1])[1], QStringLiteral("'=Título"));
        QCOMPARE(strings(rows[2])[1], QStringLiteral("'-Filial: =1+1"));
        for (int i = 0; i < hostile.size(); ++i)
            QCOMPARE(strings(rows[i + 3]).mid(2), (QStringList{QLatin1Char('\'') + hostile[i], QStringLiteral("01010001"),
                                                               QStringLiteral("-0,50")}));
        QCOMPARE(strings(rows.last()), (QStringList{QStringLiteral("Total"), QStringLiteral("'=Total"), QString(), QString(),
                                                     QStringLiteral("-3,50")}));

        const QJsonObject frame = ExportReader::pandas(file);
        QCOMPARE(frame.value(QStringLiteral("columns")).toArray().size(), 5);
        const QJsonArray frameRows = frame.value(QStringLiteral("rows")).toArray();
        QCOMPARE(frameRows.size(), rows.size() - 1);
        QCOMPARE(strings(frameRows[2])[3], QStringLiteral("01010001")); // the code, zeros kept

        // Gnumeric under pt_BR evaluates what it takes for a formula: "5" or
        // "#NOME?" here would be one that ran.
        const QJsonArray shown = ExportReader::gnumeric(file).value(QStringLiteral("rows")).toArray();
        QStringList cells;
        for (const QJsonValue &line : shown)
            cells << strings(line);
        QVERIFY2(!cells.contains(QStringLiteral("5")) && !cells.join(QLatin1Char('\n')).contains(QLatin1Char('#')),
                 qPrintable(cells.join(QLatin1Char('|'))));
        for (const char *text : {"=2+3", "+2+3", "-2+3", "@SUM(2;3)", "=Título", "-Filial: =1+1", "=Total"})
            QVERIFY2(cells.contains(QString::fromUtf8(text)) || cells.contains(QLatin1Char('\'') + QString::fromUtf8(text)),
                     qPrintable(QString::fromUtf8(text) + QStringLiteral(" not in ") + cells.join(QLatin1Char('|'))));
        QVERIFY(cells.contains(QStringLiteral("-0,5")) || cells.contains(QStringLiteral("-0,50"))); // numbers stay numbers
    }

    // The variant for spreadsheets: codes a spreadsheet would turn into
    // numbers or dates stay text there, and nothing else becomes a formula.
    void csvForSpreadsheetsKeepsCodesAsText()
    {
        const QString file = out(QStringLiteral("planilha.csv"));
        const std::unique_ptr<ReportRowSink> sink = ExportFormats::of(ExportFormat::Id::CsvSpreadsheet).writer(file);
        sink->begin({QStringLiteral("Códigos"), {},
                     {column(QStringLiteral("Código"), ReportColumn::Format::Code),
                      column(QStringLiteral("Produto"), ReportColumn::Format::Text)}});
        for (const char *code : {"01010001", "01.01.0001", "AB12", "=2+3", "0101\"&A1&\""})
            sink->detail({QString::fromUtf8(code), QStringLiteral("=1+1")});
        sink->commit();
        const QByteArray raw = readAll(file);
        QVERIFY2(raw.contains(";=\"01010001\";'=1+1\r\n") && raw.contains(";=\"01.01.0001\";")
                     && raw.contains(";AB12;") && raw.contains(";'=2+3;"),
                 raw.constData());
        QStringList cells;
        for (const QJsonValue &line : ExportReader::gnumeric(file).value(QStringLiteral("rows")).toArray())
            cells << strings(line);
        for (const char *shown : {"01010001", "01.01.0001", "AB12", "=2+3", "=1+1"})
            QVERIFY2(cells.contains(QString::fromUtf8(shown)), qPrintable(cells.join(QLatin1Char('|'))));
        QVERIFY2(!cells.contains(QStringLiteral("2")) && !cells.contains(QStringLiteral("5")), qPrintable(cells.join(QLatin1Char('|'))));
        QCOMPARE(ExportFormats::of(ExportFormat::Id::CsvSpreadsheet).proposedFileName(QStringLiteral("Resumo"),
                                                                                     QStringLiteral("custo-0101")),
                 QStringLiteral("custo-0101-planilha.csv"));
    }

    // Excel keeps 15 significant digits in a number: a longer amount is
    // written whole as text, with a note, and the rest stay numbers.
    void amountsBeyondExcelDigitsStayWhole()
    {
        const QString file = out(QStringLiteral("grandes.xlsx"));
        XlsxExportWriter sink(file);
        sink.begin({QStringLiteral("Grandes"), {}, {column(QStringLiteral("Valor"), ReportColumn::Format::Number, 2)}});
        for (const char *v : {"1234567890122230.63", "104567890123457.92", "9999999999999.99", "-9999999999999.99",
                              "10000000000000000.00"})
            sink.detail({QString::fromLatin1(v)});
        sink.commit();
        const QJsonObject book = ExportReader::xlsx(file);
        const QJsonArray rows = book.value(QStringLiteral("rows")).toArray();
        auto cell = [&](int line) { return rows[2 + line].toArray()[0].toObject(); };
        QCOMPARE(cell(1)[QStringLiteral("value")].toString(), QStringLiteral("1.234.567.890.122.230,63"));
        QVERIFY(cell(1)[QStringLiteral("note")].toString().contains(QLatin1String("15 algarismos")));
        QCOMPARE(cell(2)[QStringLiteral("value")].toString(), QStringLiteral("104.567.890.123.457,92"));
        for (int line : {3, 4, 5}) {
            QCOMPARE(cell(line)[QStringLiteral("type")].toString(), QStringLiteral("n"));
            QVERIFY(cell(line)[QStringLiteral("note")].isNull());
        }
        // The number's own text in the sheet, not libxlsxwriter's 16 digits.
        const QString xml = ExportReader::sheetXml(file);
        QVERIFY2(xml.contains(QLatin1String("<v>9999999999999.99</v>")) && xml.contains(QLatin1String("<v>-9999999999999.99</v>")),
                 qPrintable(xml));
        QVERIFY(rows.last().toArray()[0].toObject()[QStringLiteral("value")].toString().contains(QLatin1String("texto")));
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestExportWriters)
#include "test_export_writers.moc"
