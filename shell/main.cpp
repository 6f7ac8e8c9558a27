// The shell program: opens the database, starts a costs server when none is
// configured, and shows the main window with its screens; or, with --script,
// runs a scripted session on the same screens and prints what happens.
#include "MainWindow.h"
#include "ModuleLoader.h"
#include "ScriptSession.h"
#include "ShellOptions.h"
#include "appdata/dtmDBGeral.h"
#include "services/CostsServerProcess.h"
#include "services/ShellContext.h"
#include "services/ShellNotices.h"
#include "toolkit/Errors.h"
#include "toolkit/HostUi.h"
#include "ui/QtHostUi.h"
#include "ui/ScriptedHostUi.h"

#include <QApplication>
#include <QFile>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTest>
#include <QTextStream>
#include <QTimer>
#include <cstdio>
#include <cstring>

namespace {
bool wantsScript(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--script") == 0 || std::strncmp(argv[i], "--script=", 9) == 0)
            return true;
    return false;
}

// Notices (a costs server that did not answer, say) do not stop the work:
// they go to the status bar and to standard error.
void showNotices(MainWindow &window)
{
    QObject::connect(&ShellNotices::instance(), &ShellNotices::notice, &window, [&window](const QString &text) {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        window.statusBar()->showMessage(text);
    });
}

int runScript(MainWindow &window, ModuleLoader &loader, const ShellOptions &options)
{
    auto *ui = HostUi::install(std::make_unique<ScriptedHostUi>());
    ui->outputDir = options.outDir();
    QFile in;
    const bool ok = options.scriptFile() == QLatin1String("-") ? in.open(stdin, QIODevice::ReadOnly)
                                                               : (in.setFileName(options.scriptFile()), in.open(QIODevice::ReadOnly));
    if (!ok) {
        std::fprintf(stderr, "cannot read the script %s\n", qPrintable(options.scriptFile()));
        return 2;
    }
    QTextStream out(stdout);
    out.setEncoding(QStringConverter::Utf8);
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window, 2000))
        std::fprintf(stderr, "the main window did not become active\n");
    ScriptSession session(window, loader, *ui, out);
    const int failures = session.run(in);
    return failures == 0 ? 0 : 1;
}
}

int main(int argc, char *argv[])
{
    // A scripted session runs the real screens without showing them.
    if (wantsScript(argc, argv) && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("shell"));
    QApplication::setOrganizationName(QStringLiteral("merenda"));
    // Dates, numbers and short date texts as the users read them.
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));

    ShellOptions options;
    if (!options.parse(QApplication::arguments()))
        return options.exitCode();

    // People get dialogs; a scripted session installs its own answers.
    if (options.scriptFile().isEmpty())
        HostUi::install(std::make_unique<QtHostUi>());

    TdtmDBGeral dataModule;
    CostsServerProcess costs;
    try {
        // Prepares the Firebird client too (FirebirdSharing), before the costs server inherits it.
        dataModule.open(options.config());
    } catch (const EHostError &e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.text()));
        if (options.scriptFile().isEmpty())
            HostUi::instance().showException(e.text());
        return 1;
    }
    if (options.config().costsPort == 0) {
        // No costs server configured: the shell runs one of its own.
        QString why;
        costs.setCredentials(options.config().user, options.config().password);
        costs.setToken(options.config().costsToken);
        if (costs.start(options.config().database, {}, 10000, &why)) {
            ShellContext::instance().webHost = costs.host();
            ShellContext::instance().webPort = costs.port();
        } else {
            std::fprintf(stderr, "the costs server did not start: %s\n", qPrintable(why));
        }
    }

    ModuleLoader loader(options.moduleDir());
    int status = 0;
    {
        MainWindow window(loader, QStringLiteral("Merenda Escolar"));
        showNotices(window);
        window.show();
        if (!options.scriptFile().isEmpty()) {
            status = runScript(window, loader, options);
        } else {
            for (const QString &code : options.openModules())
                window.openModule(code);
            if (!options.screenshotFile().isEmpty()) {
                // Let the screens activate and paint before the picture is taken.
                QTimer::singleShot(300, &window, [&] {
                    QWidget *target = &window;
                    if (QMdiSubWindow *sub = window.mdiArea()->activeSubWindow())
                        target = sub;
                    const bool ok = target->grab().save(options.screenshotFile());
                    if (!ok)
                        std::fprintf(stderr, "could not write %s\n", qPrintable(options.screenshotFile()));
                    status = ok ? 0 : 1;
                    window.close();
                });
            }
            const int rc = QApplication::exec();
            if (status == 0)
                status = rc;
        }
        window.closeScreens();
    }
    loader.unloadAll();
    return status;
}
