// A small module for the shell's tests: its IniProc says it opened. Built
// with DESCRIBED it describes itself (code MODULE_CODE, menu key Ctrl+T, a
// read-only variable "Contador"); without, it is a module of the older kind
// that only the `open` of a script reaches.
#include "core/HostUi.h"
#include "core/ModuleDescription.h"
#include "core/PackageInfo.h"

#include <QObject>

#define EXPORTED extern "C" __attribute__((visibility("default")))

namespace {
const PackageInfoTable g_table = {0, nullptr};
}

class TestModuleVariables : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Contador READ Contador)
public:
    QString Contador() const { return QStringLiteral("7"); }
};

EXPORTED void Initialize() {}
EXPORTED void Finalize() {}
EXPORTED const PackageInfoTable *GetPackageInfoTable() { return &g_table; }
EXPORTED void IniProc() { HostUi::instance().showInfo(QStringLiteral("Módulo %1 aberto.").arg(QLatin1String(MODULE_CODE))); }

#ifdef DESCRIBED
EXPORTED const ModuleDescription *DescribeModule()
{
    static TestModuleVariables variables;
    static const ModuleDescription description{QLatin1String(MODULE_CODE), QStringLiteral("Módulo de teste"),
                                               QStringLiteral("Ctrl+T"), 0, QString(), &variables};
    return &description;
}
#endif

#include "test_module.moc"
