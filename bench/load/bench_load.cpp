// Load: N scripted sessions of the shell at once (20 by default), each
// running M report checks (50) with parameters of its own (LoadScript.h),
// against one Firebird server and one costs server, both started here on
// 127.0.0.1 on a database made for the run. Passes when every session ends
// normally with no message or error and exactly its own parameter sets.
//
// Prints the wall time of one session alone, then of the N at once, and
// their ratio to N sessions one after the other. Exit status 0 only when
// every session passed.
//
//   bench_load [--sessions N] [--checks M]
#include "LoadScript.h"
#include "appdata/CostsServerProcess.h"
#include "appdata/dtmDBGeral.h"
#include "support/FirebirdServer.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

struct Setup {
    QString database;
    QString costs;
    QString scratch;
};

std::unique_ptr<QProcess> startSession(const Setup &s, int session, int checks)
{
    const QString dir = QDir(s.scratch).filePath(QStringLiteral("s%1").arg(session));
    QDir().mkpath(dir);
    const QString file = QDir(dir).filePath(QStringLiteral("load.script"));
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly) || f.write(LoadScript::script(session, checks).toUtf8()) < 0)
        qFatal("cannot write %s", qPrintable(file));
    f.close();
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), QDir(dir).filePath(QStringLiteral("data")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), QDir(dir).filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("TMPDIR"), dir);
    p->setProcessEnvironment(env);
    p->start(QStringLiteral(SHELL_PROGRAM), {QStringLiteral("--script"), file, QStringLiteral("--db"), s.database,
                                             QStringLiteral("--costs"), s.costs});
    return p;
}

// Runs n sessions at once; the seconds taken, and false when any failed.
bool runSessions(const Setup &s, int first, int n, int checks, double *seconds)
{
    QElapsedTimer t;
    t.start();
    std::vector<std::unique_ptr<QProcess>> sessions;
    for (int i = 0; i < n; ++i)
        sessions.push_back(startSession(s, first + i, checks));
    bool ok = true;
    for (int i = 0; i < n; ++i) {
        QProcess &p = *sessions[i];
        if (!p.waitForFinished(30 * 60 * 1000))
            p.kill();
        const QStringList problems = LoadScript::check(first + i, checks, QString::fromUtf8(p.readAllStandardOutput()));
        const QString err = QString::fromUtf8(p.readAllStandardError()).trimmed();
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0 || !problems.isEmpty()) {
            ok = false;
            std::fprintf(stderr, "session %d: exit %d\n  %s\n  %s\n", first + i, p.exitCode(),
                         qPrintable(problems.mid(0, 5).join(QStringLiteral("\n  "))), qPrintable(err.left(2000)));
        }
    }
    *seconds = t.elapsed() / 1000.0;
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOptions({{QStringLiteral("sessions"), QStringLiteral("Sessions at once."), QStringLiteral("N"), "20"},
                       {QStringLiteral("checks"), QStringLiteral("Report checks per session."), QStringLiteral("M"), "50"}});
    parser.process(app);
    const int sessions = parser.value(QStringLiteral("sessions")).toInt();
    const int checks = parser.value(QStringLiteral("checks")).toInt();

    FirebirdServer fb;
    QString why;
    if (!fb.start(&why))
        qFatal("Firebird server: %s", qPrintable(why));
    QTemporaryDir scratch;
    Setup s;
    s.scratch = scratch.path();
    s.database = QStringLiteral("firebird://127.0.0.1:%1%2").arg(fb.port()).arg(QDir(fb.folder()).filePath("load.fdb"));
    DemoSizes sizes;
    sizes.costRows = 20000; // for branch 0101, over the year
    QElapsedTimer made;
    made.start();
    TdtmDBGeral::openConnection({DatabaseLocation::parse(s.database), FirebirdServer::User, FirebirdServer::Password,
                                 QStringLiteral("load"), true, DemoData::filler(sizes)});
    TdtmDBGeral::closeConnection(QStringLiteral("load"));
    std::printf("database %s made in %.1f s\n", qPrintable(s.database), made.elapsed() / 1000.0);

    CostsServerProcess costs;
    costs.setCredentials(FirebirdServer::User, FirebirdServer::Password);
    costs.setProgram(QStringLiteral(COSTS_SERVER_PATH));
    if (!costs.start(s.database, {}, 20000, &why))
        qFatal("costs server: %s", qPrintable(why));
    s.costs = QStringLiteral("%1:%2").arg(costs.host()).arg(costs.port());

    double alone = 0, together = 0;
    const bool okAlone = runSessions(s, sessions, 1, checks, &alone);
    std::printf("1 session alone, %d checks: %.1f s%s\n", checks, alone, okAlone ? "" : " (FAILED)");
    const bool ok = runSessions(s, 0, sessions, checks, &together);
    std::printf("%d sessions at once, %d checks each: %.1f s wall%s\n", sessions, checks, together,
                ok ? ", 0 errors, every parameter set its session's own" : " (FAILED)");
    std::printf("ratio to %d sessions one after the other: %.2f\n", sessions, together / (alone * sessions));
    return ok && okAlone ? 0 : 1;
}
