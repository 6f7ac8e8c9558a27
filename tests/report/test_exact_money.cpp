// Money without binary-float noise: values as the engines give them (SQLite
// REAL and Firebird DOUBLE as doubles, Firebird NUMERIC as text or integers)
// are kept exactly at the column's decimals (FixedDecimal); subtotals and
// totals add those, so they never drift; the CSV and the workbook hold the
// value printed, the workbook with its shortest text. Workbooks are read
// back with python3 (zipfile for the XML text, openpyxl for the values).
#include "ExportReader.h"
#include "core/Errors.h"
#include "core/FixedDecimal.h"
#include "report/layout/ReportLineStream.h"
#include "report/model/ReportFormat.h"
#include "report/output/CsvExportWriter.h"
#include "report/output/XlsxExportWriter.h"
#include "report/output/XlsxNumberText.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QString exact(const QVariant &v, int scale)
{
    const std::optional<FixedDecimal> d = FixedDecimal::fromVariant(v, scale);
    return d ? d->text() : QStringLiteral("(nenhum)");
}

ReportColumn column(const QString &field, ReportColumn::Format format, int decimals = 2, bool sum = false)
{
    ReportColumn c;
    c.field = field;
    c.caption = field;
    c.format = format;
    c.decimals = decimals;
    c.sum = sum;
    return c;
}

// The amounts of cents that libxlsxwriter's 16 digits write with noise:
// between 2^19 and 10^6, where a double's step is wider than the 16th digit.
QList<qint64> noisyCents(int count)
{
    QList<qint64> out;
    QRandomGenerator rnd(17);
    while (out.size() < count) {
        const qint64 cents = 52428800 + qint64(rnd.bounded(47571199));
        const double d = double(cents) / 100.0;
        if (QString::asprintf("%.16G", d) != QString::number(d, 'g', QLocale::FloatingPointShortest))
            out << cents;
    }
    return out;
}
} // namespace

class TestExactMoney : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void valuesAreTakenByTheDigitsStored()
    {
        QCOMPARE(exact(947326.0200000005, 2), QStringLiteral("947326.02"));
        QCOMPARE(exact(2.675, 2), QStringLiteral("2.68"));   // 2.67499999... in binary
        QCOMPARE(exact(-2.675, 2), QStringLiteral("-2.68")); // half away from zero
        QCOMPARE(exact(0.125, 2), QStringLiteral("0.13"));
        QCOMPARE(exact(-0.004, 2), QStringLiteral("0.00"));
        QCOMPARE(exact(1e-7, 2), QStringLiteral("0.00"));
        QCOMPARE(exact(0.0, 2), QStringLiteral("0.00"));
        QCOMPARE(exact(QStringLiteral("0.000"), 3), QStringLiteral("0.000"));
        QCOMPARE(exact(QStringLiteral("-0"), 0), QStringLiteral("0"));
        QCOMPARE(exact(1.5e10, 2), QStringLiteral("15000000000.00"));
        QCOMPARE(exact(qlonglong(1234), 2), QStringLiteral("1234.00"));
        QCOMPARE(exact(QStringLiteral("12345.675"), 2), QStringLiteral("12345.68")); // a NUMERIC as text
        QCOMPARE(exact(QStringLiteral("-0,5"), 0), QStringLiteral("-1"));
        QCOMPARE(exact(QStringLiteral("99.995"), 2), QStringLiteral("100.00"));
        QCOMPARE(exact(QStringLiteral("abc"), 2), QStringLiteral("(nenhum)"));
        QCOMPARE(exact(QVariant(), 2), QStringLiteral("(nenhum)"));
        QCOMPARE(exact(1e300, 2), QStringLiteral("(nenhum)")); // too large to hold
        QCOMPARE(FixedDecimal(-123456789, 2).grouped(), QStringLiteral("-1.234.567,89"));
        QCOMPARE(FixedDecimal(100, 0).grouped(), QStringLiteral("100"));
        QCOMPARE(FixedDecimal(125000, 3).shortestText(), QStringLiteral("125"));
        QCOMPARE(FixedDecimal(-50, 2).shortestText(), QStringLiteral("-0.5"));
    }

    void sumsDoNotDrift()
    {
        FixedDecimal sum(0, 2);
        double floating = 0;
        for (int i = 0; i < 100000; ++i) {
            sum = sum.plus(*FixedDecimal::fromVariant(0.1, 2));
            floating += 0.1;
        }
        QCOMPARE(sum.text(), QStringLiteral("10000.00"));
        QVERIFY(floating != 10000.0); // what a double sum gives instead
        QVERIFY_THROWS_EXCEPTION(EHostError, FixedDecimal(std::numeric_limits<qint64>::max(), 2).plus(FixedDecimal(1, 2)));
    }

    void subtotalsAndTotalsAreTheSumOfThePrintedValues()
    {
        ReportDefinition def;
        def.columns = {column(QStringLiteral("G"), ReportColumn::Format::Text),
                       column(QStringLiteral("V"), ReportColumn::Format::Number, 2, true)};
        ReportGroup g;
        g.field = QStringLiteral("G");
        g.subtotalCaption = QStringLiteral("Total {G}");
        def.groups = {g};
        def.totalCaption = QStringLiteral("Geral");
        ReportValues values;
        values.setFields({QStringLiteral("G"), QStringLiteral("V")});
        ReportLineStream stream(values, def);
        QList<ReportLine> lines;
        // Each printed as 0,01 (0.005 rounds up); 300 of them make 3,00,
        // where the doubles would sum to 1.5 and print 1,50.
        for (int i = 0; i < 300; ++i)
            stream.take({i < 200 ? QStringLiteral("A") : QStringLiteral("B"), 0.005}, lines);
        stream.end(lines);
        QStringList sums;
        for (const ReportLine &l : std::as_const(lines))
            if (l.kind == ReportLine::Subtotal || l.kind == ReportLine::Total)
                sums << l.text + QLatin1Char('=') + ReportFormat::display(def.columns[1], l.sums[1]);
        QCOMPARE(sums, (QStringList{QStringLiteral("Total A=2,00"), QStringLiteral("Total B=1,00"), QStringLiteral("Geral=3,00")}));
    }

    void csvHoldsThePrintedValueAndCodesAsText()
    {
        const ReportColumn money = column(QStringLiteral("V"), ReportColumn::Format::Number, 2);
        const ReportColumn code = column(QStringLiteral("C"), ReportColumn::Format::Code);
        QCOMPARE(CsvExportWriter::field(money, 947326.0200000005), QStringLiteral("947326,02"));
        QCOMPARE(CsvExportWriter::field(money, 2.675), QStringLiteral("2,68"));
        QCOMPARE(ReportFormat::display(money, 2.675), QStringLiteral("2,68"));
        QCOMPARE(ReportFormat::csv(money, 2.675), QStringLiteral("2.68"));
        QCOMPARE(CsvExportWriter::field(code, QStringLiteral("0101")), QStringLiteral("0101"));
        QCOMPARE(CsvExportWriter::field(code, QStringLiteral("01;2")), QStringLiteral("\"01;2\""));
        QCOMPARE(CsvExportWriter::field(code, QVariant()), QString());
    }

    void sheetTextIsRewrittenWhereverThePiecesAreCut()
    {
        const QByteArray xml = "<row r=\"2\"><c r=\"A2\" t=\"inlineStr\"><is><t>0.30000000000000004</t></is></c>"
                               "<c r=\"B2\" s=\"1\"><v>947326.0200000001</v></c><c r=\"C2\" s=\"2\"><v>46023.5</v></c>"
                               "<c r=\"AA2\" s=\"1\"><v>1.100000000000000</v></c><c r=\"B3\" s=\"1\"/></row>";
        const QByteArray want = "<row r=\"2\"><c r=\"A2\" t=\"inlineStr\"><is><t>0.30000000000000004</t></is></c>"
                                "<c r=\"B2\" s=\"1\"><v>947326.02</v></c><c r=\"C2\" s=\"2\"><v>46023.5</v></c>"
                                "<c r=\"AA2\" s=\"1\"><v>1.1</v></c><c r=\"B3\" s=\"1\"/></row>";
        QVector<int> scales(27, -1);
        scales[1] = 2;
        scales[26] = 3;
        for (int cut = 0; cut <= xml.size(); ++cut) {
            XlsxNumberText::SheetNumbers numbers(scales);
            QByteArray out = numbers.feed(xml.left(cut));
            out += numbers.feed(xml.mid(cut));
            out += numbers.finish();
            QCOMPARE(out, want);
        }
    }

    void workbookHoldsTheShortestTextOfThePrintedValue()
    {
        const QList<qint64> cents = noisyCents(2000);
        const QString file = m_dir.filePath(QStringLiteral("valores.xlsx"));
        XlsxExportWriter sink(file);
        sink.begin({QStringLiteral("Valores"), {}, {column(QStringLiteral("V"), ReportColumn::Format::Number, 2),
                                                 column(QStringLiteral("Q"), ReportColumn::Format::Number, 3)}});
        for (const qint64 c : cents)
            sink.detail({double(c) / 100.0 + 5e-10, 0.1 + 0.2}); // noise as a SUM of REALs leaves it
        sink.commit();
        const QString xml = ExportReader::sheetXml(file);
        QRegularExpression number(QStringLiteral("<c r=\"([A-Z]+)(\\d+)\" s=\"\\d+\"><v>([^<]*)</v>"));
        QStringList values, quantities;
        for (auto it = number.globalMatch(xml); it.hasNext();) {
            const auto m = it.next();
            (m.captured(1) == QLatin1String("A") ? values : quantities) << m.captured(3);
        }
        QCOMPARE(values.size(), cents.size());
        for (int i = 0; i < cents.size(); ++i)
            QCOMPARE(values[i], FixedDecimal(cents[i], 2).shortestText());
        QCOMPARE(quantities.size(), cents.size());
        QCOMPARE(quantities.first(), QStringLiteral("0.3"));
        // And a spreadsheet reads the same value back.
        const QJsonArray rows = ExportReader::xlsx(file).value(QStringLiteral("rows")).toArray();
        QCOMPARE(rows.size(), cents.size() + 3); // title, a blank row, captions
        QCOMPARE(rows[3].toArray()[0].toObject().value(QStringLiteral("value")).toDouble(), double(cents[0]) / 100.0);
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestExactMoney)
#include "test_exact_money.moc"
