// Load: N scripted sessions of the shell at once (20 by default), each
// running M report checks (50) with parameters of its own (LoadScript.h),
// against one database and one costs server started here on 127.0.0.1: a
// Firebird server (--engine firebird, the default), a SQLite file
// (--engine sqlite) or a PostgreSQL cluster (--engine postgresql), made for
// the run. With --neighbour-writer another
// program (the sqlite3 shell, NeighbourWriter) writes to the SQLite file
// every 200 ms meanwhile. Passes when every session ends normally with no
// message or error and exactly its own parameter sets, and every write of
// the neighbour reached the file.
//
// Prints the wall time of one session alone, then of the N at once, and
// their ratio to N sessions one after the other; the failed sessions and
// writes. Exit status 0 only when nothing failed.
//
//   bench_load [--sessions N] [--checks M] [--engine firebird|sqlite|postgresql] [--neighbour-writer]
#include "support/LoadScript.h"
#include "appdata/CostsServerProcess.h"
#include "appdata/dtmDBGeral.h"
#include "support/FirebirdServer.h"
#include "support/PostgresCluster.h"
#include "support/NeighbourWriter.h"

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

// Runs n sessions at once; the seconds taken and how many failed.
int runSessions(const Setup &s, int first, int n, int checks, double *seconds)
{
    QElapsedTimer t;
    t.start();
    std::vector<std::unique_ptr<QProcess>> sessions;
    for (int i = 0; i < n; ++i)
        sessions.push_back(startSession(s, first + i, checks));
    int failed = 0;
    for (int i = 0; i < n; ++i) {
        QProcess &p = *sessions[i];
        // Waits with events running: the neighbour writes on its timer meanwhile.
        QElapsedTimer wait;
        wait.start();
        while (p.state() != QProcess::NotRunning && wait.elapsed() < 30 * 60 * 1000)
            if (!p.waitForFinished(50))
                QCoreApplication::processEvents();
        if (p.state() != QProcess::NotRunning)
            p.kill();
        const QStringList problems = LoadScript::check(first + i, checks, QString::fromUtf8(p.readAllStandardOutput()));
        const QString err = QString::fromUtf8(p.readAllStandardError()).trimmed();
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0 || !problems.isEmpty()) {
            ++failed;
            std::fprintf(stderr, "session %d: exit %d\n  %s\n  %s\n", first + i, p.exitCode(),
                         qPrintable(problems.mid(0, 5).join(QStringLiteral("\n  "))), qPrintable(err.left(2000)));
        }
    }
    *seconds = t.elapsed() / 1000.0;
    return failed;
}

// Makes the run's database: on a Firebird server started for it, or a file.
QString makeDatabase(const QString &engine, FirebirdServer &fb, PostgresCluster &pg, const QString &scratch)
{
    DemoSizes sizes;
    sizes.costRows = 20000; // for branch 0101, over the year
    QString location = QStringLiteral("sqlite:") + QDir(scratch).filePath(QStringLiteral("load.sqlite"));
    if (engine == QLatin1String("firebird")) {
        QString why;
        if (!fb.start(&why))
            qFatal("Firebird server: %s", qPrintable(why));
        location = QStringLiteral("firebird://127.0.0.1:%1%2").arg(fb.port()).arg(QDir(fb.folder()).filePath("load.fdb"));
    } else if (engine == QLatin1String("postgresql")) {
        QString why;
        if (!pg.start(&why))
            qFatal("PostgreSQL cluster: %s", qPrintable(why));
        location = pg.location(QStringLiteral("load"));
        // The shells and the costs server find the password where an office's would.
        qputenv("PGPASSWORD", PostgresCluster::Password);
    } else if (engine != QLatin1String("sqlite")) {
        qFatal("unknown engine %s", qPrintable(engine));
    }
    QElapsedTimer made;
    made.start();
    const bool postgres = engine == QLatin1String("postgresql");
    TdtmDBGeral::openConnection({DatabaseLocation::parse(location), FirebirdServer::User,
                                 postgres ? PostgresCluster::Password : FirebirdServer::Password,
                                 QStringLiteral("load"), true, DemoData::filler(sizes)});
    TdtmDBGeral::closeConnection(QStringLiteral("load"));
    std::printf("database %s made in %.1f s\n", qPrintable(location), made.elapsed() / 1000.0);
    return location;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOptions({{QStringLiteral("sessions"), QStringLiteral("Sessions at once."), QStringLiteral("N"), "20"},
                       {QStringLiteral("checks"), QStringLiteral("Report checks per session."), QStringLiteral("M"), "50"},
                       {QStringLiteral("engine"), QStringLiteral("firebird, sqlite or postgresql."), QStringLiteral("E"), "firebird"},
                       {QStringLiteral("neighbour-writer"), QStringLiteral("Another program writes to the SQLite file.")}});
    parser.process(app);
    const int sessions = parser.value(QStringLiteral("sessions")).toInt();
    const int checks = parser.value(QStringLiteral("checks")).toInt();
    const QString engine = parser.value(QStringLiteral("engine"));
    const bool neighbour = parser.isSet(QStringLiteral("neighbour-writer"));
    if (neighbour && engine != QLatin1String("sqlite"))
        qFatal("--neighbour-writer writes to a SQLite file: use --engine sqlite");

    FirebirdServer fb;
    PostgresCluster pg;
    QTemporaryDir scratch;
    Setup s;
    s.scratch = scratch.path();
    s.database = makeDatabase(engine, fb, pg, s.scratch);

    QString why;
    CostsServerProcess costs;
    if (engine == QLatin1String("postgresql"))
        costs.setCredentials(PostgresCluster::User, PostgresCluster::Password);
    else
        costs.setCredentials(FirebirdServer::User, FirebirdServer::Password);
    costs.setProgram(QStringLiteral(COSTS_SERVER_PATH));
    if (!costs.start(s.database, {}, 20000, &why))
        qFatal("costs server: %s", qPrintable(why));
    s.costs = QStringLiteral("%1:%2").arg(costs.host()).arg(costs.port());

    NeighbourWriter writer;
    if (neighbour && !writer.start(DatabaseLocation::parse(s.database).path, 200, 5000, &why))
        qFatal("neighbour writer: %s", qPrintable(why));
    double alone = 0, together = 0;
    const int failedAlone = runSessions(s, sessions, 1, checks, &alone);
    std::printf("%s: 1 session alone, %d checks: %.1f s%s\n", qPrintable(engine), checks, alone,
                failedAlone ? " (FAILED)" : "");
    const int failed = runSessions(s, 0, sessions, checks, &together);
    std::printf("%s: %d sessions at once, %d checks each: %.1f s wall, %d failed sessions%s\n", qPrintable(engine),
                sessions, checks, together, failed, failed ? "" : ", every parameter set its session's own");
    std::printf("ratio to %d sessions one after the other: %.2f\n", sessions, together / (alone * sessions));
    int failedWrites = 0;
    if (neighbour) {
        const NeighbourWriter::Result r = writer.stop();
        failedWrites = r.sent - r.written;
        std::printf("neighbour writer: %d writes every 200 ms, %d failed writes%s%s\n", r.sent, failedWrites,
                    r.complaints.isEmpty() ? "" : ": ", qPrintable(r.complaints.left(300)));
        if (!r.complaints.isEmpty())
            failedWrites = qMax(failedWrites, 1);
    }
    return failed == 0 && failedAlone == 0 && failedWrites == 0 ? 0 : 1;
}
