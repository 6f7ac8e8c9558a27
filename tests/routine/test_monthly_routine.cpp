// The monthly routine on an office's SQLite file: sets saved by one person
// reach the colleagues of the central (shared) or nobody (personal), open
// next month on next month's period, can be changed only by who made them;
// merenda-report writes a set's files, and refuses what the screen refuses
// with the screen's own words.
#include "RoutineOffice.h"
#include "appdata/dtmDBGeral.h"
#include "core/PeriodRule.h"
#include "core/RunSchedule.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QtTest>

namespace {
const QString kOpen = QStringLiteral("open XEV01700\n");
// Products 01 to 08 and two services of the branch, as a planner picks them.
const QString kChoices = QStringLiteral("focus medCdProdInic\ntype 01\nfocus medCdProdFina\ntype 08\nkey Tab\n"
                                        "click rbtListaServ\nanswer 00003 00004\nclick sbtServico\n");

QString valueOf(const QList<QPair<QString, QString>> &values, const QString &control, int nth = 0)
{
    for (const auto &v : values)
        if (v.first == control && nth-- == 0)
            return v.second;
    return QStringLiteral("<none>");
}
} // namespace

class TestMonthlyRoutine : public QObject {
    Q_OBJECT

    RoutineOffice m_office;
    QString m_database;

    void sql(const QString &statement)
    {
        // Another program changes the office's data, as a back office would.
        QProcess p;
        p.start(QStringLiteral("sqlite3"), {m_database, statement});
        QVERIFY(p.waitForFinished());
        QCOMPARE(p.exitCode(), 0);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_office.home(QStringLiteral("x")).size() > 0);
        m_database = QDir(m_office.folder()).filePath(QStringLiteral("escritório.sqlite"));
        TdtmDBGeral::createSqliteFile(m_database);
        QFile::setPermissions(m_database, QFileDevice::Permissions(0x6666));
        // A database of a release before shared sets: opening it adds the table.
        sql(QStringLiteral("DROP TABLE CONJPARAM"));
        QString why;
        QVERIFY2(m_office.start(QStringLiteral("sqlite:") + m_database, &why), qPrintable(why));
        // Ana saves the month's set for the central, and a draft for herself.
        const auto r = m_office.session(QStringLiteral("ana"), kOpen + kChoices +
            QStringLiteral("save params \"Mensal Norte\" shared \"mês anterior\"\n"
                           "save params Rascunho personal\n"));
        QVERIFY2(r.code == 0 && RoutineOffice::messages(r.out).isEmpty(), qPrintable(r.out + r.err));
    }

    void colleaguesSeeSharedSetsOnly()
    {
        const auto r = m_office.session(QStringLiteral("bruno"), kOpen +
            QStringLiteral("openparams \"mensal norte\"\nget ListaServPesq\nget medCdProdFina\nget depDataInic\n"
                           "get depDataFina\nopenparams Rascunho\n"));
        const auto values = RoutineOffice::values(r.out);
        QCOMPARE(valueOf(values, QStringLiteral("ListaServPesq")), QStringLiteral("00003;00004"));
        QCOMPARE(valueOf(values, QStringLiteral("medCdProdFina")), QStringLiteral("08"));
        // The branch's processing date is 16/03/2026: last month is February.
        QCOMPARE(valueOf(values, QStringLiteral("depDataInic")), QStringLiteral("01/02/2026"));
        QCOMPARE(valueOf(values, QStringLiteral("depDataFina")), QStringLiteral("28/02/2026"));
        QCOMPARE(RoutineOffice::messages(r.out),
                 QStringList{QStringLiteral("Não há conjunto de parâmetros chamado \"Rascunho\" para esta central. "
                                            "Confira o nome em \"Abrir parâmetros…\".")});
    }

    void aSetOpenedNextMonthGivesLastMonth()
    {
        sql(QStringLiteral("UPDATE PROCFILIAL SET DTPROCESSO = '2026-04-02' WHERE CDFILIAL = '0101'"));
        const auto r = m_office.session(QStringLiteral("bruno"), kOpen +
            QStringLiteral("openparams \"Mensal Norte\"\nget depDataInic\nget depDataFina\n"));
        sql(QStringLiteral("UPDATE PROCFILIAL SET DTPROCESSO = '2026-03-16' WHERE CDFILIAL = '0101'"));
        QCOMPARE(valueOf(RoutineOffice::values(r.out), QStringLiteral("depDataInic")), QStringLiteral("01/03/2026"));
        QCOMPARE(valueOf(RoutineOffice::values(r.out), QStringLiteral("depDataFina")), QStringLiteral("31/03/2026"));
    }

    void onlyTheMakerChangesASharedSet()
    {
        // Another login of the machine, with a home of its own.
        const auto r = m_office.session(QStringLiteral("carla"), kOpen +
            QStringLiteral("save params \"Mensal Norte\" shared \"mês corrente\"\nopenparams \"Mensal Norte\"\n"
                           "get depDataInic\n"), QStringLiteral("65534"));
        QVERIFY2(r.finished && r.code == 0, qPrintable(r.out + r.err));
        QCOMPARE(RoutineOffice::messages(r.out).value(0),
                 QStringLiteral("O conjunto de parâmetros compartilhado \"Mensal Norte\" foi criado por root: só quem o "
                                "criou pode alterá-lo, renomeá-lo ou apagá-lo. Salve as suas escolhas com outro nome."));
        // Still Ana's rule.
        QCOMPARE(valueOf(RoutineOffice::values(r.out), QStringLiteral("depDataInic")), QStringLiteral("01/02/2026"));
    }

    void renameAndDelete()
    {
        // Carla may not delete Ana's shared set, even when she confirms.
        const auto carla = m_office.session(QStringLiteral("carla"), kOpen +
            QStringLiteral("confirm yes\nopenparams \"apagar Mensal Norte\"\nopenparams \"Mensal Norte\"\n"),
            QStringLiteral("65534"));
        QVERIFY(RoutineOffice::messages(carla.out).value(0).contains(QStringLiteral("foi criado por root")));
        QCOMPARE(RoutineOffice::messages(carla.out).size(), 1);
        // Ana renames her draft, declines to delete it once, then deletes it.
        const auto ana = m_office.session(QStringLiteral("ana"), kOpen +
            QStringLiteral("openparams \"renomear rascunho para Rascunho de março\"\nopenparams \"apagar Rascunho de março\"\n"
                           "openparams \"Rascunho de março\"\nget medCdProdFina\nconfirm yes\n"
                           "openparams \"apagar Rascunho de março\"\nopenparams \"Rascunho de março\"\n"));
        QCOMPARE(valueOf(RoutineOffice::values(ana.out), QStringLiteral("medCdProdFina")), QStringLiteral("08"));
        QCOMPARE(RoutineOffice::messages(ana.out),
                 QStringList{QStringLiteral("Não há conjunto de parâmetros chamado \"Rascunho de março\" para esta "
                                            "central. Confira o nome em \"Abrir parâmetros…\".")});
    }

    void anUnattendedRunWritesTheSetsFiles()
    {
        const QString out = QDir(m_office.home(QStringLiteral("ana"))).filePath(QStringLiteral("março"));
        QVERIFY(QDir().mkpath(out));
        const auto r = m_office.report(QStringLiteral("ana"), {QStringLiteral("--set"), QStringLiteral("Mensal Norte"),
                                                               QStringLiteral("--format"), QStringLiteral("pdf,xlsx,csv"),
                                                               QStringLiteral("--out"), out});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        const QJsonObject line = RoutineOffice::summary(r);
        const QStringList names{QStringLiteral("custo-realizado-0101-2026-02.csv"),
                                QStringLiteral("custo-realizado-0101-2026-02.pdf"),
                                QStringLiteral("custo-realizado-0101-2026-02.xlsx")};
        QCOMPARE(QDir(out).entryList(QDir::Files, QDir::Name), names);
        QCOMPARE(line.value(QStringLiteral("files")).toArray().size(), 3);
        QCOMPARE(line.value(QStringLiteral("period")).toArray(), (QJsonArray{"2026-02-01", "2026-02-28"}));
        // The rows it reports are the export's detail lines.
        QFile csv(QDir(out).filePath(names[0]));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const qsizetype lines = QString::fromUtf8(csv.readAll()).count(QStringLiteral("\r\nLinha;"));
        QVERIFY(lines > 0);
        QCOMPARE(line.value(QStringLiteral("rows")).toInteger(), lines);
    }

    // Each refusal of the screen, met by a person opening the set and
    // printing, is merenda-report's refusal in the same words.
    void refusals_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("period");
        QTest::addColumn<QString>("words");
        QTest::newRow("no product") << QString() << "mês anterior" << "Produto inicial deve ser informado.";
        QTest::newRow("products reversed") << "focus medCdProdInic\ntype 08\nfocus medCdProdFina\ntype 01\nkey Tab\n"
                                           << "mês anterior"
                                           << "Produto inicial deve ser menor ou igual ao produto final.";
        QTest::newRow("no product kind") << kChoices + "click chbEstocaveis\nclick chbNaoEstoc\n" << "mês anterior"
                                         << "Tipo de produto deve ser informado.";
        QTest::newRow("empty group list") << kChoices + "click rbtListaGrup\n" << "mês anterior"
                                          << "Grupo de serviços deve ser informado.";
        QTest::newRow("dates reversed") << kChoices << "31/03/2026 a 01/03/2026" << "";
        QTest::newRow("deleted service") << kChoices << "mês anterior"
                                         << "O conjunto de parâmetros \"deleted service\" cita códigos que não existem "
                                            "mais e ficaram de fora: serviço 00004. Confira as escolhas da tela e "
                                            "salve o conjunto de novo.";
    }

    void refusals()
    {
        QFETCH(QString, steps);
        QFETCH(QString, period);
        QFETCH(QString, words);
        const QString name = QString::fromLatin1(QTest::currentDataTag());
        const auto saved = m_office.session(QStringLiteral("ana"), kOpen + steps +
            QStringLiteral("save params \"%1\" personal \"%2\"\n").arg(name, period));
        QVERIFY2(RoutineOffice::messages(saved.out).isEmpty(), qPrintable(saved.out));
        const bool deletes = name == QLatin1String("deleted service");
        if (deletes)
            sql(QStringLiteral("UPDATE SERVICO SET CDFILIAL = '0999' WHERE CDFILIAL = '0101' AND CDSERVFILI = '00004'"));
        const auto person = m_office.session(QStringLiteral("ana"), kOpen +
            QStringLiteral("openparams \"%1\"\ncommand print\n").arg(name));
        const QString out = QDir(m_office.home(QStringLiteral("ana"))).filePath(QStringLiteral("recusas"));
        QVERIFY(QDir().mkpath(out));
        const auto run = m_office.report(QStringLiteral("ana"), {QStringLiteral("--set"), name, QStringLiteral("--out"), out});
        if (deletes)
            sql(QStringLiteral("UPDATE SERVICO SET CDFILIAL = '0101' WHERE CDFILIAL = '0999'"));
        const QStringList shown = RoutineOffice::messages(person.out);
        QVERIFY2(shown.size() == 1, qPrintable(shown.join(QLatin1Char('\n'))));
        if (!words.isEmpty())
            QCOMPARE(shown.first(), words);
        QCOMPARE(run.code, 1);
        QVERIFY2(run.err.contains(shown.first() + QLatin1Char('\n')), qPrintable(run.err));
        QVERIFY(run.out.isEmpty());
        QCOMPARE(QDir(out).entryList(QDir::Files), QStringList());
    }

    // merenda-report --due under a clock moved by libfaketime (the machine's
    // own clock as the program reads it): the 1st's run happens once however
    // often the timer calls, and a 1st missed is caught up once on the 2nd.
    void dueSetsRunOncePerMoment()
    {
        const QString lib = QStringLiteral("/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1");
        if (!QFile::exists(lib))
            QSKIP("libfaketime (package faketime) is not installed");
        m_office.setEnvironment(QStringLiteral("LD_PRELOAD"), lib);
        m_office.setEnvironment(QStringLiteral("FAKETIME_DONT_FAKE_MONOTONIC"), QStringLiteral("1"));
        // Under AddressSanitizer the preloaded library comes before its runtime.
        const QString asan = qEnvironmentVariable("ASAN_OPTIONS");
        m_office.setEnvironment(QStringLiteral("ASAN_OPTIONS"),
                                asan + (asan.isEmpty() ? "" : ":") + QStringLiteral("verify_asan_link_order=0"));
        const auto at = [&](const char *moment) {
            m_office.setEnvironment(QStringLiteral("FAKETIME"), QStringLiteral("@") + QLatin1String(moment));
        };
        at("2026-03-20 10:00:00");
        const auto saved = m_office.session(QStringLiteral("dora"), kOpen + kChoices +
            QStringLiteral("save params Agendado personal \"mês anterior\" \"todo dia 1 às 06:00\"\n"
                           "save params Avulso personal\n"));
        QVERIFY2(RoutineOffice::messages(saved.out).isEmpty(), qPrintable(saved.out + saved.err));
        const QString out = QDir(m_office.home(QStringLiteral("dora"))).filePath(QStringLiteral("agendados"));
        QVERIFY(QDir().mkpath(out));
        const auto due = [&](const char *moment) {
            at(moment);
            const auto r = m_office.report(QStringLiteral("dora"), {QStringLiteral("--due"), QStringLiteral("--out"), out});
            return r.code == 0 ? r.out.count(QLatin1Char('\n')) : -1;
        };
        QCOMPARE(due("2026-03-31 23:00:00"), 0);
        QCOMPARE(due("2026-04-01 06:30:00"), 1);
        QCOMPARE(due("2026-04-01 09:00:00"), 0);
        QCOMPARE(QDir(out).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{QStringLiteral("Agendado")});
        QCOMPARE(QDir(out + QStringLiteral("/Agendado")).entryList(QDir::Files).size(), 2);
        // The machine was off on 1 May.
        QCOMPARE(due("2026-05-02 08:00:00"), 1);
        QCOMPARE(due("2026-05-02 08:05:00"), 0);
    }

    void cleanup()
    {
        for (const char *name : {"LD_PRELOAD", "FAKETIME", "FAKETIME_DONT_FAKE_MONOTONIC"})
            m_office.setEnvironment(QLatin1String(name), QString());
        m_office.setEnvironment(QStringLiteral("ASAN_OPTIONS"), qEnvironmentVariable("ASAN_OPTIONS"));
    }

    void schedules_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDateTime>("due");
        const auto t = [](int y, int m, int d, int h, int min) { return QDateTime(QDate(y, m, d), QTime(h, min)); };
        QTest::newRow("monthly, before the hour") << "todo dia 1 às 06:00" << t(2026, 4, 1, 5, 59) << t(2026, 3, 1, 6, 0);
        QTest::newRow("monthly, at it") << "Todo dia 1 às 6:00" << t(2026, 4, 1, 6, 0) << t(2026, 4, 1, 6, 0);
        QTest::newRow("day 31 in February") << "todo dia 31 às 06:00" << t(2026, 3, 15, 0, 0) << t(2026, 2, 28, 6, 0);
        QTest::newRow("weekly") << "toda segunda-feira às 07:00" << t(2026, 3, 18, 12, 0) << t(2026, 3, 16, 7, 0);
        QTest::newRow("weekly, same day earlier") << "toda quarta às 07:00" << t(2026, 3, 18, 6, 0) << t(2026, 3, 11, 7, 0);
        QTest::newRow("sunday") << "todo domingo às 22:30" << t(2026, 3, 16, 0, 0) << t(2026, 3, 15, 22, 30);
        QTest::newRow("daily") << "todo dia às 06:00" << t(2026, 1, 1, 1, 0) << t(2025, 12, 31, 6, 0);
        QTest::newRow("no such day") << "todo dia 32 às 06:00" << QDateTime() << QDateTime();
        QTest::newRow("no such hour") << "toda sexta às 25:00" << QDateTime() << QDateTime();
    }

    void schedules()
    {
        QFETCH(QString, text);
        QFETCH(QDateTime, now);
        QFETCH(QDateTime, due);
        const auto schedule = RunSchedule::fromText(text);
        QCOMPARE(schedule.has_value(), now.isValid());
        if (!schedule)
            return;
        QCOMPARE(schedule->lastDue(now), due);
        QCOMPARE(RunSchedule::fromText(schedule->text()), schedule);
    }

    void badOptions_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("words");
        QTest::newRow("format") << QStringList{"--set", "x", "--out", "/tmp", "--format", "pdf,doc"} << "\"doc\" não é um formato";
        QTest::newRow("no set") << QStringList{"--out", "/tmp"} << "--set NOME";
        QTest::newRow("no folder") << QStringList{"--set", "x", "--out", "/não/existe"} << "a pasta \"/não/existe\" não existe";
        QTest::newRow("address") << QStringList{"--set", "x", "--out", "/tmp", "--mail", "fulano"} << "\"fulano\" não é um endereço";
    }

    void badOptions()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, words);
        const auto r = m_office.report(QStringLiteral("ana"), args);
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains(words), qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
    }

    void mailIsNotClaimedUntilDelivered()
    {
        const QString out = QDir(m_office.home(QStringLiteral("ana"))).filePath(QStringLiteral("correio"));
        QVERIFY(QDir().mkpath(out));
        const auto r = m_office.report(QStringLiteral("ana"), {QStringLiteral("--set"), QStringLiteral("Mensal Norte"),
                                                               QStringLiteral("--out"), out, QStringLiteral("--mail"),
                                                               QStringLiteral("conselho@escola.example,nutri@escola.example")});
        QCOMPARE(r.code, 1);
        const QJsonObject mail = RoutineOffice::summary(r).value(QStringLiteral("mail")).toObject();
        QCOMPARE(mail.value(QStringLiteral("sent")).toBool(true), false);
        QCOMPARE(mail.value(QStringLiteral("to")).toArray().size(), 2);
        QCOMPARE(QDir(out).entryList(QDir::Files).size(), 2);
    }

    void periodRules_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("end");
        QTest::newRow("january") << "Mês Anterior" << QDate(2027, 1, 5) << QDate(2026, 12, 1) << QDate(2026, 12, 31);
        QTest::newRow("leap") << "mês anterior" << QDate(2028, 3, 31) << QDate(2028, 2, 1) << QDate(2028, 2, 29);
        QTest::newRow("current") << "mês corrente" << QDate(2026, 2, 10) << QDate(2026, 2, 1) << QDate(2026, 2, 28);
        QTest::newRow("year") << "ano corrente" << QDate(2026, 7, 1) << QDate(2026, 1, 1) << QDate(2026, 12, 31);
        QTest::newRow("days") << "últimos 30 dias" << QDate(2026, 3, 1) << QDate(2026, 1, 31) << QDate(2026, 3, 1);
        QTest::newRow("fixed") << "01/03/2026 a 15/03/2026" << QDate(2030, 1, 1) << QDate(2026, 3, 1) << QDate(2026, 3, 15);
        QTest::newRow("zero days") << "últimos 0 dias" << QDate() << QDate() << QDate();
        QTest::newRow("bad date") << "31/02/2026 a 01/03/2026" << QDate() << QDate() << QDate();
    }

    void periodRules()
    {
        QFETCH(QString, rule);
        QFETCH(QDate, today);
        QFETCH(QDate, start);
        QFETCH(QDate, end);
        const auto parsed = PeriodRule::fromText(rule);
        QCOMPARE(parsed.has_value(), today.isValid());
        if (!parsed)
            return;
        QCOMPARE(parsed->start(today), start);
        QCOMPARE(parsed->end(today), end);
        QCOMPARE(PeriodRule::fromText(parsed->text()), parsed);
    }
};

QTEST_GUILESS_MAIN(TestMonthlyRoutine)
#include "test_monthly_routine.moc"
