// The shell's window as a user meets it, through scripted sessions of the
// real program: the status bar names the database, the working branch and
// the costs server; F1 shows the screen's help; the last parameters come
// back in a later session of the same user; the keys of the report commands
// reach the active screen. A person's session ends cleanly on TERM and the
// window comes back where the user left it.
#include "appdata/dtmDBGeral.h"
#include "support/ProcessRun.h"
#include "widgets/WindowPlacement.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <csignal>

class TestShellWindow : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_db;

    // Runs a session for the user whose configuration lives in home.
    ProcessRun::Result session(const QString &script, const QString &home = QStringLiteral("user"))
    {
        QProcessEnvironment env = ProcessRun::noDisplay(m_dir.filePath(home + QStringLiteral("/config")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(home + QStringLiteral("/data")));
        return ProcessRun::run(QStringLiteral(SHELL_PROGRAM),
                               {QStringLiteral("--script"), QStringLiteral("-"), QStringLiteral("--db"),
                                QStringLiteral("sqlite:") + m_db, QStringLiteral("--out"),
                                m_dir.filePath(home + QStringLiteral("/out"))},
                               env, 120000, script);
    }

    // The values printed by `get`, by control name.
    static QHash<QString, QString> values(const ProcessRun::Result &r)
    {
        QHash<QString, QString> out;
        for (const QString &line : r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QJsonObject o = QJsonDocument::fromJson(line.toUtf8()).object();
            if (o.value("event").toString() == QLatin1String("value"))
                out.insert(o.value("control").toString(), o.value("value").toVariant().toString());
        }
        return out;
    }

    // Whether process pid has its own handler for signal number yet.
    static bool catches(qint64 pid, int number)
    {
        QFile status(QStringLiteral("/proc/%1/status").arg(pid));
        if (!status.open(QIODevice::ReadOnly))
            return false;
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("SigCgt:"))
                return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (number - 1)) & 1;
        return false;
    }

    // Starts the shell as a person does (no script, no picture), sends it
    // TERM once it is ready for it, and returns what it did.
    ProcessRun::Result personsSessionEndedByTerm(const QString &home)
    {
        QProcess p;
        QProcessEnvironment env = ProcessRun::noDisplay(m_dir.filePath(home + QStringLiteral("/config")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(home + QStringLiteral("/data")));
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(SHELL_PROGRAM), {QStringLiteral("--db"), QStringLiteral("sqlite:") + m_db,
                                                QStringLiteral("--open"), QStringLiteral("XEV01700")});
        ProcessRun::Result r;
        if (!p.waitForStarted())
            return r;
        if (!QTest::qWaitFor([&] { return catches(p.processId(), SIGTERM); }, 30000))
            return r;
        ::kill(pid_t(p.processId()), SIGTERM);
        r.finished = p.waitForFinished(30000);
        if (!r.finished)
            p.kill(), p.waitForFinished();
        r.status = p.exitStatus();
        r.code = p.exitCode();
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

    QString preferences(const QString &home)
    {
        return m_dir.filePath(home + QStringLiteral("/config/merenda/shell/preferencias.ini"));
    }

    // Where the main window's place on this screen is kept.
    static QString mainWindowKey()
    {
        QWidget main;
        main.setObjectName(QStringLiteral("frmPrincipal"));
        return WindowPlacement::keyOf(&main, QGuiApplication::primaryScreen());
    }

    static int count(const ProcessRun::Result &r, const QString &event)
    {
        return int(r.out.count(QStringLiteral("\"event\":\"%1\"").arg(event)));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_db = m_dir.filePath(QStringLiteral("demo.sqlite"));
        TdtmDBGeral::createSqliteFile(m_db);
    }

    void theStatusBarNamesDatabaseBranchAndCostsServer()
    {
        const auto r = session(QStringLiteral("open XEV01700\nget lblStatusBanco\nget lblStatusFilial\nget lblStatusCustos\n"));
        QVERIFY2(r.finished && r.code == 0, qPrintable(ProcessRun::describe(r)));
        const auto v = values(r);
        QCOMPARE(v.value("lblStatusBanco"), QStringLiteral("Banco: sqlite:") + m_db);
        QVERIFY2(v.value("lblStatusFilial").startsWith(QStringLiteral("Filial: 0101 - ")), qPrintable(r.out));
        QVERIFY2(v.value("lblStatusCustos").contains(QStringLiteral("127.0.0.1:")), qPrintable(r.out));
    }

    void f1ShowsTheScreensHelp()
    {
        const auto r = session(QStringLiteral("open XEV01700\nfocus medCdFilial\nkey F1\nget HelpWindow\n"));
        QVERIFY2(r.finished && r.code == 0, qPrintable(ProcessRun::describe(r)));
        QCOMPARE(values(r).value("HelpWindow"), QStringLiteral("Ajuda — Custo Realizado Global do Período"));
    }

    void theLastParametersComeBackInALaterSession()
    {
        const QString first = QStringLiteral("open XEV01700\nfocus medCdProdInic\ntype 0101\nkey Tab\ntype 02\nkey Tab\n"
                                             "click rbtListaGrup\nanswer 003\nclick sbtGrupServ\nclick chbNaoEstoc\n"
                                             "key Ctrl+P\n");
        const auto printed = session(first, QStringLiteral("ana"));
        QVERIFY2(printed.finished && printed.code == 0, qPrintable(ProcessRun::describe(printed)));
        QCOMPARE(count(printed, QStringLiteral("params")), 1);

        const QString later = QStringLiteral("open XEV01700\nget medCdProdInic\nkey Ctrl+R\nget medCdProdInic\n"
                                             "get edtNmProdInic\nget ListaGrup\nget chbNaoEstoc\nget sbtGrupServQtde\n");
        const auto recalled = session(later, QStringLiteral("ana"));
        QVERIFY2(recalled.finished && recalled.code == 0, qPrintable(ProcessRun::describe(recalled)));
        // Empty at start-up, as specified; filled on request only.
        QVERIFY2(recalled.out.contains(QStringLiteral("\"control\":\"medCdProdInic\",\"event\":\"value\",\"value\":\"\"")),
                 qPrintable(recalled.out));
        const auto v = values(recalled);
        QCOMPARE(v.value("medCdProdInic"), QStringLiteral("0101"));
        QVERIFY(!v.value("edtNmProdInic").isEmpty());
        QCOMPARE(v.value("ListaGrup"), QStringLiteral("003"));
        QCOMPARE(v.value("chbNaoEstoc"), QStringLiteral("false"));
        QVERIFY(!v.value("sbtGrupServQtde").isEmpty());

        // Another user keeps nothing of Ana's.
        const auto other = session(later, QStringLiteral("bruno"));
        QCOMPARE(values(other).value("ListaGrup"), QString());
    }

    void reportCommandKeysReachTheActiveScreen()
    {
        const QString keys = QStringLiteral("open XEV01700\nfocus medCdProdInic\ntype 01\nkey Tab\ntype 02\nkey Tab\n"
                                            "key Ctrl+P\nkey F5\nkey Ctrl+E\nkey Ctrl+Shift+E\n");
        const auto r = session(keys);
        QVERIFY2(r.finished && r.code == 0, qPrintable(ProcessRun::describe(r)));
        // Each command checked the screen and handed its parameters on once.
        QCOMPARE(count(r, QStringLiteral("params")), 4);
        const QDir out(m_dir.filePath(QStringLiteral("user/out")));
        QCOMPARE(out.entryList({QStringLiteral("print-*.pdf")}).size(), 1);
        QCOMPARE(out.entryList({QStringLiteral("preview-*.pdf")}).size(), 1);
        QCOMPARE(out.entryList({QStringLiteral("export-*.csv")}).size(), 1);
        QCOMPARE(out.entryList({QStringLiteral("export-*.xlsx")}).size(), 1);
    }

    void termEndsTheSessionCleanlyAndTheWindowComesBackWhereItWas()
    {
        // First start: the default size, within the small screen's free area.
        const auto first = personsSessionEndedByTerm(QStringLiteral("carla"));
        QVERIFY2(first.finished && first.status == QProcess::NormalExit && first.code == 0,
                 qPrintable(ProcessRun::describe(first)));
        QVERIFY2(first.err.contains(QStringLiteral("encerrando (sinal TERM)")), qPrintable(first.err));
        QWidget probe;
        QVERIFY(probe.restoreGeometry(QSettings(preferences(QStringLiteral("carla")), QSettings::IniFormat)
                                          .value(mainWindowKey()).toByteArray()));
        const QSize screen = QGuiApplication::primaryScreen()->availableGeometry().size();
        QVERIFY2(probe.height() < screen.height() && probe.width() < screen.width(),
                 qPrintable(QStringLiteral("%1x%2").arg(probe.width()).arg(probe.height())));

        // The user moved and shrank it: the next session starts there and
        // keeps it.
        QWidget moved;
        moved.setGeometry(40, 50, 600, 400);
        QSettings(preferences(QStringLiteral("carla")), QSettings::IniFormat).setValue(mainWindowKey(), moved.saveGeometry());
        const auto second = personsSessionEndedByTerm(QStringLiteral("carla"));
        QVERIFY2(second.finished && second.code == 0, qPrintable(ProcessRun::describe(second)));
        QWidget back;
        QVERIFY(back.restoreGeometry(QSettings(preferences(QStringLiteral("carla")), QSettings::IniFormat)
                                         .value(mainWindowKey()).toByteArray()));
        QCOMPARE(back.geometry().size(), QSize(600, 400));
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestShellWindow)
#include "test_shell_window.moc"
