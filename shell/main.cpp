// The shell program: reads its options (without a display: --help and
// --version work anywhere), opens the database, checks the working branch,
// starts a costs server when none is configured, and shows the main window
// with its screens; or, with --script, runs a scripted session on the same
// screens and prints what happens.
//
// Exit codes: 0 done; 1 a failure (database, picture, script lines, no
// display); 2 a bad option or configuration value, or an unknown working
// branch. Nothing escapes main: every failure ends with a message.
#include "DatabaseLogin.h"
#include "DesktopTrace.h"
#include "MainWindow.h"
#include "session/RunHistory.h"
#include "ModuleLoader.h"
#include "PasswordKeyring.h"
#include "ScriptSession.h"
#include "ShellOptions.h"
#include "TerminationSignals.h"
#include "UserInput.h"
#include "UserPreferences.h"
#include "WorkingBranch.h"
#include "appdata/CostsServerProcess.h"
#include "appdata/CostsServerSupervisor.h"
#include "appdata/SecretArguments.h"
#include "appdata/dtmDBGeral.h"
#include "data/engines/ReportAccess.h"
#include "core/Errors.h"
#include "core/HostUi.h"
#include "core/InstallPaths.h"
#include "session/ShellContext.h"
#include "session/ShellNotices.h"
#include "ui/QtHostUi.h"
#include "ui/ScriptedHostUi.h"
#include "widgets/KeyboardHelpers.h"
#include "widgets/WindowPlacement.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTextStream>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <chrono>
#include <exception>
#include <thread>

namespace {
void printError(const QString &text) { std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData()); }

bool forPeople(const ShellOptions &o) { return o.scriptFile().isEmpty() && o.screenshotFile().isEmpty(); }

// A failure at start-up: standard error always, and a dialog for people.
int startupFailure(const ShellOptions &o, const QString &text, int exitCode)
{
    printError(text);
    if (forPeople(o))
        HostUi::instance().showError(text, true);
    return exitCode;
}

// Runs that show nothing to a person work without a display (offscreen);
// false when a person's run has no display to show its window on.
bool choosePlatform(const ShellOptions &o)
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;
    const bool display = !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (!o.scriptFile().isEmpty() || (!display && !o.screenshotFile().isEmpty())) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return true;
    }
    return display;
}

// A screenshot runs unattended: whatever keeps it from ending (a server that
// never answers, a window that waits for someone) ends it after this long.
constexpr int ScreenshotDeadlineSeconds = 30;

void armScreenshotDeadline(const ShellOptions &o)
{
    if (o.screenshotFile().isEmpty())
        return;
    std::thread([] {
        std::this_thread::sleep_for(std::chrono::seconds(ScreenshotDeadlineSeconds));
        printError(QStringLiteral("A imagem não ficou pronta em %1 s; o programa termina.").arg(ScreenshotDeadlineSeconds));
        std::_Exit(1);
    }).detach();
}

QtMessageHandler g_qtMessages = nullptr;

// While the application object starts, Qt's fatal messages (no platform
// plugin could start) end the program with exit code 1 instead of an abort.
void startupMessages(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type != QtFatalMsg) {
        if (g_qtMessages)
            g_qtMessages(type, context, text);
        else
            printError(text);
        return;
    }
    printError(text);
    printError(QStringLiteral("A interface gráfica não pôde ser iniciada (veja acima). Confira DISPLAY ou "
                              "QT_QPA_PLATFORM; --script e --screenshot funcionam sem tela."));
    std::_Exit(1);
}

// People get dialogs. A scripted session and a screenshot get scripted
// answers, so no window ever waits for one; for a screenshot every message
// goes to standard error and is counted.
void installUi(const ShellOptions &o, int &messages)
{
    if (forPeople(o)) {
        HostUi::install(std::make_unique<QtHostUi>());
        return;
    }
    auto *ui = HostUi::install(std::make_unique<ScriptedHostUi>());
    ui->outputDir = o.outDir();
    if (o.scriptFile().isEmpty())
        ui->onMessage = [&messages](const ScriptedHostUi::Message &m) {
            ++messages;
            printError(m.text);
        };
}

// Opens the database and checks the working branch; the exit code, 0 when
// both are fine. A person is asked for a password the server refuses, and
// may keep it in the desktop's keyring; a script is never asked.
int openData(TdtmDBGeral &dataModule, const ShellOptions &o)
{
    try {
        DesktopKeyring keyring;
        DatabaseLogin login(forPeople(o) ? &keyring : nullptr,
                            forPeople(o) ? DatabaseLogin::Prompt(&PasswordPrompt::ask) : DatabaseLogin::Prompt());
        // Prepares the Firebird client too (FirebirdSharing), before the costs server inherits it.
        login.open(dataModule, o.config());
        if (!login.keyringProblem().isEmpty())
            printError(login.keyringProblem());
        if (WorkingBranch::nameOf(dataModule.database(), o.config().branch).isEmpty())
            return startupFailure(o, WorkingBranch::unknownText(o.config().branch, o.config().database), 2);
    } catch (const EHostError &e) {
        return startupFailure(o, e.text(), 1);
    }
    return 0;
}

void startCostsServer(CostsServerSupervisor &costs, const ShellOptions &o)
{
    if (o.config().costsPort != 0)
        return;
    // No costs server configured: the shell runs one of its own, and the
    // screens find it at whatever address it has after a restart.
    QObject::connect(&costs, &CostsServerSupervisor::stateChanged, &costs, [&costs] {
        if (costs.state() == CostsServerSupervisor::State::Running) {
            ShellContext::instance().webHost = costs.host();
            ShellContext::instance().webPort = costs.port();
        }
    });
    QObject::connect(&costs, &CostsServerSupervisor::notice, &ShellNotices::instance(), &ShellNotices::post);
    // A screen opened before the end of a killed server is handled reads the address of one that answers.
    ShellContext::instance().confirmCostsServer = [&costs] { costs.confirmRunning(); };
    QString why;
    // The password the login took (typed, or from the keyring), not only the configuration's.
    costs.process().setCredentials(dtmDBGeral()->config().user, dtmDBGeral()->config().password);
    costs.process().setToken(o.config().costsToken);
    costs.setDatabase(o.config().database);
    if (!costs.start(&why))
        printError(QStringLiteral("O servidor de custos não iniciou: %1").arg(why));
}

void installQtTranslations(QApplication &app)
{
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char *name : {"qtbase", "qt"}) {
        auto *translator = new QTranslator(&app);
        if (translator->load(QLocale(QLocale::Portuguese, QLocale::Brazil), QLatin1String(name), QStringLiteral("_"), folder))
            QCoreApplication::installTranslator(translator);
        else
            delete translator;
    }
}

// Notices (a costs server that did not answer, say) do not stop the work:
// they go to the status bar and to standard error.
void showNotices(MainWindow &window)
{
    QObject::connect(&ShellNotices::instance(), &ShellNotices::notice, &window, [&window](const QString &text) {
        printError(text);
        window.showNotice(text);
    });
    QObject::connect(&ShellNotices::instance(), &ShellNotices::resolved, &window, &MainWindow::clearNotice);
    QObject::connect(&ShellNotices::instance(), &ShellNotices::fileWritten, &window, &MainWindow::showFileWritten);
    QObject::connect(&ShellNotices::instance(), &ShellNotices::told, &window, &MainWindow::showMessage);
}

int runScript(MainWindow &window, ModuleLoader &loader, const ShellOptions &options, const QString &reportRights)
{
    auto &ui = static_cast<ScriptedHostUi &>(HostUi::instance());
    QFile in;
    const bool ok = options.scriptFile() == QLatin1String("-") ? in.open(stdin, QIODevice::ReadOnly)
                                                               : (in.setFileName(options.scriptFile()), in.open(QIODevice::ReadOnly));
    if (!ok) {
        printError(QStringLiteral("Não foi possível ler o roteiro %1.").arg(options.scriptFile()));
        return 2;
    }
    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    window.activateWindow();
    if (!UserInput::waitForActive(&window, 2000))
        printError(QStringLiteral("A janela principal não ficou ativa."));
    ScriptSession session(window, loader, ui, out);
    if (!reportRights.isEmpty())
        session.warn(reportRights);
    const int failures = session.run(in);
    return failures == 0 ? 0 : 1;
}

// The picture of the active screen (or of the window) once it has painted;
// non-zero when it could not be written or start-up showed a message.
int takeScreenshot(MainWindow &window, const QString &file, const int &messages)
{
    int status = 1;
    QTimer::singleShot(300, &window, [&] {
        QWidget *target = &window;
        if (QMdiSubWindow *sub = window.mdiArea()->activeSubWindow())
            target = sub;
        const bool saved = target->grab().save(file);
        if (!saved)
            printError(QStringLiteral("Não foi possível gravar a imagem %1.").arg(file));
        status = saved && messages == 0 ? 0 : 1;
        window.close();
    });
    const int rc = QApplication::exec();
    return status != 0 ? status : rc;
}

// What the status bar tells: the database, the working branch, the costs server.
struct StartupFacts {
    QString database, branch, branchName, costs;
    QString reportRights; // who the reports run as, when an administrator
};

StartupFacts startupFacts(const TdtmDBGeral &data, const ShellOptions &o, const CostsServerSupervisor &costs)
{
    StartupFacts f;
    f.database = o.config().database;
    f.branch = o.config().branch;
    f.branchName = WorkingBranch::nameOf(data.database(), f.branch);
    f.reportRights = ReportAccess::warning(data.database().connectionName());
    const QString address = QStringLiteral("%1:%2").arg(ShellContext::instance().webHost).arg(ShellContext::instance().webPort);
    if (o.config().costsPort != 0)
        f.costs = address;
    else
        f.costs = costs.stateText();
    return f;
}

int runWindow(ModuleLoader &loader, const ShellOptions &options, const int &messages, const StartupFacts &facts,
              CostsServerSupervisor *ownCosts)
{
    // Every report run of this session goes to the user's history of runs.
    RunHistory history(RunHistory::defaultPath(), {options.config().historyMonths, options.config().historyRuns});
    RunHistory::install(&history);
    MainWindow window(loader, QStringLiteral("Merenda Escolar"));
    window.showDatabase(facts.database);
    window.showBranch(facts.branch, facts.branchName);
    window.showCostsServer(facts.costs);
    window.showReportRights(facts.reportRights);
    if (!facts.reportRights.isEmpty() && options.scriptFile().isEmpty())
        printError(facts.reportRights);
    if (ownCosts)
        window.followCostsServer(ownCosts);
    showNotices(window);
    DesktopTrace::installIfAsked(&window);
    window.show();
    int status = 0;
    if (!options.scriptFile().isEmpty()) {
        status = runScript(window, loader, options, facts.reportRights);
    } else if (!options.screenshotFile().isEmpty()) {
        for (const QString &code : options.openModules())
            window.openModule(code);
        status = takeScreenshot(window, options.screenshotFile(), messages);
    } else {
        for (const QString &code : options.openModules())
            window.openModule(code);
        status = QApplication::exec();
        window.rememberPlace();
    }
    window.closeScreens();
    return status;
}

int runShell(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("shell"));
    QCoreApplication::setOrganizationName(QStringLiteral("merenda"));
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    ShellOptions options;
    if (!options.parse(arguments))
        return options.exitCode();
    if (const QString warning = SecretArguments::hide(argc, argv, "db-password"); !warning.isEmpty())
        printError(warning);
    // A person's session ends cleanly on a logout or `kill`; unattended runs
    // keep the usual meaning of the signals.
    if (forPeople(options))
        TerminationSignals::catchEarly();
    armScreenshotDeadline(options);
    if (!choosePlatform(options)) {
        printError(QStringLiteral("Não há tela disponível (DISPLAY vazio). Rode numa sessão gráfica; --script e "
                                  "--screenshot funcionam sem tela."));
        return 1;
    }
    g_qtMessages = qInstallMessageHandler(startupMessages);
    QApplication app(argc, argv);
    qInstallMessageHandler(g_qtMessages);
    TerminationSignals::quitApplicationOnSignal(&app);
    QApplication::setApplicationDisplayName(QStringLiteral("Merenda Escolar"));
    QApplication::setApplicationVersion(QStringLiteral(SHELL_VERSION));
    // The program's own icon on every window, and its desktop entry for the
    // panel. A PNG drawn from dist/merenda.svg: reading the SVG at start-up
    // loaded the icon engine and several image plugins for one small picture.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/shell/merenda.png")));
    QGuiApplication::setDesktopFileName(QStringLiteral("merenda"));
    // Dates, numbers and short date texts as the users read them; Qt's own
    // dialogs (print, preview, buttons) in Portuguese too. The C library's
    // numbers stay in C form (NumericLocale, run as the application starts),
    // so files written through it are the same under any locale.
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    installQtTranslations(app);
    KeyboardHelpers::installEnterMovesFocus();

    int messages = 0;
    installUi(options, messages);
    // A person's windows open inside the screen, where they were left.
    if (forPeople(options))
        WindowPlacement::install(UserPreferences::file());
    TdtmDBGeral dataModule;
    CostsServerSupervisor costs;
    if (const int failed = openData(dataModule, options))
        return failed;
    startCostsServer(costs, options);

    ModuleLoader loader(options.moduleDir().isEmpty() ? InstallPaths::moduleDir() : options.moduleDir());
    const int status = runWindow(loader, options, messages, startupFacts(dataModule, options, costs),
                                 options.config().costsPort == 0 ? &costs : nullptr);
    loader.unloadAll();
    ShellContext::instance().confirmCostsServer = nullptr;
    return status;
}
}

int main(int argc, char *argv[])
{
    try {
        return runShell(argc, argv);
    } catch (const EHostError &e) {
        printError(e.text());
    } catch (const std::exception &e) {
        printError(QStringLiteral("Erro inesperado: %1").arg(QString::fromLocal8Bit(e.what())));
    } catch (...) {
        printError(QStringLiteral("Erro inesperado."));
    }
    return 1;
}
