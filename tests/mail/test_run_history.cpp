// The history of report runs (RunHistory) as processes really use it: a run
// whose process is SIGKILLed reads back as interrupted (and one whose
// process lives, as under way); two processes writing at once lose no run;
// old and surplus runs are pruned; a history that cannot be written posts a
// notice and lets the run go on. The child processes are this program
// started again with "--child".
#include "session/RunHistory.h"
#include "session/ShellNotices.h"

#include <QProcess>
#include <QSignalSpy>
#include <QtTest>
#include <csignal>
#include <iostream>

namespace {

RunRecord sample(const QString &report)
{
    RunRecord r;
    r.origin = QStringLiteral("tela");
    r.screen = QStringLiteral("XEV01700");
    r.report = report;
    r.command = QStringLiteral("Visualizar");
    r.choices = {{QStringLiteral("filial"), QStringLiteral("0101")}, {QStringLiteral("tipoCusto"), QStringLiteral("Médio")}};
    return r;
}

// "--child begin PATH": begins a run, prints its id, waits to be killed.
// "--child write PATH TAG N": N runs begun and finished, as fast as it can.
int child(const QStringList &args)
{
    RunHistory history(args.value(3), {12, 100000});
    QObject::connect(&ShellNotices::instance(), &ShellNotices::notice,
                     [](const QString &text) { std::cerr << text.toStdString() << std::endl; });
    if (args.value(2) == QLatin1String("begin")) {
        std::cout << history.begin(sample(QStringLiteral("Custo Realizado Global do Período"))) << std::endl;
        QThread::sleep(600);
        return 0;
    }
    for (int i = 0, n = args.value(5).toInt(); i < n; ++i) {
        const qint64 id = history.begin(sample(QStringLiteral("%1 %2").arg(args.value(4)).arg(i)));
        if (id == 0)
            return 1;
        history.finish(id, RunRecord::Outcome::Done, QString(), i);
    }
    return 0;
}

} // namespace

class TestRunHistory : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString fresh(const char *name) { return m_dir.filePath(QString::fromLatin1(name)); }
    QProcess *startChild(const QStringList &args)
    {
        auto *p = new QProcess(this);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QCoreApplication::applicationFilePath(), QStringList{QStringLiteral("--child")} + args);
        return p;
    }

private slots:
    void killedRunReadsAsInterrupted()
    {
        const QString path = fresh("killed.sqlite");
        QProcess *p = startChild({QStringLiteral("begin"), path});
        QVERIFY(p->waitForReadyRead(30000));
        const qint64 id = p->readLine().trimmed().toLongLong();
        QVERIFY(id > 0);
        RunHistory history(path);
        QCOMPARE(history.run(id).outcome, RunRecord::Outcome::Running);
        ::kill(pid_t(p->processId()), SIGKILL);
        QVERIFY(p->waitForFinished(30000));
        const RunRecord r = history.run(id);
        QCOMPARE(r.outcome, RunRecord::Outcome::Interrupted);
        QCOMPARE(RunRecord::outcomeText(r.outcome), QStringLiteral("interrompido"));
        QCOMPARE(r.choices.value(QStringLiteral("tipoCusto")).toString(), QStringLiteral("Médio"));
    }

    void twoWritersAtOnceLoseNothing()
    {
        const QString path = fresh("shared.sqlite");
        const int each = 250;
        QProcess *a = startChild({QStringLiteral("write"), path, QStringLiteral("A"), QString::number(each)});
        QProcess *b = startChild({QStringLiteral("write"), path, QStringLiteral("B"), QString::number(each)});
        for (QProcess *p : {a, b}) {
            QVERIFY(p->waitForFinished(240000));
            QCOMPARE(p->exitCode(), 0);
        }
        RunHistory history(path);
        const QList<RunRecord> runs = history.recent(QString(), 10000);
        QCOMPARE(runs.size(), 2 * each);
        QSet<QString> reports;
        for (const RunRecord &r : runs) {
            QCOMPARE(r.outcome, RunRecord::Outcome::Done);
            reports.insert(r.report);
        }
        QCOMPARE(reports.size(), 2 * each);
        QCOMPARE(history.recent(QStringLiteral("B 249")).size(), 1);
    }

    void oldAndSurplusRunsArePruned()
    {
        RunHistory history(fresh("bounded.sqlite"), {6, 5});
        RunRecord old = sample(QStringLiteral("Antigo"));
        old.started = QDateTime::currentDateTime().addMonths(-7);
        const qint64 oldId = history.begin(old);
        QVERIFY(oldId > 0);
        QList<qint64> ids;
        for (int i = 0; i < 8; ++i)
            ids << history.begin(sample(QStringLiteral("Relatório %1").arg(i)));
        const QList<RunRecord> kept = history.recent();
        QCOMPARE(kept.size(), 5);
        QCOMPARE(kept.first().id, ids.last());   // newest first
        QCOMPARE(kept.last().id, ids[3]);
        QCOMPARE(history.run(oldId).id, 0);
        // The filter ignores case and accents, and looks into the choices too.
        QCOMPARE(history.recent(QStringLiteral("RELATORIO 7")).size(), 1);
        QCOMPARE(history.recent(QStringLiteral("medio")).size(), 5);
        QCOMPARE(history.recent(QStringLiteral("nenhum")).size(), 0);
    }

    void unwritableHistoryPostsANoticeAndRecordsNothing()
    {
        QFile blocker(fresh("not-a-folder"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QSignalSpy notices(&ShellNotices::instance(), &ShellNotices::notice);
        RunHistory history(blocker.fileName() + QStringLiteral("/historico.sqlite"));
        const qint64 id = history.begin(sample(QStringLiteral("X")));
        QCOMPARE(id, 0);
        history.finish(id, RunRecord::Outcome::Done);
        QCOMPARE(notices.size(), 1);
        QVERIFY2(notices[0][0].toString().contains(QStringLiteral("não pôde ser aberto")), qPrintable(notices[0][0].toString()));
    }
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.value(1) == QLatin1String("--child"))
        return child(args);
    TestRunHistory test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_run_history.moc"
