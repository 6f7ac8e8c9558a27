// The export sinks against the bare loops they stand on, side by side in one
// run: CsvExportWriter against formatting the same cells and writing them
// with QFile, XlsxExportWriter against libxlsxwriter called directly with
// the same cells and formats. Rows of six columns (three texts, a date, two
// numbers); prints the time of each, the ratio, and the process's peak
// resident memory after each size (sizes in increasing order, so a peak that
// stays put means memory does not grow with the rows exported).
//
//   bench_export [--rounds=N] [ROWS ...]   default: 1 round of 100000 and
//   1000000 rows; files in $TMPDIR. Each round also prints, for bench/run,
//   "ROUND csv-ROWS CPU_MS BARE_CPU_MS" and the same for xlsx.
#include "report/output/CsvExportWriter.h"
#include "report/output/XlsxExportWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <sys/resource.h>
#include <xlsxwriter.h>

namespace {
QVector<QVariant> rowAt(int i)
{
    return {QStringLiteral("0101 - Frutas"), QStringLiteral("0101%1").arg(i % 10000, 4, 10, QLatin1Char('0')),
            QStringLiteral("Produto número %1").arg(i % 977), QDate(2026, 1, 1).addDays(i % 365), i * 0.125, i * 1.37};
}

ExportSheet sheet()
{
    auto col = [](const char *caption, ReportColumn::Format f, int decimals) {
        ReportColumn c;
        c.caption = QString::fromUtf8(caption);
        c.format = f;
        c.decimals = decimals;
        c.pattern = QStringLiteral("dd/MM/yyyy");
        return c;
    };
    return {QStringLiteral("Custo"), {},
            {col("Grupo", ReportColumn::Format::Text, 0), col("Código", ReportColumn::Format::Text, 0),
             col("Produto", ReportColumn::Format::Text, 0), col("Data", ReportColumn::Format::Date, 0),
             col("Quantidade", ReportColumn::Format::Number, 3), col("Custo", ReportColumn::Format::Number, 2)}};
}

QString file(const QString &name) { return QDir::temp().filePath(name); }

void bareCsv(int rows)
{
    QFile f(file(QStringLiteral("bench-bare.csv")));
    f.open(QIODevice::WriteOnly);
    for (int i = 0; i < rows; ++i) {
        const QVector<QVariant> r = rowAt(i);
        const QString line = r[0].toString() + QLatin1Char(';') + r[1].toString() + QLatin1Char(';') + r[2].toString()
            + QLatin1Char(';') + r[3].toDate().toString(QStringLiteral("dd/MM/yyyy")) + QLatin1Char(';')
            + QString::number(r[4].toDouble(), 'f', 3).replace(QLatin1Char('.'), QLatin1Char(',')) + QLatin1Char(';')
            + QString::number(r[5].toDouble(), 'f', 2).replace(QLatin1Char('.'), QLatin1Char(',')) + QLatin1String("\r\n");
        f.write(line.toUtf8());
    }
}

void bareXlsx(int rows)
{
    lxw_workbook_options o{};
    o.constant_memory = LXW_TRUE;
    lxw_workbook *wb = workbook_new_opt(QFile::encodeName(file(QStringLiteral("bench-bare.xlsx"))).constData(), &o);
    lxw_worksheet *ws = workbook_add_worksheet(wb, "Custo");
    lxw_format *date = workbook_add_format(wb), *n3 = workbook_add_format(wb), *n2 = workbook_add_format(wb);
    format_set_num_format(date, "dd/mm/yyyy");
    format_set_num_format(n3, "#,##0.000");
    format_set_num_format(n2, "#,##0.00");
    for (int i = 0; i < rows; ++i) {
        const QVector<QVariant> r = rowAt(i);
        for (int c = 0; c < 3; ++c)
            worksheet_write_string(ws, lxw_row_t(i + 1), lxw_col_t(c), r[c].toString().toUtf8().constData(), nullptr);
        const QDate d = r[3].toDate();
        lxw_datetime dt{d.year(), d.month(), d.day(), 0, 0, 0};
        worksheet_write_datetime(ws, lxw_row_t(i + 1), 3, &dt, date);
        worksheet_write_number(ws, lxw_row_t(i + 1), 4, r[4].toDouble(), n3);
        worksheet_write_number(ws, lxw_row_t(i + 1), 5, r[5].toDouble(), n2);
    }
    workbook_close(wb);
}

void throughSink(ReportRowSink &sink, int rows)
{
    sink.begin(sheet());
    for (int i = 0; i < rows; ++i)
        sink.detail(rowAt(i));
    sink.commit();
}

double g_lastCpuMs = 0; // processor time of the last seconds() call

double seconds(const std::function<void()> &f)
{
    QElapsedTimer t;
    const std::clock_t cpu = std::clock();
    t.start();
    f();
    g_lastCpuMs = double(std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC;
    return double(t.nsecsElapsed()) / 1e9;
}

struct Round {
    double csvBare, csv, xlsxBare, xlsx;
};

// One interleaved round: each sink right after its bare loop.
Round round(int rows)
{
    Round r{};
    double cpu[4];
    r.csvBare = seconds([&] { bareCsv(rows); });
    cpu[0] = g_lastCpuMs;
    r.csv = seconds([&] {
        CsvExportWriter sink(file(QStringLiteral("bench-sink.csv")));
        throughSink(sink, rows);
    });
    cpu[1] = g_lastCpuMs;
    r.xlsxBare = seconds([&] { bareXlsx(rows); });
    cpu[2] = g_lastCpuMs;
    r.xlsx = seconds([&] {
        XlsxExportWriter sink(file(QStringLiteral("bench-sink.xlsx")));
        throughSink(sink, rows);
    });
    cpu[3] = g_lastCpuMs;
    std::printf("ROUND csv-%d %.3f %.3f\nROUND xlsx-%d %.3f %.3f\n", rows, cpu[1], cpu[0], rows, cpu[3], cpu[2]);
    return r;
}

long peakMb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QList<int> sizes;
    int rounds = 1;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg.startsWith("--rounds="))
            rounds = std::max(1, arg.mid(9).toInt());
        else
            sizes << arg.toInt();
    }
    if (sizes.isEmpty())
        sizes = {100000, 1000000};
    for (const int rows : sizes) {
        for (int i = 0; i < rounds; ++i) {
            const Round r = round(rows);
            std::printf("%8d rows  csv %6.2f s (bare %6.2f s, ratio %.2f)  xlsx %6.2f s (bare %6.2f s, ratio %.2f)  "
                        "peak %ld MB\n",
                        rows, r.csv, r.csvBare, r.csv / r.csvBare, r.xlsx, r.xlsxBare, r.xlsx / r.xlsxBare, peakMb());
        }
    }
    for (const char *n : {"bench-bare.csv", "bench-sink.csv", "bench-bare.xlsx", "bench-sink.xlsx"})
        QFile::remove(file(QString::fromLatin1(n)));
    return 0;
}
