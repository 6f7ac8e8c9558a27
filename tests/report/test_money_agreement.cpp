// The printed report (PDF), its rows as CSV (--out's report-N.csv), the CSV
// export and the XLSX export of one long run agree to the cent on every row,
// every subtotal and the grand total, and the grand total printed is the
// exact sum of the rows: a scripted
// session of the shell under pt_BR.UTF-8 over a database whose report prints
// 100,000 rows of office-shaped money. The PDF is read with pdftotext, the
// workbook's stored text with python3's zipfile, so the check sees what a
// spreadsheet sees: the numbers' text itself, which must be the shortest.
#include "core/FixedDecimal.h"
#include "support/LongReportDatabase.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {
#if defined(__SANITIZE_ADDRESS__)
constexpr int kRows = 20000; // the sanitizers' build is several times slower
#else
constexpr int kRows = 100000;
#endif

// One row's money as each output holds it: quantity (3 decimals), the
// period's cost and the months' cost (2 decimals), each as exact units.
using Amounts = std::array<qint64, 3>;
constexpr int kScales[3] = {3, 2, 2};

Amounts amounts(const QStringList &texts)
{
    Amounts a{};
    for (int i = 0; i < 3; ++i) {
        const std::optional<FixedDecimal> d = FixedDecimal::fromText(texts.value(i), kScales[i]);
        a[i] = d ? d->units() : std::numeric_limits<qint64>::min();
    }
    return a;
}

// "1.234,56" as C writes it: "1234.56".
QString cForm(QString printed) { return printed.remove(QLatin1Char('.')).replace(QLatin1Char(','), QLatin1Char('.')); }

QByteArray output(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(600000);
    return p.readAllStandardOutput();
}

QString onlyFile(const QString &dir, const QString &pattern)
{
    const QStringList found = QDir(dir).entryList({pattern}, QDir::Files);
    return found.size() == 1 ? QDir(dir).filePath(found[0]) : QString();
}

// Subtotals and the grand total, in order: the period's and the months' cost.
using Sums = QList<std::array<qint64, 2>>;

std::array<qint64, 2> sumOf(const QStringList &texts)
{
    const Amounts a = amounts({QStringLiteral("0"), texts.value(0), texts.value(1)});
    return {a[1], a[2]};
}

// Detail lines of the printed text: the last three numbers of a line that
// has three; subtotals and totals have two (into sums). Total Geral's two apart.
QList<Amounts> printedRows(const QString &pdf, QStringList &total, Sums &sums)
{
    const QString text = QString::fromUtf8(output(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")}));
    static const QRegularExpression three(QStringLiteral("(-?[\\d.]+,\\d{3})\\s+(-?[\\d.]+,\\d{2})\\s+(-?[\\d.]+,\\d{2})\\s*$"));
    static const QRegularExpression grand(QStringLiteral("Total Geral\\s+(-?[\\d.]+,\\d{2})\\s+(-?[\\d.]+,\\d{2})\\s*$"));
    static const QRegularExpression two(QStringLiteral("^\\s*Total.*\\s(-?[\\d.]+,\\d{2})\\s+(-?[\\d.]+,\\d{2})\\s*$"));
    QList<Amounts> rows;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const auto m = three.match(line);
        if (m.hasMatch()) {
            rows << amounts({cForm(m.captured(1)), cForm(m.captured(2)), cForm(m.captured(3))});
        }
        const auto g = grand.match(line);
        if (g.hasMatch())
            total = {cForm(g.captured(1)), cForm(g.captured(2))};
        const auto t = two.match(line);
        if (!m.hasMatch() && t.hasMatch())
            sums << sumOf({cForm(t.captured(1)), cForm(t.captured(2))});
    }
    return rows;
}

// Rows of a CSV (';' or ',' between fields, the header skipped), the three
// money columns counted from the end. An export's lines say their kind
// first: its details are "Linha", its subtotals and total (into sums) the
// last two fields of "Subtotal" and "Total".
QList<Amounts> csvRows(const QString &path, QChar separator, Sums *sums = nullptr)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QList<Amounts> rows;
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList fields = lines[i].split(separator);
        if (sums && (fields[0] == QLatin1String("Subtotal") || fields[0] == QLatin1String("Total"))) {
            *sums << sumOf(fields.mid(fields.size() - 2).replaceInStrings(QStringLiteral(","), QStringLiteral(".")));
            continue;
        }
        if (sums && fields[0] != QLatin1String("Linha"))
            continue; // the title, the header, group headers
        QStringList money = fields.mid(fields.size() - 3);
        for (QString &m : money)
            m.replace(QLatin1Char(','), QLatin1Char('.'));
        rows << amounts(money);
    }
    return rows;
}

// The workbook's money cells as stored (a detail's last three columns; a
// subtotal's or the total's two, into sums), each required to be its
// shortest text.
QList<Amounts> xlsxRows(const QString &path, int &noisy, Sums &sums)
{
    const QString xml = QString::fromUtf8(output(QStringLiteral(SYSTEM_PYTHON3),
        {QStringLiteral("-c"), QStringLiteral("import sys, zipfile\nsys.stdout.write(zipfile.ZipFile(sys.argv[1]).read("
                                              "'xl/worksheets/sheet1.xml').decode())\n"), path}));
    static const QRegularExpression row(QStringLiteral("<row [^>]*>(.*?)</row>"));
    static const QRegularExpression number(QStringLiteral("<c r=\"[A-Z]+\\d+\" s=\"\\d+\"><v>([^<]*)</v></c>"));
    QList<Amounts> rows;
    noisy = 0;
    for (auto it = row.globalMatch(xml); it.hasNext();) {
        QStringList values;
        for (auto n = number.globalMatch(it.next().captured(1)); n.hasNext();)
            values << n.next().captured(1);
        if (values.size() < 2)
            continue; // the title, the header, the captions, group headers
        for (int i = 0; i < values.size(); ++i) {
            const std::optional<FixedDecimal> d = FixedDecimal::fromText(values[i], kScales[i + 3 - values.size()]);
            noisy += !d || d->shortestText() != values[i];
        }
        if (values.size() == 2)
            sums << sumOf(values);
        else
            rows << amounts(values.mid(values.size() - 3));
    }
    return rows;
}
} // namespace

class TestMoneyAgreement : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void theOutputsAgreeToTheCent()
    {
        const QString database = m_dir.filePath(QStringLiteral("longo.sqlite"));
        LongReportDatabase::make(database, kRows);
        const QString out = m_dir.filePath(QStringLiteral("saida"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("pt_BR.UTF-8"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("data")));
        QProcess shell;
        shell.setProcessEnvironment(env);
        shell.start(QStringLiteral(SHELL_PROGRAM), {QStringLiteral("--script"), QStringLiteral("-"), QStringLiteral("--db"),
                                                    QStringLiteral("sqlite:") + database, QStringLiteral("--out"), out});
        // Grouped by the second level, so that there are subtotals to agree on.
        shell.write(LongReportDatabase::script({QStringLiteral("focus sedNiveOrde"), QStringLiteral("key Up"),
                                                QStringLiteral("key Up"), QStringLiteral("command print"), QStringLiteral("command exportcsv"),
                                                QStringLiteral("command exportxlsx"), QStringLiteral("close")}).toUtf8());
        shell.closeWriteChannel();
        QVERIFY(shell.waitForFinished(900000));
        QVERIFY2(shell.exitCode() == 0, shell.readAllStandardOutput() + shell.readAllStandardError());

        const QString session = QString::fromUtf8(shell.readAllStandardOutput());
        const QString files = QDir(out).entryList(QDir::Files).join(QLatin1Char(' '));
        for (const char *pattern : {"print-*.pdf", "report-*.csv", "export-*.csv", "export-*.xlsx"})
            QVERIFY2(!onlyFile(out, QLatin1String(pattern)).isEmpty(), qPrintable(files + QLatin1Char('\n') + session.right(2000)));
        QStringList total;
        Sums printedSums, exportedSums, workbookSums;
        const QList<Amounts> printed = printedRows(onlyFile(out, QStringLiteral("print-*.pdf")), total, printedSums);
        const QList<Amounts> rowsCsv = csvRows(onlyFile(out, QStringLiteral("report-*.csv")), QLatin1Char(','));
        const QList<Amounts> exported = csvRows(onlyFile(out, QStringLiteral("export-*.csv")), QLatin1Char(';'), &exportedSums);
        int noisy = -1;
        const QList<Amounts> workbook = xlsxRows(onlyFile(out, QStringLiteral("export-*.xlsx")), noisy, workbookSums);
        QVERIFY2(printed.size() == kRows, qPrintable(QStringLiteral("%1 printed rows").arg(printed.size())));
        QCOMPARE(rowsCsv.size(), kRows);
        QCOMPARE(exported.size(), kRows);
        QCOMPARE(workbook.size(), kRows);
        QCOMPARE(noisy, 0);
        qint64 period = 0, months = 0;
        for (int i = 0; i < kRows; ++i) {
            QVERIFY2(printed[i] == rowsCsv[i] && printed[i] == exported[i] && printed[i] == workbook[i],
                     qPrintable(QStringLiteral("row %1 differs").arg(i + 1)));
            period += printed[i][1];
            months += printed[i][2];
        }
        // Every subtotal and the total, as the paper prints them.
        QVERIFY(printedSums.size() > 2);
        QVERIFY(printedSums == exportedSums);
        QVERIFY(printedSums == workbookSums);
        QCOMPARE(total.size(), 2);
        QVERIFY2(amounts({QStringLiteral("0"), total[0], total[1]}) == (Amounts{0, period, months}),
                 qPrintable(QStringLiteral("Total Geral %1 / %2, the rows sum to %3 / %4")
                                .arg(total[0], total[1], FixedDecimal(period, 2).text(), FixedDecimal(months, 2).text())));
        qInfo("%d rows: PDF, rows CSV, CSV export and XLSX agree; Total Geral %s / %s", kRows,
              qPrintable(total[0]), qPrintable(total[1]));
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestMoneyAgreement)
#include "test_money_agreement.moc"
