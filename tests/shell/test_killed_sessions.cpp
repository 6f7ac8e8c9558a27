// Scripted sessions of the shell killed in the middle of their work leave
// nothing behind: no rows, spool or workbook in the temporary folder (TMPDIR)
// and no half-written or hidden file beside the outputs, whether the
// session dies by SIGKILL or by TERM, INT or HUP (which end a scripted
// session as they end any program); and a session killed while "Salvar
// como" writes leaves no empty or partial definition for the list to show.
#include "report/model/DefinitionParser.h"
#include "support/LongReportDatabase.h"

#include <QDirIterator>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>

namespace {
// Every file and folder under dir, by its path below it.
QStringList everythingUnder(const QString &dir)
{
    QStringList out;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << QDir(dir).relativeFilePath(it.next());
    return out;
}

// Reads the session's output until a line holds text; false when it ends first.
bool waitForOutput(QProcess &p, const QByteArray &text, int timeoutMs)
{
    QByteArray seen;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        p.waitForReadyRead(100);
        seen += p.readAllStandardOutput();
        if (seen.contains(text))
            return true;
        if (p.state() != QProcess::Running)
            return false;
    }
    return false;
}
} // namespace

class TestKilledSessions : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_database;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    // A shell session with its own temporary, output and user folders.
    void start(QProcess &shell, const QString &script)
    {
        for (const char *d : {"tmp", "out", "config", "data", "runtime", "reports"}) {
            QDir(path(QLatin1String(d))).removeRecursively();
            QDir().mkpath(path(QLatin1String(d)));
        }
        QFile::setPermissions(path(QStringLiteral("runtime")), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TMPDIR"), path(QStringLiteral("tmp")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), path(QStringLiteral("runtime")));
        env.insert(QStringLiteral("HOST_USER_REPORTS_DIR"), path(QStringLiteral("reports")));
        shell.setProcessEnvironment(env);
        shell.start(QStringLiteral(SHELL_PROGRAM), {QStringLiteral("--script"), QStringLiteral("-"), QStringLiteral("--db"),
                                                    QStringLiteral("sqlite:") + m_database, QStringLiteral("--out"),
                                                    path(QStringLiteral("out"))});
        shell.write(script.toUtf8());
        shell.closeWriteChannel();
    }

private slots:
    void initTestCase()
    {
        m_database = path(QStringLiteral("longo.sqlite"));
        LongReportDatabase::make(m_database, 30000);
    }

    void aSessionKilledMidReportLeavesNothing_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("signal");
        for (const char *command : {"print", "preview", "exportcsv", "exportxlsx"})
            for (const int sig : {SIGKILL, SIGTERM, SIGINT, SIGHUP})
                QTest::addRow("%s %s", command, strsignal(sig)) << QString::fromLatin1(command) << sig;
    }

    void aSessionKilledMidReportLeavesNothing()
    {
        QFETCH(QString, command);
        QFETCH(int, signal);
        QProcess shell;
        start(shell, LongReportDatabase::script({QStringLiteral("command ") + command}));
        QVERIFY2(waitForOutput(shell, "\"event\":\"params\"", 120000), "the report did not start");
        QTest::qWait(150 + QRandomGenerator::global()->bounded(200));
        QVERIFY2(shell.state() == QProcess::Running, "the session ended before it could be killed");
        ::kill(pid_t(shell.processId()), signal);
        QVERIFY(shell.waitForFinished(30000));
        QCOMPARE(shell.exitStatus(), QProcess::CrashExit);
        QCOMPARE(everythingUnder(path(QStringLiteral("tmp"))), QStringList());
        QCOMPARE(everythingUnder(path(QStringLiteral("out"))), QStringList());
    }

    void aSessionKilledWhileSavingLeavesNoEmptyDefinition()
    {
        QStringList saves;
        for (int i = 1; i <= 400; ++i)
            saves << QStringLiteral("text \"Cópia número %1\"\ncommand saveas").arg(i);
        const QString script = LongReportDatabase::script(saves); // the screen's checks pass first
        for (int round = 0; round < 8; ++round) {
            QProcess shell;
            start(shell, script);
            QVERIFY2(waitForOutput(shell, "\"control\"", 60000), "the session did not start");
            QTest::qWait(200 + QRandomGenerator::global()->bounded(1500));
            ::kill(pid_t(shell.processId()), SIGKILL);
            QVERIFY(shell.waitForFinished(30000));
            const QStringList left = everythingUnder(path(QStringLiteral("reports")));
            QVERIFY2(left.size() > 1, "nothing was saved before the kill");
            for (const QString &name : left) {
                const QFileInfo fi(path(QStringLiteral("reports/") + name));
                if (fi.isDir())
                    continue;
                QVERIFY2(!fi.fileName().startsWith(QLatin1Char('.')), qPrintable(name));
                QVERIFY2(fi.size() > 0, qPrintable(name + QStringLiteral(" is empty")));
                QVERIFY2(!DefinitionParser::readTitle(fi.absoluteFilePath()).isEmpty(), qPrintable(name));
            }
        }
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestKilledSessions)
#include "test_killed_sessions.moc"
