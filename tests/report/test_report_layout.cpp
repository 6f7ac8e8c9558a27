// Laying rows out (ReportDocument, ReportLineStream): group headers,
// subtotals and the grand total with their sums, nested groups, page breaks
// that never leave a group header alone at the foot of a page, the empty
// report, and the look of values.
#include "report/layout/ReportDocument.h"
#include "report/layout/ReportLineStream.h"
#include "report/model/DefinitionParser.h"
#include "report/model/ReportFormat.h"

#include <QBuffer>
#include <QPdfWriter>
#include <QtTest>

namespace {
ReportDefinition definition(const QString &groups)
{
    return DefinitionParser::parseText(QStringLiteral("title \"T\"\nquery q\nSQL <<E\nSELECT 1\nE\n"
                                                  "column A \"A\" width 40\n"
                                                  "column V \"V\" width 30 align right format number 2 sum\n"
                                                  "column Q \"Q\" width 30 align right format integer\n")
                                       + groups + QStringLiteral("total \"Total\"\n"),
                                   QStringLiteral("t.rel"));
}

using Rows = QList<QVector<QVariant>>;

// Rows laid out in one pass, as a report run lays them out, with the printed
// lines kept in order for the checks.
class LaidOut {
public:
    LaidOut(const ReportDefinition &def, const Rows &rows) : m_doc(std::make_shared<ReportDocument>(def, TParams()))
    {
        m_doc->begin({"A", "V", "Q", "G", "H"}, {}, std::make_shared<ReportMemoryRows>());
        for (const auto &row : rows)
            m_doc->addRow(row);
        m_doc->finish();
        ReportLineStream stream(m_doc->values(), m_doc->definition());
        for (const auto &row : rows)
            stream.take(row, m_lines);
        stream.end(m_lines);
    }
    int lineCount() const { return int(m_lines.size()); }
    const ReportLine &line(int i) const { return m_lines[i]; }
    QList<int> pageStarts() const
    {
        QList<int> out;
        for (const ReportPageStart &p : m_doc->pages())
            out << int(p.firstLine);
        return out;
    }
    int paint(QPagedPaintDevice *device) const { return m_doc->paint(device); }

private:
    std::shared_ptr<ReportDocument> m_doc;
    QList<ReportLine> m_lines;
};

using K = ReportLine::Kind;
} // namespace

class TestReportLayout : public QObject {
    Q_OBJECT

private slots:
    void groupsSubtotalsAndTotal()
    {
        const ReportDefinition def = definition(QStringLiteral("group G header \"Grupo {G}\" subtotal \"Total {G}\"\n"));
        const LaidOut r(def, {{"a", 1.25, 1, "X", ""}, {"b", 2.5, 2, "X", ""}, {"c", 10.0, 3, "Y", ""}});
        QList<K> kinds;
        for (int i = 0; i < r.lineCount(); ++i)
            kinds << r.line(i).kind;
        QCOMPARE(kinds, (QList<K>{K::GroupHeader, K::Detail, K::Detail, K::Subtotal, K::GroupHeader, K::Detail,
                                  K::Subtotal, K::Total}));
        QCOMPARE(r.line(0).text, QStringLiteral("Grupo X"));
        QCOMPARE(r.line(3).text, QStringLiteral("Total X"));
        QCOMPARE(r.line(3).sums[1].text(), QStringLiteral("3.75"));
        QVERIFY(r.line(3).sums[2].isZero()); // not a summed column
        QCOMPARE(r.line(6).sums[1].text(), QStringLiteral("10.00"));
        QCOMPARE(r.line(7).sums[1].text(), QStringLiteral("13.75"));
        QCOMPARE(r.line(7).text, QStringLiteral("Total"));
    }

    void nestedGroupsCloseInnerFirst()
    {
        const ReportDefinition def = definition(QStringLiteral("group G header \"{G}\" subtotal \"S{G}\"\n"
                                                               "group H header \"{G}.{H}\" subtotal \"S{G}.{H}\"\n"));
        const LaidOut r(def, {{"a", 1.0, 1, "X", "1"}, {"b", 2.0, 1, "X", "2"}, {"c", 4.0, 1, "Y", "2"}});
        QStringList texts;
        for (int i = 0; i < r.lineCount(); ++i)
            texts << (r.line(i).kind == K::Detail ? QStringLiteral("row") : r.line(i).text);
        // A change of the outer group starts the inner one again, even with
        // the same inner value.
        QCOMPARE(texts, (QStringList{"X", "X.1", "row", "SX.1", "X.2", "row", "SX.2", "SX", "Y", "Y.2", "row", "SY.2", "SY", "Total"}));
        QCOMPARE(r.line(7).sums[1].text(), QStringLiteral("3.00")); // SX
        QCOMPARE(r.line(11).sums[1].text(), QStringLiteral("4.00")); // SY.2
    }

    void groupHeadersNeverEndAPage()
    {
        const ReportDefinition def = definition(QStringLiteral("group G header \"Grupo {G}\" subtotal \"Total {G}\"\n"));
        QBuffer buf;
        buf.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buf);
        pdf.setResolution(300);
        pdf.setPageLayout(ReportMetrics::pageLayout(def));
        // Lines a page holds: from a report without groups.
        Rows plain;
        for (int i = 0; i < 300; ++i)
            plain.append({QString::number(i), 1.0, i, "", ""});
        const ReportDefinition noGroups = definition(QString());
        const int perPage = LaidOut(noGroups, plain).pageStarts().value(1);
        QVERIFY(perPage > 10);
        // Groups of 2 rows take 4 lines; shift by one so that a header falls
        // on the last line of the first page.
        Rows rows;
        rows.append({"first", 1.0, 0, "A0", ""});
        for (int g = 1; rows.size() < 200; ++g)
            for (int k = 0; k < 2; ++k)
                rows.append({QString::number(k), 1.0, k, QStringLiteral("G%1").arg(g, 3, 10, QLatin1Char('0')), ""});
        const LaidOut r(def, rows);
        const QList<int> starts = r.pageStarts();
        QVERIFY(starts.size() > 2);
        bool moved = false;
        for (int p = 1; p < starts.size(); ++p) {
            QVERIFY(starts[p] - starts[p - 1] <= perPage);
            QVERIFY2(r.line(starts[p] - 1).kind != K::GroupHeader, qPrintable(QString::number(p)));
            moved = moved || starts[p] - starts[p - 1] < perPage;
        }
        QVERIFY(moved); // the rule had something to do
        QCOMPARE(r.paint(&pdf), int(starts.size()));
    }

    void anEmptyReportSaysSo()
    {
        const ReportDefinition def = definition(QString());
        const LaidOut r(def, {});
        QCOMPARE(r.lineCount(), 1);
        QCOMPARE(r.line(0).kind, K::Empty);
        QBuffer buf;
        buf.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buf);
        pdf.setPageLayout(ReportMetrics::pageLayout(def));
        QCOMPARE(r.paint(&pdf), 1);
        QVERIFY(buf.data().startsWith("%PDF"));
    }

    void valuesLookBrazilianOnPageAndPlainInCsv()
    {
        ReportColumn n;
        n.format = ReportColumn::Format::Number;
        n.decimals = 2;
        QCOMPARE(ReportFormat::display(n, 1234567.891), QStringLiteral("1.234.567,89"));
        QCOMPARE(ReportFormat::csv(n, 1234567.891), QStringLiteral("1234567.89"));
        QCOMPARE(ReportFormat::display(n, QVariant()), QString());
        ReportColumn d;
        d.format = ReportColumn::Format::Date;
        d.pattern = QStringLiteral("dd/MM/yyyy");
        QCOMPARE(ReportFormat::display(d, QStringLiteral("2026-03-09")), QStringLiteral("09/03/2026")); // SQLite text
        QCOMPARE(ReportFormat::display(d, QDate(2026, 3, 9)), QStringLiteral("09/03/2026"));
        QCOMPARE(ReportFormat::csv(d, QDateTime(QDate(2026, 3, 9), QTime(0, 0))), QStringLiteral("2026-03-09"));
        ReportColumn i;
        i.format = ReportColumn::Format::Integer;
        QCOMPARE(ReportFormat::display(i, 12345), QStringLiteral("12.345"));
        ReportParamDecl p;
        p.type = TParam::DataType::Date;
        QCOMPARE(ReportFormat::param(p, QDate(2026, 1, 31).startOfDay()), QStringLiteral("31/01/2026"));
        p.format = QStringLiteral("MM/yyyy");
        QCOMPARE(ReportFormat::param(p, QDate(2026, 1, 31)), QStringLiteral("01/2026"));
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestReportLayout)
#include "test_report_layout.moc"
