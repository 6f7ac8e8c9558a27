// Long reports, laid out in one pass: rows kept in a temporary file and read
// back, pages that can each be painted alone and together show every row
// once, a group's header repeated where it runs onto a page, no empty group
// at level 0, the chart's figures and the template filters.
#include "core/Work.h"
#include "report/layout/ReportChartData.h"
#include "report/layout/ReportDocument.h"
#include "report/layout/ReportSpool.h"
#include "report/model/DefinitionParser.h"
#include "support/TextRecorder.h"

#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

namespace {
ReportDefinition definition(const QString &extra)
{
    return DefinitionParser::parseText(QStringLiteral("title \"T\"\nquery q\nSQL <<E\nSELECT 1\nE\n"
                                                  "column A \"A\" width 40\n"
                                                  "column V \"V\" width 30 align right format number 2 sum\n")
                                       + extra,
                                   QStringLiteral("t.rel"));
}

// Rows A (unique), V, G (group), H (inner group).
QList<QVector<QVariant>> rows(int n, int perGroup, int perInner = 1000000)
{
    QList<QVector<QVariant>> out;
    for (int i = 0; i < n; ++i)
        out.append({QStringLiteral("r%1").arg(i, 6, 10, QLatin1Char('0')), 1.5,
                    QStringLiteral("G%1").arg(i / perGroup, 3, 10, QLatin1Char('0')),
                    QStringLiteral("H%1").arg(i / perInner, 3, 10, QLatin1Char('0'))});
    return out;
}

const QStringList kFields = {QStringLiteral("A"), QStringLiteral("V"), QStringLiteral("G"), QStringLiteral("H")};

std::shared_ptr<ReportDocument> document(const ReportDefinition &def, const QList<QVector<QVariant>> &data,
                                         std::shared_ptr<ReportRowStore> store)
{
    auto doc = std::make_shared<ReportDocument>(def, TParams());
    doc->begin(kFields, {}, std::move(store));
    for (const auto &r : data)
        doc->addRow(r);
    doc->finish();
    return doc;
}

// What page i shows, painted alone.
QStringList pageTexts(ReportDocument &doc, int i, ReportRowReader &reader)
{
    RecordingDevice device(doc.pageLayout(), ReportMetrics::Resolution);
    QPainter p(&device);
    doc.paintPage(p, i, reader);
    p.end();
    return device.recorder().textList();
}
} // namespace

class TestReportLong : public QObject {
    Q_OBJECT

private slots:
    void theSpoolKeepsTypesAndFindsRowsAgain()
    {
        ReportSpool spool(4);
        const QString big(300000, QChar(0x00e7)); // longer than a read chunk
        const QList<QVector<QVariant>> data = {
            {QVariant(), qlonglong(-5), 2.25, QStringLiteral("Feijão")},
            {QDate(2026, 3, 9), QDateTime(QDate(2026, 3, 9), QTime(10, 30)), true, big},
            {QTime(7, 15), 1234567890123LL, -0.5, QString()},
        };
        QList<qint64> tokens;
        for (const auto &r : data)
            tokens << spool.append(r);
        spool.finish();
        QCOMPARE(spool.rowCount(), 3);
        const auto reader = spool.reader();
        QVector<QVariant> row;
        for (int i : {2, 0, 1}) {
            reader->seek(tokens[i]);
            QVERIFY(reader->next(row));
            QCOMPARE(row, data[i]);
        }
        QVERIFY(reader->next(row)); // the one after
        QCOMPARE(row, data[2]);
        QVERIFY(!reader->next(row)); // after the last one
        const QString file = spool.fileName();
        QVERIFY(QFile::exists(file));
    }

    void everyPageAloneShowsWhatTheRunShows()
    {
        const ReportDefinition def = definition(QStringLiteral("group G header \"Grupo {G}\" subtotal \"Total {G}\"\n"
                                                               "group H header \"Sub {H}\" subtotal \"Total {H}\"\n"
                                                               "total \"Geral\"\n"));
        const QList<QVector<QVariant>> data = rows(1500, 170, 37);
        auto inMemory = document(def, data, std::make_shared<ReportMemoryRows>(data));
        auto spooled = document(def, data, std::make_shared<ReportSpool>(4));
        QVERIFY(inMemory->pageCount() > 10);
        QCOMPARE(spooled->pageCount(), inMemory->pageCount());
        const auto memReader = inMemory->rows()->reader();
        const auto spoolReader = spooled->rows()->reader();
        // Backwards, so that every page starts from where it is kept.
        QStringList details, subtotals;
        for (int i = inMemory->pageCount() - 1; i >= 0; --i) {
            const QStringList texts = pageTexts(*spooled, i, *spoolReader);
            for (const QString &t : texts)
                if (t.startsWith(QLatin1String("Total G")))
                    subtotals << t;
            QVERIFY(!texts.contains(QStringLiteral("Total "))); // a caption without its group
            QCOMPARE(texts, pageTexts(*inMemory, i, *memReader));
            QVERIFY(texts.contains(QStringLiteral("Página %1 de %2").arg(i + 1).arg(inMemory->pageCount())));
            QStringList onPage;
            for (const QString &t : texts)
                if (t.startsWith(QLatin1Char('r')))
                    onPage << t;
            details = onPage + details;
        }
        subtotals.sort();
        QStringList groups;
        for (int g = 0; g * 170 < data.size(); ++g)
            groups << QStringLiteral("Total G%1").arg(g, 3, 10, QLatin1Char('0'));
        QCOMPARE(subtotals, groups); // each group's subtotal once, named after it
        QCOMPARE(details.size(), data.size()); // every row once, in order
        for (int i = 0; i < data.size(); ++i)
            QCOMPARE(details[i], data[i][0].toString());
    }

    void aGroupRunningOntoAPageRepeatsItsHeader()
    {
        const ReportDefinition def = definition(QStringLiteral("group G header \"Grupo {G}\" subtotal \"Total {G}\"\n"
                                                               "group H header \"Sub {H}\"\ntotal \"Geral\"\n"));
        const QList<QVector<QVariant>> data = rows(400, 400, 30);
        auto doc = document(def, data, std::make_shared<ReportMemoryRows>(data));
        QVERIFY(doc->pageCount() > 3);
        const auto reader = doc->rows()->reader();
        for (int i = 1; i < doc->pageCount(); ++i) {
            const QStringList texts = pageTexts(*doc, i, *reader);
            const int grupo = int(texts.indexOf(QStringLiteral("Grupo G000 (continuação)")));
            QVERIFY2(grupo > 0, qPrintable(texts.join(QLatin1Char('|'))));
            // The outer group first, then the inner one when the page opens inside it.
            const QString next = texts.value(grupo + 1);
            QVERIFY2(next.startsWith(QLatin1String("Sub H")), qPrintable(next));
        }
        QVERIFY(!pageTexts(*doc, 0, *reader).join(QLatin1Char('|')).contains(QStringLiteral("continuação")));
        // Nothing repeats a header that the page's own first line prints.
        for (const ReportPageStart &p : doc->pages())
            QVERIFY(p.continued.size() <= 2);
    }

    void anEmptyGroupValuePrintsNoGroup()
    {
        const ReportDefinition def = definition(QStringLiteral("group G header \"{G} - x\" subtotal \"Total de {G} - x\" skipempty\n"
                                                               "total \"Total Geral\"\n"));
        QList<QVector<QVariant>> data = rows(5, 100);
        for (auto &r : data)
            r[2] = QString(); // grouping level 0: no code
        auto doc = document(def, data, std::make_shared<ReportMemoryRows>(data));
        const auto reader = doc->rows()->reader();
        const QStringList texts = pageTexts(*doc, 0, *reader);
        QVERIFY(!texts.contains(QStringLiteral(" - x")));
        QVERIFY(!texts.join(QLatin1Char('|')).contains(QStringLiteral("Total de")));
        QVERIFY(texts.contains(QStringLiteral("Total Geral")));
        QVERIFY(texts.contains(QStringLiteral("7,50"))); // the grand total still sums
        // A value that is not empty still makes its group.
        data[4][2] = QStringLiteral("K");
        auto mixed = document(def, data, std::make_shared<ReportMemoryRows>(data));
        const auto r2 = mixed->rows()->reader();
        const QStringList t2 = pageTexts(*mixed, 0, *r2);
        QVERIFY(t2.contains(QStringLiteral("K - x")));
        QVERIFY(t2.contains(QStringLiteral("Total de K - x")));
        QCOMPARE(t2.count(QStringLiteral("Total de  - x")), 0);
    }

    void theChartSumsPerKey()
    {
        const ReportDefinition def = definition(QStringLiteral("total \"Geral\"\nchart \"Custo por grupo\" value V by G label \"Grupo {G}\"\n"));
        QList<QVector<QVariant>> data = rows(30, 10); // G000, G001, G002: 10 rows of 1.5 each
        data[0][1] = 100.0;
        auto doc = document(def, data, std::make_shared<ReportMemoryRows>(data));
        const auto reader = doc->rows()->reader();
        RecordingDevice device(doc->pageLayout(), ReportMetrics::Resolution);
        QPainter p(&device);
        doc->paintPage(p, doc->pageCount() - 1, *reader);
        p.end();
        const QStringList texts = device.recorder().textList();
        QVERIFY(texts.contains(QStringLiteral("Custo por grupo")));
        for (const char *label : {"Grupo G000", "Grupo G001", "Grupo G002"})
            QVERIFY2(texts.contains(QLatin1String(label)), label);
        QVERIFY(texts.contains(QStringLiteral("113,50")));
        QVERIFY(texts.contains(QStringLiteral("15,00")));
        // Three bars, the first the longest.
        QList<QRectF> bars = device.recorder().rects;
        QCOMPARE(bars.size(), 3);
        QVERIFY(bars[0].width() > 5 * bars[1].width());
        QCOMPARE(bars[1].width(), bars[2].width());

        ReportValues values(def, TParams(), nullptr, QDateTime());
        values.setFields(kFields);
        ReportChartData chart;
        chart.setUp(def, values);
        for (const auto &r : rows(50, 10))
            chart.take(r);
        const QList<ReportChartData::Bar> two = chart.bars(3); // five keys in three bars
        QCOMPARE(two.size(), 3);
        QCOMPARE(two.last().label, QStringLiteral("Outros"));
        QCOMPARE(two.last().value, 45.0);
    }

    void aChartThatDoesNotFitGoesWholeToTheNextPage()
    {
        const ReportDefinition def = definition(QStringLiteral("total \"Geral\"\nchart \"Custo por grupo\" value V by G\n"));
        // As many rows as leave three lines under the total.
        auto probe = document(def, rows(10, 5), std::make_shared<ReportMemoryRows>(rows(10, 5)));
        const int fit = probe->metrics().linesPerPage - 4;
        const QList<QVector<QVariant>> data = rows(fit, 5);
        auto doc = document(def, data, std::make_shared<ReportMemoryRows>(data));
        QCOMPARE(doc->pageCount(), 2);
        const auto reader = doc->rows()->reader();
        const QStringList first = pageTexts(*doc, 0, *reader);
        QVERIFY(first.contains(QStringLiteral("Geral")));
        QVERIFY(!first.contains(QStringLiteral("Custo por grupo")));
        const QStringList second = pageTexts(*doc, 1, *reader);
        QVERIFY(second.contains(QStringLiteral("Custo por grupo")));
        for (int g = 0; g * 5 < fit; ++g)
            QVERIFY(second.contains(QStringLiteral("G%1").arg(g, 3, 10, QLatin1Char('0'))));
        QVERIFY(second.contains(QStringLiteral("Página 2 de 2")));
    }

    void printingWritesEveryPage()
    {
        const ReportDefinition def = definition(QStringLiteral("total \"Geral\"\n"));
        const QList<QVector<QVariant>> data = rows(400, 50);
        auto doc = document(def, data, std::make_shared<ReportSpool>(4));
        QTemporaryDir dir;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("impresso.pdf")));
        const std::unique_ptr<Work> work = doc->startPrinting(&printer);
        QTRY_VERIFY_WITH_TIMEOUT(work->finished(), 60000);
        QCOMPARE(work->error(), QString());
        QCOMPARE(work->done(), qint64(doc->pageCount()));
        QFile f(printer.outputFileName());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray pdf = f.readAll();
        static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![s])"));
        QCOMPARE(int(QString::fromLatin1(pdf).count(page)), doc->pageCount());
    }

    void templateFilters()
    {
        const ReportDefinition def = DefinitionParser::parseText(
            QStringLiteral("title \"T\"\nparam P_K string\nparam P_N integer\nquery q\nSQL <<E\nSELECT 1\nE\n"
                           "query l\nSQL <<E\nSELECT 1\nE\ncolumn A \"A\" width 40 format code\n"),
            QStringLiteral("t.rel"));
        TParams params;
        params.add(QStringLiteral("P_K")).SetAsString(QStringLiteral("S"));
        params.add(QStringLiteral("P_N")).SetAsInteger(4);
        auto picture = std::make_shared<TDBPicture>(0, QStringLiteral("Árvore"), QList<int>{2, 2, 4}, QStringLiteral("99.99.9999;0; "));
        ReportValues v(def, params, picture, QDateTime(QDate(2026, 3, 9), QTime(14, 5)));
        v.setFields({QStringLiteral("A")});
        v.setLookups({{QStringLiteral("L.X*"), QStringList{QStringLiteral("um"), QStringLiteral("dois")}}});
        const QVector<QVariant> row = {QStringLiteral("01010003")};
        QCOMPARE(v.expand(QStringLiteral("{A|picture}"), &row), QStringLiteral("01.01.0003"));
        QCOMPARE(v.cell(def.columns[0], QStringLiteral("0101")), QStringLiteral("01.01"));
        QCOMPARE(v.code(QStringLiteral("02zzzzzz")), QStringLiteral("02")); // the end of a range
        QCOMPARE(v.code(QString()), QString());
        QCOMPARE(v.expand(QStringLiteral("{P_N|level} {P_K|S=sim;N=não} {P_K|N=não}"), nullptr), QStringLiteral("2 sim S"));
        QCOMPARE(v.expand(QStringLiteral("{P_K|X=a;*=outro}"), nullptr), QStringLiteral("outro"));
        QCOMPARE(v.expand(QStringLiteral("{l.X|all}"), nullptr), QStringLiteral("um, dois"));
        QCOMPARE(v.expand(QStringLiteral("{now}"), nullptr), QStringLiteral("09/03/2026 14:05"));
        QCOMPARE(v.level(0), 0);
        QCOMPARE(v.level(8), 3);
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestReportLong)
#include "test_report_long.moc"
