// merenda-report: runs the report screen of a saved parameter set without
// anyone at it. The screen opens offscreen in the shell's own main window,
// the set is typed in as a person would, the screen's whole check runs, and
// one run writes the chosen formats into a folder under the names the save
// dialogs propose. Messages the screen shows go to standard error as they
// are; one JSON line on standard output tells the files, rows and duration.
//
// Exit codes: 0 done; 1 the screen, the database or the delivery refused
// (its words on standard error); 2 a bad option or an unknown working branch.
#include "RoutineOptions.h"
#include "UnattendedRun.h"

#include "core/Errors.h"

#include <QApplication>
#include <QLocale>
#include <cstdio>
#include <exception>

namespace {
void printError(const QString &text) { std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData()); }

int runProgram(int argc, char *argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("shell"));
    QCoreApplication::setOrganizationName(QStringLiteral("merenda"));
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    RoutineOptions options;
    if (!options.parse(arguments))
        return options.exitCode();
    // Nobody looks at this run: no display is needed or used.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    return UnattendedRun(options).execute();
}
} // namespace

int main(int argc, char *argv[])
{
    try {
        return runProgram(argc, argv);
    } catch (const EHostError &e) {
        printError(e.text());
    } catch (const std::exception &e) {
        printError(QStringLiteral("Erro inesperado: %1").arg(QString::fromLocal8Bit(e.what())));
    } catch (...) {
        printError(QStringLiteral("Erro inesperado."));
    }
    return 1;
}
