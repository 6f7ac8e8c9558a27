// Benchmarks of the screen, run under QT_QPA_PLATFORM=offscreen:
//  - BM_OpenScreen: IniProc until the first activation is done (masks, dates,
//    cost types from the costs server, level bound), then close;
//  - BM_ReadDefinitions: only the two form definitions read onto an instance;
//  - BM_BareWindow: a plain Qt window with as many plain widgets, shown;
//  - BM_Valida: the whole-screen check with N services in the branch
//    (services "Todos"): the effective list grows with N, in one pass.
#include "appdata/CostsServerProcess.h"
#include "appdata/dtmDBGeral.h"
#include "core/Dispatch.h"
#include "module/Pkg_xev01700.h"
#include "screen/TfrmRealGlobal.h"
#include "session/LocalCache.h"
#include "session/ShellContext.h"
#include "ui/ScriptedHostUi.h"
#include "widgets/FormReader.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
struct Session {
    QTemporaryDir dir;
    TdtmDBGeral data;
    CostsServerProcess costs;

    explicit Session(int services)
    {
        const QString db = dir.filePath(QStringLiteral("bench.sqlite"));
        DemoData::Sizes sizes;
        sizes.services = services;
        TdtmDBGeral::createSqliteFile(db, sizes);
        ShellConfig config;
        config.database = QStringLiteral("sqlite:") + db;
        data.open(config);
        if (!costs.start(config.database))
            qFatal("costs server did not start");
        ShellContext::instance().webHost = costs.host();
        ShellContext::instance().webPort = costs.port();
        HostUi::install(std::make_unique<ScriptedHostUi>());
        Initialize();
    }
    ~Session()
    {
        closeScreen();
        Finalize();
    }
    static void openScreen()
    {
        Dispatch::guard([] { IniProc(); });
        moduleState().frmRealGlobal->show();
        // Activation runs the first-activation work.
        moduleState().frmRealGlobal->activated();
        QApplication::processEvents();
    }
    static void closeScreen()
    {
        if (TfrmRealGlobal *screen = moduleState().frmRealGlobal)
            Dispatch::guard([screen] { screen->Close(); });
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

int screenWidgetCount = 0;

void BM_OpenScreen(benchmark::State &state)
{
    Session s(0);
    for (auto _ : state) {
        Session::openScreen();
        TfrmRealGlobal *screen = moduleState().frmRealGlobal;
        if (!screen || screen->firstActivationPending())
            state.SkipWithError("the screen did not open");
        screenWidgetCount = int(screen->findChildren<QWidget *>().size());
        state.PauseTiming();
        Session::closeScreen();
        state.ResumeTiming();
    }
    state.counters["widgets"] = screenWidgetCount;
}
BENCHMARK(BM_OpenScreen)->Unit(benchmark::kMillisecond);

// The parts of opening: the definitions read onto a new instance (no
// handlers), and the first activation's work alone.
void BM_ReadDefinitions(benchmark::State &state)
{
    Session s(0);
    for (auto _ : state) {
        auto *f = new TfrmRealGlobal;
        {
            FormReader r(f);
            r.readFile(QStringLiteral(":/forms/TfrmDadosGerRel.dfm"));
            r.readFile(QStringLiteral(":/forms/TfrmRealGlobal.dfm"));
            r.finish();
        }
        state.PauseTiming();
        delete f;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ReadDefinitions)->Unit(benchmark::kMillisecond);

void BM_BareWindow(benchmark::State &state)
{
    const int count = screenWidgetCount > 0 ? screenWidgetCount : 150;
    for (auto _ : state) {
        auto *w = new QWidget;
        w->resize(511, 366);
        for (int i = 0; i < count; ++i) {
            QWidget *child = (i % 2) ? static_cast<QWidget *>(new QLineEdit(w)) : new QLabel(QStringLiteral("Label"), w);
            child->setGeometry((i * 37) % 480, (i * 13) % 340, 60, 21);
        }
        w->show();
        QApplication::processEvents();
        state.PauseTiming();
        delete w;
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["widgets"] = count;
}
BENCHMARK(BM_BareWindow)->Unit(benchmark::kMillisecond);

void BM_Valida(benchmark::State &state)
{
    Session s(int(state.range(0)));
    Session::openScreen();
    TfrmRealGlobal *f = moduleState().frmRealGlobal;
    ScreenChoices products = f->choices();
    products.productInitial = QStringLiteral("01");
    products.productFinal = QStringLiteral("02");
    Dispatch::guard([&] { f->apply(products); });
    qsizetype listLength = 0;
    for (auto _ : state) {
        bool done = false;
        Dispatch::guard([&] {
            f->Valida(true);
            done = true;
        });
        if (!done)
            state.SkipWithError("the check failed");
        // The list as the report receives it, joined.
        listLength = moduleState().ListaServ.text().size();
        benchmark::DoNotOptimize(listLength);
    }
    state.SetComplexityN(state.range(0));
    state.counters["listLength"] = double(listLength);
}
BENCHMARK(BM_Valida)->RangeMultiplier(10)->Range(1000, 100000)->Complexity()->Unit(benchmark::kMillisecond);
}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
