// The shell's database when things go wrong for real: a SQLite file locked by
// a writer in another process, a Firebird server that accepts the connection
// and never answers, one killed in mid-session and started again (the next
// action after its return works, through the same data module), and the
// shell program refusing a database location that does not exist.
#include "data/engines/firebird/FirebirdSharing.h"
#include "data/HostDatabase.h"
#include "data/SqlStatement.h"
#include "data/TADOIBQuery.h"
#include "data/TADOIBStringField.h"
#include "support/DemoDatabase.h"
#include "support/FirebirdServer.h"
#include "support/SilentServer.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QtTest>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Run as a child: takes the write lock of a SQLite file and holds it until
// its standard input closes.
int holdLock(const char *path)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("writer"));
    db.setDatabaseName(QString::fromLocal8Bit(path));
    QSqlQuery q(db);
    if (!db.open() || !q.exec(QStringLiteral("BEGIN EXCLUSIVE"))
        || !q.exec(QStringLiteral("UPDATE FILIAL SET NMFILIAL = NMFILIAL"))) {
        std::printf("FAILED %s\n", qPrintable(q.lastError().text()));
        return 1;
    }
    std::printf("LOCKED\n");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    q.exec(QStringLiteral("ROLLBACK"));
    return 0;
}

int countBranches()
{
    SqlStatement s(HostDatabase::instance().database());
    s.exec(QStringLiteral("SELECT COUNT(*) FROM FILIAL"));
    return s.next() ? s.value(0).toInt() : -1;
}

// A demo database in rollback-journal mode, as older offices keep theirs:
// there a writer locks readers out (the databases the shell makes use WAL).
QString journalDatabase(const QTemporaryDir &dir, const QString &name)
{
    const QString path = dir.filePath(name);
    DemoSizes small;
    small.costRows = 0;
    TdtmDBGeral::createSqliteFile(path, small);
    QProcess::execute(QStringLiteral("sqlite3"), {path, QStringLiteral("PRAGMA journal_mode=DELETE;")});
    return path;
}

QString failure(const std::function<void()> &f)
{
    try {
        f();
    } catch (const EHostError &e) {
        return e.text();
    }
    return QStringLiteral("<no error>");
}

} // namespace

class TestDatabaseFaults : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void sqliteLockedByAnotherWriter()
    {
        const QString path = journalDatabase(m_dir, QStringLiteral("demo.sqlite"));
        const auto dm = DemoDatabase::openSqlite(m_dir, DemoDatabase::small());
        QCOMPARE(countBranches(), 15);

        QProcess writer;
        writer.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--hold-lock"), path});
        QVERIFY(writer.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(writer.canReadLine(), 10000);
        QCOMPARE(writer.readLine().trimmed(), QByteArray("LOCKED"));

        QElapsedTimer t;
        t.start();
        const QString err = failure([] { countBranches(); });
        qInfo("%s", qPrintable(err));
        // In Portuguese, naming the file and the program that holds it.
        QVERIFY2(err.contains(QLatin1String("ocupado")) && err.contains(path)
                     && err.contains(QStringLiteral("test_database_f (processo %1)").arg(writer.processId()))
                     && !err.contains(QLatin1String("locked")),
                 qPrintable(err));
        // The driver waits out its busy timeout (5 s) before it gives up.
        QVERIFY2(t.elapsed() >= 4000, qPrintable(QString::number(t.elapsed())));
        QVERIFY(!HostDatabase::instance().isLost()); // a lock is not a lost connection

        writer.closeWriteChannel();
        QVERIFY(writer.waitForFinished(10000));
        QCOMPARE(writer.exitCode(), 0);
        QCOMPARE(countBranches(), 15);
    }

    // The same at start-up: the shell's first look at the file waits, then says who holds it.
    void sqliteLockedAtStartUp()
    {
        QTemporaryDir dir;
        const QString path = journalDatabase(dir, QStringLiteral("ocupado.sqlite"));
        QProcess writer;
        writer.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--hold-lock"), path});
        QVERIFY(writer.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(writer.canReadLine(), 10000);
        QCOMPARE(writer.readLine().trimmed(), QByteArray("LOCKED"));
        ShellConfig c;
        c.database = QStringLiteral("sqlite:") + path;
        TdtmDBGeral dm;
        const QString err = failure([&] { dm.open(c); });
        qInfo("%s", qPrintable(err));
        QVERIFY2(err.contains(QLatin1String("ocupado")) && err.contains(path)
                     && err.contains(QStringLiteral("processo %1").arg(writer.processId()))
                     && !err.contains(QLatin1String("database is locked")),
                 qPrintable(err));
        QVERIFY(!dm.isOpen());
        writer.closeWriteChannel();
        QVERIFY(writer.waitForFinished(10000));
        dm.open(c);
        QCOMPARE(countBranches(), 15);
    }

    // A query the screen leaves open on its last row holds no lock: another
    // program writes at once, even to a database in rollback-journal mode.
    void aQueryOnItsLastRowLetsOthersWrite()
    {
        QTemporaryDir dir;
        const QString path = journalDatabase(dir, QStringLiteral("diario.sqlite"));
        TdtmDBGeral dm;
        ShellConfig c;
        c.database = QStringLiteral("sqlite:") + path;
        dm.open(c);
        TADOIBQuery one, all;
        one.setSQL({QStringLiteral("SELECT NMFILIAL FROM FILIAL WHERE CDFILIAL = '0101'")});
        one.Open();
        all.setSQL({QStringLiteral("SELECT CDFILIAL FROM FILIAL ORDER BY CDFILIAL")});
        all.Open();
        for (int i = 1; i < 15; ++i)
            all.Next();
        QVERIFY(!all.GetEOF());
        QVERIFY(one.Active() && all.Active());
        QProcess write;
        write.start(QStringLiteral("sqlite3"), {QStringLiteral("-cmd"), QStringLiteral(".timeout 500"), path,
                                                QStringLiteral("UPDATE FILIAL SET NMFILIAL = NMFILIAL || '' WHERE CDFILIAL = '0101';")});
        QVERIFY(write.waitForFinished(10000));
        QVERIFY2(write.exitCode() == 0, write.readAllStandardError().constData());
        QCOMPARE(all.FieldByName(QStringLiteral("CDFILIAL"))->AsString(), QStringLiteral("AB12"));
        QCOMPARE(one.FieldByName(QStringLiteral("NMFILIAL"))->AsString(), QStringLiteral("Escola Municipal São João"));
    }

    // A WAL database this user may read but not write beside: SQLite cannot
    // make its -shm file, and the shell says so in Portuguese.
    void walDatabaseInAFolderTheUserCannotWrite()
    {
        if (::geteuid() != 0 || QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty())
            QSKIP("needs root and setpriv to act as a user who cannot write the folder");
        QTemporaryDir dir, home;
        QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0755) == 0);
        QVERIFY(::chmod(QFile::encodeName(home.path()).constData(), 01777) == 0);
        const QString path = dir.filePath(QStringLiteral("wal.sqlite"));
        TdtmDBGeral::createSqliteFile(path, DemoDatabase::small());
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                                | QFileDevice::ReadOther));
        QProcess shell;
        QStringList env{QStringLiteral("HOME=") + home.path(), QStringLiteral("TMPDIR=") + home.path(),
                        QStringLiteral("XDG_CONFIG_HOME=") + home.path(), QStringLiteral("XDG_DATA_HOME=") + home.path(),
                        QStringLiteral("QT_QPA_PLATFORM=offscreen")};
        shell.start(QStringLiteral("setpriv"), QStringList{QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"),
                                                           QStringLiteral("--clear-groups"), QStringLiteral("env"), QStringLiteral("-i")}
                                                   + env
                                                   + QStringList{QStringLiteral(SHELL_PROGRAM), QStringLiteral("--db"),
                                                                 QStringLiteral("sqlite:") + path, QStringLiteral("--script"),
                                                                 QStringLiteral("/dev/null")});
        QVERIFY(shell.waitForFinished(60000));
        const QString err = QString::fromUtf8(shell.readAllStandardError());
        qInfo("%s", qPrintable(err));
        QCOMPARE(shell.exitCode(), 1);
        QVERIFY2(err.contains(QLatin1String("WAL")) && err.contains(dir.path()) && err.contains(QStringLiteral("permissão"))
                     && !err.contains(QLatin1String("unable to open")),
                 qPrintable(err));
    }

    void silentFirebirdServerIsGivenUp()
    {
        if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QIBASE")))
            QSKIP("Qt's Firebird driver (QIBASE) is not installed");
        SilentServer silent;
        QVERIFY(silent.port() > 0);
        ShellConfig c;
        c.database = QStringLiteral("firebird://127.0.0.1:%1/var/db/custos.fdb").arg(silent.port());
        TdtmDBGeral dm;
        QElapsedTimer t;
        t.start();
        const QString err = failure([&] { dm.open(c); });
        const qint64 ms = t.elapsed();
        qInfo("%s", qPrintable(err));
        QVERIFY2(ms < 15000, qPrintable(QString::number(ms)));
        QVERIFY2(err.contains(QStringLiteral("127.0.0.1:%1 não respondeu em %2 s")
                                  .arg(silent.port())
                                  .arg(FirebirdSharing::kConnectTimeoutSeconds)),
                 qPrintable(err));
        QVERIFY(!dm.isOpen());
        QVERIFY(!HostDatabase::instance().isInstalled());
    }

    void firebirdServerKilledMidSession()
    {
        if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QIBASE")))
            QSKIP("Qt's Firebird driver (QIBASE) is not installed");
        FirebirdServer fb{FirebirdServer::Sharing::Private}; // killed mid-session
        QString why;
        if (!fb.start(&why))
            QSKIP(qPrintable(QStringLiteral("no Firebird server to start: ") + why));
        const QString location = QStringLiteral("firebird://127.0.0.1:%1%2")
                                     .arg(fb.port())
                                     .arg(QDir(fb.folder()).filePath(QStringLiteral("sessao.fdb")));
        ShellConfig c;
        c.database = location;
        c.createDatabase = true;
        c.user = QLatin1String(FirebirdServer::User);
        c.password = QLatin1String(FirebirdServer::Password);
        TdtmDBGeral dm;
        dm.open(c);
        QCOMPARE(countBranches(), 15);
        TADOIBQuery open;
        open.setSQL({QStringLiteral("SELECT CDFILIAL FROM FILIAL ORDER BY CDFILIAL")});
        open.Open();
        QVERIFY(open.Active());
        const QString first = open.FieldByName(QStringLiteral("CDFILIAL"))->AsString();

        fb.kill();
        QElapsedTimer t;
        t.start();
        QString err = failure([] { countBranches(); });
        qInfo("%s", qPrintable(err));
        QVERIFY2(err.contains(QLatin1String("caiu")), qPrintable(err));
        QVERIFY(HostDatabase::instance().isLost());
        // While the server is down each action says so, at once.
        err = failure([] { countBranches(); });
        qInfo("%s", qPrintable(err));
        QVERIFY2(err.contains(QStringLiteral("ainda não pôde ser refeita")) && err.contains(QString::number(fb.port())),
                 qPrintable(err));
        QVERIFY2(t.elapsed() < 10000, qPrintable(QString::number(t.elapsed())));
        QVERIFY(!open.Active()); // the query on the dead connection let go of it

        QVERIFY2(fb.start(&why), qPrintable(why));
        QCOMPARE(countBranches(), 15);
        QVERIFY(!HostDatabase::instance().isLost());
        open.Open();
        QVERIFY(open.Active());
        QCOMPARE(open.FieldByName(QStringLiteral("CDFILIAL"))->AsString(), first);
        open.Close();
    }

    void shellRefusesAMissingLocation()
    {
        const QString missing = m_dir.filePath(QStringLiteral("errado/demo.sqlite"));
        QProcess shell;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        shell.setProcessEnvironment(env);
        shell.start(QStringLiteral(SHELL_PROGRAM), {QStringLiteral("--db"), QStringLiteral("sqlite:") + missing,
                                                    QStringLiteral("--script"), QStringLiteral("/dev/null")});
        QVERIFY(shell.waitForFinished(60000));
        QVERIFY(shell.exitCode() != 0);
        const QString err = QString::fromUtf8(shell.readAllStandardError());
        QVERIFY2(err.contains(missing) && err.contains(QLatin1String("--create-database")), qPrintable(err));
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("errado"))));
    }
};

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--hold-lock") == 0) {
        QCoreApplication app(argc, argv);
        return holdLock(argv[2]);
    }
    QApplication app(argc, argv);
    TestDatabaseFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_database_faults.moc"
