// Long reports, on SQLite databases whose XEV017 detailed report prints
// 100,000 and 1,000,000 rows (gendata's PrintedRows), made once in
// $BENCH_REPORT_DIR (default /tmp) and kept. Each figure is printed with its
// limit, measured side by side in the same run:
//  1. peak resident memory of a whole run to PDF, each size in a process of
//     its own (the peak only grows): at most 150 MB at 1,000,000 rows, and
//     less than 20 MB more than at 100,000;
//  2. the whole report of 1,000,000 rows to PDF (queries, layout, pages)
//     against a bare QPdfWriter + QPainter loop that draws the same texts
//     and lines at the same positions on the same number of pages: at most
//     1.5 times the loop;
//  3. the preview: from the last row read to its first page painted: 1 s;
//  4. the GUI thread's longest time away from its event loop during a run
//     followed by the progress dialog: 100 ms.
// Usage: bench_report [--rows N] (1,000,000 by default for 2 to 4);
// bench_report --empty ROUNDS: only an empty report against its bare loop.
#include "BenchReportData.h"
#include "../data/PrintedRows.h"
#include "appdata/dtmDBGeral.h"
#include "core/HostUi.h"
#include "report/commands/TReportDesignerDialog.h"
#include "report/model/ReportLibrary.h"
#include "support/TextRecorder.h"
#include "ui/PreviewPageView.h"
#include "ui/QtHostUi.h"
#include "ui/ReportPreviewDialog.h"
#include "ui/ScriptedHostUi.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTimer>
#include <cstdio>
#include <sys/resource.h>
#include <time.h>

namespace {

using BenchReportData::dataDir;
using BenchReportData::kCode;

long peakRssKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// The database whose detailed report prints `rows` rows, made when missing.
QString database(int rows)
{
    const QString path = QStringLiteral("%1/bench_report_printed_%2.sqlite").arg(dataDir()).arg(rows);
    if (QFileInfo::exists(path))
        return path;
    std::printf("making %s ...\n", qPrintable(path));
    std::fflush(stdout);
    DemoSizes sizes;
    sizes.products = rows;
    sizes.costRows = 0;
    const QString part = path + QStringLiteral(".making");
    QFile::remove(part);
    TdtmDBGeral::createSqliteFile(part, sizes);
    {
        ConnectionDescription description;
        description.location = DatabaseLocation::parse(QStringLiteral("sqlite:") + part);
        description.name = QStringLiteral("making");
        const QSqlDatabase db = TdtmDBGeral::openConnection(description);
        PrintedRows::fill(db, sizes.branch, sizes.year, 2);
    }
    TdtmDBGeral::closeConnection(QStringLiteral("making"));
    QFile::rename(part, path);
    return path;
}

// The screen's answers for the whole of 2026, every service, every product.
class Filler : public QObject {
public:
    QString services;
    void fill(TParams *params, bool *)
    {
        const QList<QPair<const char *, QVariant>> values = {
            {"P_CDFILCENTXEV", QStringLiteral("0100")}, {"P_CDFILIAL", QStringLiteral("0101")},
            {"P_NMCUSTO", QStringLiteral("Custo Médio")}, {"P_NRTIPOCUSTO", 1}, {"P_CDSERVFILI", services},
            {"P_CDPRODUTOINI", QStringLiteral("0")}, {"P_CDPRODUTOFIN", QStringLiteral("zzzzzzzz")},
            {"P_DTINICIAL", QDate(2026, 1, 1).startOfDay()}, {"P_DTFINAL", QDate(2026, 12, 31).startOfDay()},
            {"P_DTPERIINIC", QStringLiteral("01/01/2026")}, {"P_DTPERIFINA", QStringLiteral("31/12/2026")},
            {"P_DTMESINIC", QDate(2026, 1, 1).startOfDay()}, {"P_DTMESFINA", QDate(2026, 12, 31).startOfDay()},
            {"P_IDESTOCAVEIS", QStringLiteral("S")}, {"P_IDNESTOCAVEIS", QStringLiteral("S")},
            {"P_NRTAMACNIVEL", 4}, {"P_NRTAMCODIGO", 8}};
        for (const auto &v : values)
            if (ExistParam(*params, QLatin1String(v.first)))
                params->ParamByName(QLatin1String(v.first)).SetAsVariant(v.second);
    }
};

// The shell's connection on path, the runner and the screen's answers.
struct Run {
    TReportDesignerDialog rpdd;
    Filler filler;
    QString definition;

    explicit Run(const QString &path)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
        db.setDatabaseName(path);
        if (!db.open())
            qFatal("cannot open %s", qPrintable(path));
        filler.services = PrintedRows::column(db, QStringLiteral("SELECT CDSERVFILI FROM SERVICO WHERE CDFILIAL = '0101'"))
                              .join(QLatin1Char('_'));
        rpdd.setReportCode(kCode);
        QObject::connect(&rpdd, &TReportDesignerDialog::BeforeGetQueryParams, &filler, &Filler::fill);
        definition = ReportLibrary::list(kCode).first().path;
    }
    ~Run()
    {
        QSqlDatabase::database().close();
        QSqlDatabase::removeDatabase(QLatin1String(QSqlDatabase::defaultConnection));
    }
    ReportDefinition def() { return rpdd.Load(definition, {}); }
};

double seconds(const QElapsedTimer &t) { return double(t.nsecsElapsed()) / 1e9; }

// Processor time of the whole process (every thread), in seconds: what a
// shared, busy machine does not distort.
double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// --child DB: a whole run to PDF; prints rows, pages, seconds and peak memory.
int childMain(const QString &path)
{
    HostUi::install(std::make_unique<ScriptedHostUi>());
    Run run(path);
    QElapsedTimer t;
    t.start();
    int pages = 0;
    if (!run.rpdd.WritePdf(run.definition, dataDir() + QStringLiteral("/bench_report_child.pdf"), {}, &pages))
        return 1;
    std::printf("pages=%d seconds=%.2f peak_rss_kb=%ld\n", pages, seconds(t), peakRssKb());
    return 0;
}

// Peak memory of a whole run, in a process of its own; -1 when it failed.
long childPeakKb(const QString &path, int rows)
{
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), path});
    if (!p.waitForFinished(3600 * 1000) || p.exitCode() != 0) {
        std::printf("  %d rows: the run failed: %s\n", rows, p.readAllStandardError().constData());
        return -1;
    }
    const QString out = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    std::printf("  %9d printed rows: %s\n", rows, qPrintable(out));
    return out.section(QStringLiteral("peak_rss_kb="), 1).toLong();
}

void memory(const QList<int> &sizes)
{
    std::printf("1. Peak resident memory of a whole run to PDF\n");
    QList<long> peaks;
    for (int rows : sizes)
        peaks << childPeakKb(database(rows), rows);
    if (peaks.size() == 2 && peaks[0] > 0 && peaks[1] > 0)
        std::printf("  peak %.1f MB at %d rows (limit 150 MB), %.1f MB more than at %d (limit 20 MB)\n",
                    peaks[1] / 1024.0, sizes[1], (peaks[1] - peaks[0]) / 1024.0, sizes[0]);
}

// Draws doc's texts and lines, as recorded page by page, with a bare loop;
// returns the seconds the drawing took (recording not counted), wall clock
// and processor time in cpu.
double bareLoop(ReportDocument &doc, const QString &pdfPath, double &cpu)
{
    cpu = 0;
    RecordingDevice device(doc.pageLayout(), ReportMetrics::Resolution);
    const std::unique_ptr<ReportRowReader> reader = doc.rows()->reader();
    QFile file(pdfPath);
    file.open(QIODevice::WriteOnly);
    QElapsedTimer t;
    qint64 spent = 0;
    {
        QPdfWriter pdf(&file);
        pdf.setResolution(int(ReportMetrics::Resolution));
        pdf.setPageLayout(doc.pageLayout());
        QPainter bare(&pdf);
        for (int i = 0; i < doc.pageCount(); ++i) {
            device.recorder().clear();
            {
                QPainter rec(&device);
                doc.paintPage(rec, i, *reader);
            }
            t.start();
            const double c0 = cpuSeconds();
            if (i > 0)
                pdf.newPage();
            QFont current;
            for (const auto &text : std::as_const(device.recorder().texts)) {
                if (!(text.font == current)) {
                    bare.setFont(text.font);
                    current = text.font;
                }
                bare.drawText(text.pos, text.text);
            }
            bare.drawLines(device.recorder().lines);
            spent += t.nsecsElapsed();
            cpu += cpuSeconds() - c0;
        }
        t.start();
        cpu -= cpuSeconds();
    }
    spent += t.nsecsElapsed(); // the painter's end writes the file
    cpu += cpuSeconds();
    return double(spent) / 1e9;
}

// From the document's last row to the preview's first page painted.
double previewFirstPageMs(ReportDocument &doc)
{
    QElapsedTimer t;
    t.start();
    ReportPreviewDialog dlg(doc);
    double ms = -1;
    QObject::connect(dlg.view(), &PreviewPageView::pagePainted, &dlg, [&](int) {
        if (ms < 0)
            ms = double(t.nsecsElapsed()) / 1e6;
    });
    dlg.show();
    while (ms < 0 && t.elapsed() < 30000)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    return ms;
}

// The GUI thread while body runs: the longest gap between ticks of a 5 ms
// timer (wall clock; on a busy machine it includes time the system gave to
// other processes) and the most processor time the thread spent between two
// ticks (its own work only).
struct GuiBlock {
    double wallMs = 0, cpuMs = 0;
};

double threadCpuNs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e9 + double(ts.tv_nsec);
}

GuiBlock longestGuiBlock(const std::function<void()> &body)
{
    QElapsedTimer since;
    since.start();
    double cpuSince = threadCpuNs();
    GuiBlock longest;
    QTimer tick;
    tick.setInterval(5);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const double cpu = threadCpuNs();
        longest.wallMs = qMax(longest.wallMs, double(since.nsecsElapsed()) / 1e6);
        longest.cpuMs = qMax(longest.cpuMs, (cpu - cpuSince) / 1e6);
        since.start();
        cpuSince = cpu;
    });
    tick.start();
    body();
    tick.stop();
    return longest;
}

void speed(int rows)
{
    Run run(database(rows));
    const QString pdf = dataDir() + QStringLiteral("/bench_report.pdf");
    std::printf("2. Whole report of %d printed rows to PDF against a bare QPdfWriter loop\n", rows);
    HostUi::install(std::make_unique<QtHostUi>());
    int pages = 0;
    QElapsedTimer t;
    t.start();
    double cpu = cpuSeconds();
    const GuiBlock block = longestGuiBlock([&] {
        if (!run.rpdd.WritePdf(run.definition, pdf, {}, &pages))
            qFatal("the report failed");
    });
    const double report = seconds(t), reportCpu = cpuSeconds() - cpu;
    HostUi::install(std::make_unique<ScriptedHostUi>());
    t.start();
    cpu = cpuSeconds();
    const std::shared_ptr<ReportDocument> doc = run.rpdd.RunDocument(run.def());
    const double reading = seconds(t), readingCpu = cpuSeconds() - cpu;
    const double preview = previewFirstPageMs(*doc);
    double bareCpu = 0;
    const double bare = bareLoop(*doc, dataDir() + QStringLiteral("/bench_report_bare.pdf"), bareCpu);
    std::printf("  report %.2f s, processor %.2f s (%d pages, %lld rows)\n", report, reportCpu, pages, doc->rowCount());
    std::printf("  bare loop %.2f s, processor %.2f s (%d pages)\n", bare, bareCpu, doc->pageCount());
    std::printf("  ratio %.2f, in processor time %.2f (limit 1.5)\n", report / bare, reportCpu / bareCpu);
    std::printf("  of which rows read and laid out: %.2f s, processor %.2f s\n", reading, readingCpu);
    std::printf("3. Preview: first page painted %.0f ms after the last row (limit 1000 ms)\n", preview);
    std::printf("4. GUI thread during the run: longest time away from its event loop %.0f ms, of which its own\n"
                "   processor time %.0f ms (limit 100 ms)\n",
                block.wallMs, block.cpuMs);
}

// An empty report (the demo database without cost rows) to PDF, against
// the bare loop drawing the same texts: what every run costs besides its
// rows. Processor time of each, one "ROUND pdf-empty" line a round.
void emptyReport(int rounds)
{
    const QString path = dataDir() + QStringLiteral("/bench_report_empty.sqlite");
    if (!QFileInfo::exists(path)) {
        DemoSizes sizes;
        sizes.costRows = 0;
        TdtmDBGeral::createSqliteFile(path, sizes);
    }
    Run run(path);
    HostUi::install(std::make_unique<ScriptedHostUi>());
    const QString pdf = dataDir() + QStringLiteral("/bench_report_empty.pdf");
    for (int i = 0; i < rounds; ++i) {
        int pages = 0;
        const double cpu = cpuSeconds();
        if (!run.rpdd.WritePdf(run.definition, pdf, {}, &pages))
            qFatal("the empty report failed");
        const double reportMs = (cpuSeconds() - cpu) * 1000;
        const std::shared_ptr<ReportDocument> doc = run.rpdd.RunDocument(run.def());
        double bareCpu = 0;
        bareLoop(*doc, dataDir() + QStringLiteral("/bench_report_empty_bare.pdf"), bareCpu);
        std::printf("ROUND pdf-empty %.3f %.3f\n", reportMs, bareCpu * 1000);
    }
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--child"))
        return childMain(args[2]);
    if (args.size() == 3 && args[1] == QLatin1String("--empty")) {
        emptyReport(args[2].toInt());
        HostUi::uninstall();
        return 0;
    }
    int rows = 1000000;
    if (args.size() == 3 && args[1] == QLatin1String("--rows"))
        rows = args[2].toInt();
    memory({rows / 10, rows});
    speed(rows);
    HostUi::uninstall();
    return 0;
}
