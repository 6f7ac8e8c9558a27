// Benchmarks of the data layer on a generated SQLite database of 1,000,000
// products and 100,000 services in branch 0101 (made once in a temporary
// folder, or taken from XEV_BENCH_DB=path when set): what a search list
// asks of a query's data set (first page, a page deep inside, a filter, the
// row count, positioning on the chosen row) and streaming a cursor.
#include "appdata/DemoData.h"
#include "appdata/dtmDBGeral.h"
#include "data/TADOIBDataSet.h"
#include "data/TADOIBQuery.h"
#include "data/TADOIBStringField.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

QTemporaryDir *g_dir = nullptr;
TdtmDBGeral *g_dm = nullptr;

long maxRssKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

void openDatabase()
{
    QString path = qEnvironmentVariable("XEV_BENCH_DB");
    if (path.isEmpty()) {
        g_dir = new QTemporaryDir;
        path = g_dir->filePath(QStringLiteral("bench.sqlite"));
    }
    if (!QFileInfo::exists(path)) {
        DemoSizes sizes;
        sizes.products = 1000000;
        sizes.services = 100000;
        sizes.costRows = 0;
        std::fprintf(stderr, "making %s ...\n", qPrintable(path));
        TdtmDBGeral::createSqliteFile(path, sizes);
    }
    g_dm = new TdtmDBGeral;
    ShellConfig c;
    c.database = QStringLiteral("sqlite:") + path;
    g_dm->open(c);
}

std::unique_ptr<TADOIBQuery> products()
{
    auto q = std::make_unique<TADOIBQuery>();
    q->setSQL({QStringLiteral("SELECT CDARVPROD, NMPRODUTO, CDNVPRODUTO FROM PRODUTO ORDER BY CDARVPROD")});
    return q;
}

std::unique_ptr<TADOIBQuery> services()
{
    auto q = std::make_unique<TADOIBQuery>();
    q->setSQL({QStringLiteral("SELECT CDSERVFILI, NMSERVICO FROM SERVICO, PARAM(:P_CDGRUPSERV) P_CDGRUPSERV "
                              "WHERE (CDFILIAL = :P_CDFILIAL) AND "
                              "((INSTR(P_CDGRUPSERV.PARAM, CDGRUPSERV) <> 0) OR (:P_TCDGRUPSERV = 'T')) "
                              "ORDER BY CDSERVFILI")});
    q->ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(QStringLiteral("0101"));
    q->ParamByName(QStringLiteral("P_CDGRUPSERV")).SetAsString(QString());
    q->ParamByName(QStringLiteral("P_TCDGRUPSERV")).SetAsString(QStringLiteral("T"));
    return q;
}

void BM_FirstPageOfProducts(benchmark::State &state)
{
    auto q = products();
    const long before = maxRssKb();
    for (auto _ : state) {
        auto rows = q->dataSet()->FetchPage(RowFilter(), 0, 50);
        benchmark::DoNotOptimize(rows);
    }
    state.counters["maxrss_added_kb"] = double(maxRssKb() - before);
}
BENCHMARK(BM_FirstPageOfProducts)->Unit(benchmark::kMillisecond);

void BM_PageInTheMiddleOfProducts(benchmark::State &state)
{
    auto q = products();
    for (auto _ : state) {
        auto rows = q->dataSet()->FetchPage(RowFilter(), 500000, 50);
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(BM_PageInTheMiddleOfProducts)->Unit(benchmark::kMillisecond);

void BM_FilteredFirstPageOfProducts(benchmark::State &state)
{
    auto q = products();
    RowFilter f;
    f.columns = QStringList({"CDARVPROD", "NMPRODUTO"});
    f.text = QStringLiteral("feijão preto");
    for (auto _ : state) {
        auto rows = q->dataSet()->FetchPage(f, 0, 50);
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(BM_FilteredFirstPageOfProducts)->Unit(benchmark::kMillisecond);

void BM_CountProducts(benchmark::State &state)
{
    auto q = products();
    for (auto _ : state)
        benchmark::DoNotOptimize(q->dataSet()->CountRows());
}
BENCHMARK(BM_CountProducts)->Unit(benchmark::kMillisecond);

void BM_OpenOnChosenProduct(benchmark::State &state)
{
    auto q = products();
    for (auto _ : state)
        benchmark::DoNotOptimize(q->dataSet()->OpenOnKey(QStringLiteral("CDARVPROD"), QStringLiteral("05100123")));
}
BENCHMARK(BM_OpenOnChosenProduct)->Unit(benchmark::kMillisecond);

void BM_StreamAllProducts(benchmark::State &state)
{
    auto q = products();
    const long before = maxRssKb();
    qint64 rows = 0;
    for (auto _ : state) {
        q->Close();
        q->Open();
        TADOIBStringField *code = q->FieldByName(QStringLiteral("CDARVPROD"));
        for (; !q->GetEOF(); q->Next(), ++rows)
            benchmark::DoNotOptimize(code->AsString());
    }
    state.counters["rows"] = double(rows) / state.iterations();
    state.counters["maxrss_added_kb"] = double(maxRssKb() - before);
}
BENCHMARK(BM_StreamAllProducts)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_FirstPageOf100kServices(benchmark::State &state)
{
    auto q = services();
    q->Open();
    for (auto _ : state) {
        auto rows = q->dataSet()->FetchPage(RowFilter(), 0, 50);
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(BM_FirstPageOf100kServices)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    openDatabase();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete g_dm;
    delete g_dir;
    return 0;
}
