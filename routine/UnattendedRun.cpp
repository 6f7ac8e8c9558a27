#include "UnattendedRun.h"
#include "shell/DatabaseLogin.h"
#include "shell/MainWindow.h"
#include "shell/ModuleLoader.h"
#include "shell/WorkingBranch.h"

#include "appdata/CostsServerSupervisor.h"
#include "appdata/dtmDBGeral.h"
#include "core/Dispatch.h"
#include "core/Errors.h"
#include "core/HostUi.h"
#include "core/InstallPaths.h"
#include "data/TParam.h"
#include "report/commands/TReportDesignerDialog.h"
#include "report/commands/TfrmDadosGerRel.h"
#include "session/ShellContext.h"
#include "session/ShellNotices.h"
#include "ui/ScriptedHostUi.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <cstdio>
#include <memory>

namespace {
const QString kScreen = QStringLiteral("XEV01700");

void printError(const QString &text) { std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData()); }

// Lets queued work (activation, deferred deletes) happen.
void settle()
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 200)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// The shell's own costs server, when none is configured (as the shell does).
void startCostsServer(CostsServerSupervisor &costs, const ShellConfig &config)
{
    if (config.costsPort != 0)
        return;
    QObject::connect(&costs, &CostsServerSupervisor::stateChanged, &costs, [&costs] {
        if (costs.state() == CostsServerSupervisor::State::Running) {
            ShellContext::instance().webHost = costs.host();
            ShellContext::instance().webPort = costs.port();
        }
    });
    ShellContext::instance().confirmCostsServer = [&costs] { costs.confirmRunning(); };
    costs.process().setCredentials(dtmDBGeral()->config().user, dtmDBGeral()->config().password);
    costs.process().setToken(config.costsToken);
    costs.setDatabase(config.database);
    QString why;
    if (!costs.start(&why))
        printError(QStringLiteral("O servidor de custos não iniciou: %1").arg(why));
}

QString dateText(const QVariant &v)
{
    const QDate d = v.toDate();
    return d.isValid() ? d.toString(Qt::ISODate) : v.toString();
}
} // namespace

UnattendedRun::UnattendedRun(const RoutineOptions &options) : m_options(options) { m_clock.start(); }

int UnattendedRun::execute()
{
    auto *ui = HostUi::install(std::make_unique<ScriptedHostUi>());
    ui->onMessage = [](const ScriptedHostUi::Message &m) { printError(m.text); };
    QObject::connect(&ShellNotices::instance(), &ShellNotices::notice, [](const QString &text) { printError(text); });
    TdtmDBGeral dataModule;
    try {
        DatabaseLogin(nullptr, DatabaseLogin::Prompt()).open(dataModule, m_options.config());
        if (WorkingBranch::nameOf(dataModule.database(), m_options.config().branch).isEmpty()) {
            printError(WorkingBranch::unknownText(m_options.config().branch, m_options.config().database));
            return 2;
        }
    } catch (const EHostError &e) {
        printError(e.text());
        return 1;
    }
    CostsServerSupervisor costs;
    startCostsServer(costs, m_options.config());
    ModuleLoader loader(m_options.moduleDir().isEmpty() ? InstallPaths::moduleDir() : m_options.moduleDir());
    int status = 1;
    {
        MainWindow window(loader, QStringLiteral("Merenda Escolar"));
        window.show();
        window.activateWindow();
        window.openModule(kScreen);
        settle();
        QMdiSubWindow *sub = window.mdiArea()->activeSubWindow();
        if (auto *screen = sub ? qobject_cast<TfrmDadosGerRel *>(sub->widget()) : nullptr)
            status = runScreen(*screen);
        window.closeScreens();
    }
    loader.unloadAll();
    ShellContext::instance().confirmCostsServer = nullptr;
    return status;
}

int UnattendedRun::runScreen(TfrmDadosGerRel &screen)
{
    watchParameters(screen);
    try {
        screen.openParameterSet(m_options.setName());
        const TfrmDadosGerRel::FilesRun run = screen.writeFiles(m_options.outDir(), m_options.pdf(), m_options.exports());
        m_files = run.files;
        m_rows = run.rows;
        m_title = run.title;
        return 0;
    } catch (const EAbort &) {
        // The screen showed its message (standard error) and stopped.
    } catch (const EHostError &e) {
        printError(e.text());
    }
    return 1;
}

void UnattendedRun::watchParameters(TfrmDadosGerRel &screen)
{
    // Connected after the screen's own handler, so it sees what it filled.
    QObject::connect(screen.reportRunner(), &TReportDesignerDialog::BeforeGetQueryParams, screen.reportRunner(),
                     [this](TParams *params, bool *) {
                         for (int i = 0; i < params->Count(); ++i)
                             m_params.insert(params->at(i).Name(), params->at(i).Value());
                     });
}

DeliveryRequest UnattendedRun::deliveryRequest() const
{
    DeliveryRequest r;
    r.files = m_files;
    r.recipients = m_options.recipients();
    r.report = m_title;
    r.branch = m_params.value(QStringLiteral("P_CDFILIAL")).toString();
    r.periodStart = QDate::fromString(dateText(m_params.value(QStringLiteral("P_DTINICIAL"))), Qt::ISODate);
    r.periodEnd = QDate::fromString(dateText(m_params.value(QStringLiteral("P_DTFINAL"))), Qt::ISODate);
    return r;
}

void UnattendedRun::printSummary(const QString &deliveryFailure) const
{
    const DeliveryRequest r = deliveryRequest();
    QJsonObject line{{"set", m_options.setName()},
                     {"report", m_title},
                     {"branch", r.branch},
                     {"period", QJsonArray{r.periodStart.toString(Qt::ISODate), r.periodEnd.toString(Qt::ISODate)}},
                     {"files", QJsonArray::fromStringList(m_files)},
                     {"rows", m_rows},
                     {"durationMs", m_clock.elapsed()}};
    if (!m_options.recipients().isEmpty())
        line.insert("mail", QJsonObject{{"to", QJsonArray::fromStringList(m_options.recipients())},
                                        {"sent", deliveryFailure.isEmpty()},
                                        {"error", deliveryFailure}});
    std::fprintf(stdout, "%s\n", QJsonDocument(line).toJson(QJsonDocument::Compact).constData());
    std::fflush(stdout);
}
