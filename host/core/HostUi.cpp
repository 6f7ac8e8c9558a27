#include "HostUi.h"

#include "Dispatch.h"
#include "Work.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>

namespace {
// Stands in while no implementation is installed (a program without
// windows, a test that installed none): messages go to standard error and
// every prompt is declined, so nothing waits for an answer.
class StandInHostUi : public HostUi {
public:
    void showError(const QString &text, bool) override { print(text); }
    void showException(const QString &text) override { print(text); }
    void showInfo(const QString &text) override { print(text); }
    bool searchList(const SearchRequest &, SearchSource &, SearchChoice &) override { return false; }
    bool askText(const QString &, const QString &, QString &) override { return false; }
    QString askSaveFileName(const QString &, const QString &, const QString &) override { return {}; }

private:
    static void print(const QString &text) { std::fprintf(stderr, "%s\n", qUtf8Printable(text)); }
};

std::unique_ptr<HostUi> g_ui;
StandInHostUi g_standIn;
} // namespace

HostUi::~HostUi() = default;

void HostUi::showAbout(const QString &, const QString &text) { showInfo(text); }

HostUi &HostUi::instance() { return g_ui ? *g_ui : g_standIn; }

void HostUi::replace(std::unique_ptr<HostUi> ui) { g_ui = std::move(ui); }

void HostUi::uninstall() { g_ui.reset(); }

bool HostUi::askYesNo(const QString &, const QString &) { return false; }

bool HostUi::waitForWork(const QString &, Work &work)
{
    Dispatch::ModalScope modal;
    while (!work.finished()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}
