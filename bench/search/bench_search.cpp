// Opening the product search (Pesquisar_Plus) on 1,000,000 products: time
// until the dialog shows its first page, and the resident memory it adds;
// also one filter over the whole table. The database is generated once into
// the build folder (bench-data/products-1m.sqlite) and reused.
#include "data/TADOIBQuery.h"
#include "data/TADOIBStringField.h"
#include "data/TDataSource.h"
#include "appdata/dtmDBGeral.h"
#include "services/SearchLists.h"
#include "ui/QtHostUi.h"
#include "ui/SearchDialog.h"
#include "ui/SearchModel.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <unistd.h>

namespace {

constexpr int kProducts = 1000000;

double residentMB()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() > 1 ? parts[1].toDouble() * double(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0) : 0;
}

struct Fixture {
    std::unique_ptr<TdtmDBGeral> dm;
    TADOIBQuery *query = nullptr;
    TDataSource *source = nullptr;
    QObject owner;

    Fixture()
    {
        const QString path = QDir(QCoreApplication::applicationDirPath())
                                 .filePath(QStringLiteral("bench-data/products-1m.sqlite"));
        if (!QFileInfo::exists(path)) {
            DemoSizes sizes;
            sizes.products = kProducts;
            sizes.costRows = 0;
            TdtmDBGeral::createSqliteFile(path, sizes);
        }
        dm = std::make_unique<TdtmDBGeral>();
        ShellConfig config;
        config.database = QStringLiteral("sqlite:") + path;
        dm->open(config);
        // qryProduto as the screen declares it.
        query = new TADOIBQuery(&owner);
        query->setObjectName(QStringLiteral("qryProduto"));
        query->setSQL({QStringLiteral("SELECT CDARVPROD, NMPRODUTO, CDNVPRODUTO FROM PRODUTO ORDER BY CDARVPROD")});
        auto field = [&](const char *name, const char *label, bool visible) {
            auto *f = new TADOIBStringField(query);
            f->setFieldName(QLatin1String(name));
            f->setDisplayLabel(QString::fromUtf8(label));
            f->setVisible(visible);
            return f;
        };
        field("CDARVPROD", "Código", true)->setEditMask(QStringLiteral("99.99.9999;0; "));
        field("NMPRODUTO", "Nome", true);
        field("CDNVPRODUTO", "", false);
        source = new TDataSource(&owner);
        source->setDataSet(query->Query());
    }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

// Time from the call until the dialog is up with its first page painted;
// the dialog is then cancelled.
void BM_PesquisarPlusFirstPage(benchmark::State &state)
{
    Fixture &f = fixture();
    HostUi::install(std::make_unique<QtHostUi>());
    double addedMB = 0;
    int rows = 0;
    for (auto _ : state) {
        f.query->Close();
        const double before = residentMB();
        QElapsedTimer t;
        double ms = 0;
        QTimer::singleShot(0, [&] {
            auto *dlg = qobject_cast<SearchDialog *>(QApplication::activeModalWidget());
            if (dlg) {
                dlg->table()->viewport()->repaint();
                ms = double(t.nsecsElapsed()) / 1e6;
                rows = dlg->model()->rowCount();
                addedMB = std::max(addedMB, residentMB() - before);
                dlg->reject();
            }
        });
        t.start();
        Pesquisar_Plus(f.source, QStringLiteral("Produto|Não há produto cadastrado."), false, true);
        state.SetIterationTime(ms / 1000.0);
    }
    state.counters["rows_shown"] = rows;
    state.counters["rss_added_MB"] = addedMB;
    HostUi::uninstall();
}
BENCHMARK(BM_PesquisarPlusFirstPage)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

// Typing a filter that only the last products match: the database scans
// the whole table once for the first page of matches.
void BM_FilterOneMillion(benchmark::State &state)
{
    Fixture &f = fixture();
    HostUi::install(std::make_unique<QtHostUi>());
    int rows = 0;
    for (auto _ : state) {
        f.query->Close();
        double ms = 0;
        QTimer::singleShot(0, [&] {
            auto *dlg = qobject_cast<SearchDialog *>(QApplication::activeModalWidget());
            if (dlg) {
                QElapsedTimer t;
                t.start();
                dlg->filterEdit()->setText(QStringLiteral("nº 99999"));
                dlg->applyFilterNow();
                ms = double(t.nsecsElapsed()) / 1e6;
                rows = dlg->model()->rowCount();
                dlg->reject();
            }
        });
        Pesquisar_Plus(f.source, QStringLiteral("Produto|vazio"), false, true);
        state.SetIterationTime(ms / 1000.0);
    }
    state.counters["rows_matched"] = rows;
    HostUi::uninstall();
}
BENCHMARK(BM_FilterOneMillion)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    fixture(); // generate or open the database outside the timings
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
