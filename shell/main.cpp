// The shell program: opens the database, starts a costs server when none is
// configured, and shows the main window with its screens.
#include "MainWindow.h"
#include "ModuleLoader.h"
#include "ShellOptions.h"
#include "toolkit/Dispatch.h"
#include "ui/HostUi.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("shell"));
    QApplication::setOrganizationName(QStringLiteral("merenda"));

    ShellOptions options;
    if (!options.parse(QApplication::arguments()))
        return options.exitCode();

    ModuleLoader loader(options.moduleDir());
    int status = 0;
    {
        MainWindow window(loader, QStringLiteral("Merenda Escolar"));
        window.show();

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
        window.closeScreens();
    }
    loader.unloadAll();
    return status;
}
