#include "Dispatch.h"
#include "Errors.h"
#include "HostUi.h"

namespace Dispatch {
namespace {
int g_depth = 0;
int g_loading = 0;
}

void guard(const std::function<void()> &f)
{
    if (g_depth > 0) {
        f();
        return;
    }
    ++g_depth;
    try {
        f();
    } catch (const EAbort &) {
        // Already reported by whoever raised it.
    } catch (const EHostError &e) {
        HostUi::instance().showException(e.text());
    } catch (const std::exception &e) {
        HostUi::instance().showException(QString::fromLocal8Bit(e.what()));
    } catch (...) {
        HostUi::instance().showException(QStringLiteral("Erro inesperado."));
    }
    --g_depth;
}

void fire(const std::function<void()> &f)
{
    if (g_loading > 0)
        return;
    guard(f);
}

bool inHandler() { return g_depth > 0; }

LoadingScope::LoadingScope() { ++g_loading; }
LoadingScope::~LoadingScope() { --g_loading; }
bool loading() { return g_loading > 0; }

ModalScope::ModalScope() : m_saved(g_depth) { g_depth = 0; }
ModalScope::~ModalScope() { g_depth = m_saved; }

} // namespace Dispatch
