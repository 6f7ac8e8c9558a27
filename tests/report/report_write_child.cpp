// A process that writes one report file and is killed while it writes: it
// opens a SQLite database, runs a definition and writes its pages (.pdf) or
// rows (.csv) to the path given, through the runner's own writing. Once the
// writing has begun it prints "written N" lines (pages or rows so far).
//   report_write_child DATABASE DEFINITION OUTPUT
#include "core/HostUi.h"
#include "core/Work.h"
#include "report/commands/TReportDesignerDialog.h"
#include "ui/ScriptedHostUi.h"

#include <QApplication>
#include <QSqlDatabase>
#include <QThread>
#include <cstdio>

namespace {
// Says how far the writing got (the second stage: its total is known).
class ReportingUi : public ScriptedHostUi {
public:
    bool waitForWork(const QString &, Work &work) override
    {
        qint64 said = 0;
        while (!work.finished()) {
            const qint64 done = work.done();
            if (work.total() > 0 && done > said) {
                std::fprintf(stdout, "written %lld\n", done);
                std::fflush(stdout);
                said = done;
            }
            QThread::msleep(2);
        }
        return true;
    }
};
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return 2;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(args[1]);
    if (!db.open())
        return 3;
    HostUi::install(std::make_unique<ReportingUi>());
    TReportDesignerDialog rpdd;
    const bool done = args[3].endsWith(QLatin1String(".pdf")) ? rpdd.WritePdf(args[2], args[3], {})
                                                              : rpdd.WriteCsv(args[2], args[3], {});
    HostUi::uninstall();
    return done ? 0 : 1;
}
