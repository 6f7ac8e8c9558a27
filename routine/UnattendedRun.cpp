#include "UnattendedRun.h"
#include "DueRuns.h"
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
#include "session/RunHistory.h"
#include "session/ShellContext.h"
#include "session/ShellNotices.h"
#include "ui/ScriptedHostUi.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
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

UnattendedRun::UnattendedRun(const RoutineOptions &options) : m_options(options) {}

int UnattendedRun::execute()
{
    auto *ui = HostUi::install(std::make_unique<ScriptedHostUi>());
    ui->onMessage = [this](const ScriptedHostUi::Message &m) {
        m_lastMessage = m.text;
        printError(m.text);
    };
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
            status = runSets(*screen);
        window.closeScreens();
    }
    loader.unloadAll();
    ShellContext::instance().confirmCostsServer = nullptr;
    return status;
}

int UnattendedRun::runSets(TfrmDadosGerRel &screen)
{
    // Connected after the screen's own handler, so it sees what it filled.
    QObject::connect(screen.reportRunner(), &TReportDesignerDialog::BeforeGetQueryParams, screen.reportRunner(),
                     [this](TParams *params, bool *) {
                         for (int i = 0; i < params->Count(); ++i)
                             m_run.params.insert(params->at(i).Name(), params->at(i).Value());
                     });
    if (m_options.due())
        return runDue(screen);
    return runOne(screen, m_options.setName(), QFileInfo(m_options.outDir()).absoluteFilePath());
}

int UnattendedRun::runDue(TfrmDadosGerRel &screen)
{
    try {
        DueRuns record;
        if (!record.lock()) {
            printError(QStringLiteral("Outra execução agendada deste usuário está em andamento; nada foi emitido agora."));
            return 0;
        }
        int status = 0;
        for (const DueRuns::Due &due : record.due(ParameterSets::list(screen.parameterPlace()),
                                                  QDateTime::currentDateTime())) {
            const QString folder = QDir(QFileInfo(m_options.outDir()).absoluteFilePath()).filePath(due.set.name);
            if (!QDir().mkpath(folder)) {
                printError(QStringLiteral("Não foi possível criar a pasta %1 para \"%2\".").arg(folder, due.set.name));
                status = 1;
            } else if (runOne(screen, due.set.name, folder) == 0) {
                record.ran(due);
            } else {
                status = 1;
            }
        }
        return status;
    } catch (const EHostError &e) {
        printError(e.text());
        return 1;
    }
}

int UnattendedRun::runOne(TfrmDadosGerRel &screen, const QString &set, const QString &folder)
{
    QElapsedTimer clock;
    clock.start();
    m_run = SetRun();
    m_run.set = set;
    m_run.folder = folder;
    m_lastMessage.clear();
    RunHistory history(RunHistory::defaultPath(),
                       {m_options.config().historyMonths, m_options.config().historyRuns});
    RunRecord record;
    record.origin = QStringLiteral("merenda-report");
    record.screen = screen.reportCode();
    record.command = QStringLiteral("Emissão sem ninguém na tela");
    record.setName = set;
    qint64 id = 0;
    try {
        screen.openParameterSet(set);
        record.choices = screen.storedChoices();
        record.report = screen.reportNames() ? screen.reportNames()->currentText() : QString();
        id = history.begin(record);
        const TfrmDadosGerRel::FilesRun run = screen.writeFiles(folder, m_options.pdf(), m_options.exports());
        m_run.files = run.files;
        m_run.rows = run.rows;
        m_run.title = run.title;
    } catch (const EAbort &e) {
        // The screen showed its message (standard error) and stopped.
        endRefused(history, id, record, e.text().isEmpty() ? m_lastMessage : e.text());
        return 1;
    } catch (const EHostError &e) {
        printError(e.text());
        endRefused(history, id, record, e.text());
        return 1;
    }
    m_run.ms = clock.elapsed();
    // The files are there whatever the delivery does: the summary says so.
    const QString failure = m_options.recipients().isEmpty() ? QString() : ReportDelivery::deliver(deliveryRequest());
    printSummary(failure);
    history.finish(id, failure.isEmpty() ? RunRecord::Outcome::Done : RunRecord::Outcome::Failed, failure, m_run.rows,
                   m_run.files, failure.isEmpty() ? m_options.recipients() : QStringList());
    if (failure.isEmpty())
        return 0;
    printError(failure);
    return 1;
}

void UnattendedRun::endRefused(RunHistory &history, qint64 id, const RunRecord &record, const QString &why)
{
    if (id == 0)
        id = history.begin(record);
    history.finish(id, RunRecord::Outcome::Refused, why);
}

DeliveryRequest UnattendedRun::deliveryRequest() const
{
    DeliveryRequest r;
    r.settings = m_options.config().mail;
    r.files = m_run.files;
    r.recipients = m_options.recipients();
    r.report = m_run.title;
    r.branch = m_run.params.value(QStringLiteral("P_CDFILIAL")).toString();
    r.periodStart = QDate::fromString(dateText(m_run.params.value(QStringLiteral("P_DTINICIAL"))), Qt::ISODate);
    r.periodEnd = QDate::fromString(dateText(m_run.params.value(QStringLiteral("P_DTFINAL"))), Qt::ISODate);
    return r;
}

void UnattendedRun::printSummary(const QString &deliveryFailure) const
{
    const DeliveryRequest r = deliveryRequest();
    QJsonObject line{{"set", m_run.set},
                     {"report", m_run.title},
                     {"branch", r.branch},
                     {"period", QJsonArray{r.periodStart.toString(Qt::ISODate), r.periodEnd.toString(Qt::ISODate)}},
                     {"files", QJsonArray::fromStringList(m_run.files)},
                     {"rows", m_run.rows},
                     {"durationMs", m_run.ms}};
    if (!m_options.recipients().isEmpty())
        line.insert("mail", QJsonObject{{"to", QJsonArray::fromStringList(m_options.recipients())},
                                        {"sent", deliveryFailure.isEmpty()},
                                        {"error", deliveryFailure}});
    std::fprintf(stdout, "%s\n", QJsonDocument(line).toJson(QJsonDocument::Compact).constData());
    std::fflush(stdout);
}
