#include "NumericLocale.h"

#include <QCoreApplication>
#include <cstring>
#include <locale.h>

namespace {
// One C locale for every ScopedC; never freed, as it lives as long as the process.
locale_t cNumbers()
{
    static const locale_t c = newlocale(LC_NUMERIC_MASK, "C", duplocale(LC_GLOBAL_LOCALE));
    return c;
}

// Runs from QCoreApplication's constructor, after its setlocale(LC_ALL, "").
void keepCAtStartup() { NumericLocale::keepCForProcess(); }
} // namespace

Q_COREAPP_STARTUP_FUNCTION(keepCAtStartup)

namespace NumericLocale {

void keepCForProcess() { std::setlocale(LC_NUMERIC, "C"); }

bool processIsC()
{
    const char *name = std::setlocale(LC_NUMERIC, nullptr);
    return name && (std::strcmp(name, "C") == 0 || std::strcmp(name, "POSIX") == 0);
}

ScopedC::ScopedC() : m_previous(uselocale(cNumbers())) {}

ScopedC::~ScopedC() { uselocale(m_previous); }

} // namespace NumericLocale
