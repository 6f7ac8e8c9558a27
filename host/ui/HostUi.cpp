#include "HostUi.h"
#include "QtHostUi.h"

#include <memory>

namespace {
std::unique_ptr<HostUi> g_ui;
}

HostUi::~HostUi() = default;

HostUi &HostUi::instance()
{
    if (!g_ui)
        g_ui = std::make_unique<QtHostUi>();
    return *g_ui;
}

void HostUi::install(HostUi *ui) { g_ui.reset(ui); }

void HostUi::reportRows(const ReportDefinition &, const ReportData &) {}
