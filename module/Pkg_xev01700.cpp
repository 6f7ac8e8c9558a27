#include "Pkg_xev01700.h"
#include "ModuleVariables.h"
#include "core/ModuleRegistry.h"
#include "screen/Cli_xev01700.h"
#include "screen/TfrmRealGlobal.h"
#include "widgets/TApplication.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <QTranslator>
#include <dlfcn.h>

namespace {
QString g_moduleFile;
QTranslator *g_languageResource = nullptr;
bool g_initialized = false;

void pkgInitialize() {}
void pkgFinalize() {}

const PackageUnitInfo g_units[] = {
    {"Pkg_xev01700", &pkgInitialize, &pkgFinalize},
    {"Cli_xev01700", &Cli_xev01700_Initialize, &Cli_xev01700_Finalize},
};
const PackageInfoTable g_table = {2, g_units};
} // namespace

// Outside any namespace: the macro declares the resource's function here.
static void initScreenResources() { Q_INIT_RESOURCE(screen_forms); }

void CriaRealGlobal()
{
    Screen::SetCursor(Screen::crHourGlass);
    ModuleState &state = moduleState();
    try {
        if (!state.boIdCriado) {
            TApplication::CreateForm(state.frmRealGlobal);
            // A screen that refused to open has closed itself and reset the
            // instance: record that nothing is open so a later call tries again.
            state.boIdCriado = state.frmRealGlobal != nullptr;
        }
        if (state.frmRealGlobal) {
            state.frmRealGlobal->Show();
            state.frmRealGlobal->SetWindowStateNormal();
        }
    } catch (...) {
        Screen::SetCursor(Screen::crDefault);
        throw;
    }
    Screen::SetCursor(Screen::crDefault);
}

QString moduleFileName() { return g_moduleFile; }

extern "C" {

void IniProc() { CriaRealGlobal(); }

void Initialize()
{
    if (g_initialized)
        return;
    g_initialized = true;
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(&Initialize), &info) && info.dli_fname)
        g_moduleFile = QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absoluteFilePath();
    // A translation beside the module file, named after it, serves as its
    // language resource; without one the module's own texts are used.
    const QFileInfo fi(g_moduleFile);
    auto *tr = new QTranslator;
    if (tr->load(QLocale(), fi.completeBaseName(), QStringLiteral("_"), fi.absolutePath())
        || tr->load(fi.completeBaseName(), fi.absolutePath())) {
        QCoreApplication::installTranslator(tr);
        g_languageResource = tr;
    } else {
        delete tr;
    }
    ModuleRegistry::add(g_moduleFile, g_languageResource);
    for (int i = 0; i < g_table.unitCount; ++i)
        g_units[i].initialize();
}

void Finalize()
{
    if (!g_initialized)
        return;
    for (int i = g_table.unitCount - 1; i >= 0; --i)
        g_units[i].finalize();
    if (QTranslator *tr = ModuleRegistry::remove(g_moduleFile)) {
        QCoreApplication::removeTranslator(tr);
        delete tr;
    }
    g_languageResource = nullptr;
    g_initialized = false;
}

const PackageInfoTable *GetPackageInfoTable() { return &g_table; }

const ModuleDescription *DescribeModule()
{
    initScreenResources();
    static ModuleVariables variables;
    static const ModuleDescription description{
        QStringLiteral("XEV01700"),
        QStringLiteral("&Custo Realizado Global do Período (Planejamento de Alimentação Escolar)"),
        QStringLiteral("Ctrl+G"),
        10701700,
        QStringLiteral(":/help/10701700.html"),
        &variables,
    };
    return &description;
}
}
