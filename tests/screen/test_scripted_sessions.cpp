// Runs every scripts/NAME.script through the shell (--script) on a fresh
// demo database and compares what it prints with scripts/NAME.expected.
// A script names its working branch in a first line "# branch: CODE", the
// files it must leave in --out in a line "# files: NAME ...", and those it
// must not leave in a line "# absent: NAME ..."; a CSV among them whose
// golden copy scripts/SCRIPT.NAME is committed must equal it byte for byte.
// Set UPDATE_EXPECTED=1 to write the .expected files from a run instead.
// A session that prints reports runs on PostgreSQL too and must print the
// same lines and write the same report rows (CSV) as on SQLite, names in
// Portuguese dictionary order.
#include "appdata/dtmDBGeral.h"
#include "data/engines/DatabaseEngine.h"
#include "support/PostgresCluster.h"

#include <QCollator>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

class TestScriptedSessions : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_database;

    struct Session {
        QString out;      // what it printed
        QString errors;
        QStringList csv;  // the report rows it wrote, file by file
    };

    // Runs script on database (a location) in a fresh folder.
    static Session run(const QString &script, const QString &database, const QString &branch,
                       const QStringList &csvFiles, const QProcessEnvironment &extra = {})
    {
        QTemporaryDir out;
        QProcess shell;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), out.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), out.filePath(QStringLiteral("config")));
        env.insert(extra);
        shell.setProcessEnvironment(env);
        shell.start(QStringLiteral(SHELL_PROGRAM), {QStringLiteral("--script"), script, QStringLiteral("--db"), database,
                                                    QStringLiteral("--branch"), branch, QStringLiteral("--out"), out.path()});
        Session s;
        if (!shell.waitForFinished(120000))
            return s;
        s.out = QString::fromUtf8(shell.readAllStandardOutput());
        s.errors = QString::fromUtf8(shell.readAllStandardError());
        for (const QString &name : csvFiles) {
            QFile f(QDir(out.path()).filePath(name));
            s.csv << (f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QStringLiteral("<missing>"));
        }
        return s;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // One demo database for all scripts: sessions only read it.
        m_database = m_dir.filePath(QStringLiteral("demo.sqlite"));
        // Made here: the shell makes no database at a location it is given.
        TdtmDBGeral::createSqliteFile(m_database);
    }

    void sessions_data()
    {
        QTest::addColumn<QString>("script");
        const QDir dir(QStringLiteral(SCRIPT_DIR));
        const QStringList scripts = dir.entryList({QStringLiteral("*.script")}, QDir::Files, QDir::Name);
        QVERIFY(!scripts.isEmpty());
        for (const QString &s : scripts)
            QTest::newRow(qPrintable(s)) << dir.filePath(s);
    }

    void sessions()
    {
        QFETCH(QString, script);
        QFile f(script);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QString branch = QStringLiteral("0101");
        QStringList files, absent;
        while (!f.atEnd()) {
            const QString line = QString::fromUtf8(f.readLine()).trimmed();
            if (line.startsWith(QLatin1String("# branch:")))
                branch = line.mid(9).trimmed();
            else if (line.startsWith(QLatin1String("# files:")))
                files = line.mid(8).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            else if (line.startsWith(QLatin1String("# absent:")))
                absent = line.mid(9).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        }
        f.close();

        QTemporaryDir out;
        QProcess shell;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        // Each session gets its own settings and user report folder.
        env.insert(QStringLiteral("XDG_DATA_HOME"), out.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), out.filePath(QStringLiteral("config")));
        shell.setProcessEnvironment(env);
        shell.start(QStringLiteral(SHELL_PROGRAM),
                    {QStringLiteral("--script"), script, QStringLiteral("--db"), QStringLiteral("sqlite:") + m_database,
                     QStringLiteral("--branch"), branch, QStringLiteral("--out"), out.path()});
        QVERIFY(shell.waitForStarted());
        QVERIFY2(shell.waitForFinished(120000), "the session did not end");
        const QString got = QString::fromUtf8(shell.readAllStandardOutput());
        const QString errors = QString::fromUtf8(shell.readAllStandardError());

        QString expectedPath = script;
        expectedPath.replace(QLatin1String(".script"), QLatin1String(".expected"));
        if (qEnvironmentVariableIsSet("UPDATE_EXPECTED")) {
            QFile e(expectedPath);
            QVERIFY(e.open(QIODevice::WriteOnly | QIODevice::Truncate));
            e.write(got.toUtf8());
            for (const QString &name : files)
                sameAsGolden(script, name, QDir(out.path()).filePath(name));
            QSKIP("expected output written");
        }
        QFile e(expectedPath);
        QVERIFY2(e.open(QIODevice::ReadOnly), qPrintable(expectedPath));
        const QStringList want = QString::fromUtf8(e.readAll()).split(QLatin1Char('\n'));
        const QStringList have = got.split(QLatin1Char('\n'));
        for (int i = 0; i < qMax(want.size(), have.size()); ++i) {
            if (want.value(i) != have.value(i))
                QFAIL(qPrintable(QStringLiteral("line %1\n  want: %2\n  have: %3\nstderr:\n%4")
                                     .arg(i + 1).arg(want.value(i), have.value(i), errors)));
        }
        QCOMPARE(shell.exitStatus(), QProcess::NormalExit);
        for (const QString &name : files) {
            const QFileInfo written(QDir(out.path()).filePath(name));
            QVERIFY2(written.exists() && written.size() > 0, qPrintable(name + QStringLiteral(" was not written")));
            sameAsGolden(script, name, written.filePath());
        }
        for (const QString &name : absent)
            QVERIFY2(!QFileInfo::exists(QDir(out.path()).filePath(name)), qPrintable(name + QStringLiteral(" was written")));
    }

    void sameReportsOnPostgres();

private:
    // A CSV the session wrote, against scripts/NAME.FILE beside the script
    // when there is one (UPDATE_EXPECTED=1 writes it).
    static void sameAsGolden(const QString &script, const QString &name, const QString &written)
    {
        QString golden = script;
        golden.replace(QLatin1String(".script"), QLatin1Char('.') + name);
        if (!name.endsWith(QLatin1String(".csv")) || (!QFile::exists(golden) && !qEnvironmentVariableIsSet("UPDATE_EXPECTED")))
            return;
        QFile w(written), g(golden);
        QVERIFY(w.open(QIODevice::ReadOnly));
        const QByteArray have = w.readAll();
        if (qEnvironmentVariableIsSet("UPDATE_EXPECTED")) {
            QVERIFY(g.open(QIODevice::WriteOnly | QIODevice::Truncate));
            g.write(have);
            return;
        }
        QVERIFY(g.open(QIODevice::ReadOnly));
        const QByteArray want = g.readAll();
        QVERIFY2(have == want, qPrintable(QStringLiteral("%1 differs from %2:\n%3").arg(name, golden, QString::fromUtf8(have.left(2000)))));
    }
};

void TestScriptedSessions::sameReportsOnPostgres()
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL")))
        QSKIP("Qt's PostgreSQL driver (QPSQL) is not installed");
    PostgresCluster cluster;
    QString why;
    if (!cluster.start(&why))
        QSKIP(qPrintable(why));
    ConnectionDescription d;
    d.location = DatabaseLocation::parse(cluster.location(QStringLiteral("demo")));
    d.password = QLatin1String(PostgresCluster::Password);
    d.name = QStringLiteral("make-postgres");
    d.create = true;
    TdtmDBGeral::openConnection(d);
    DatabaseEngine::close(d.name);

    const QString script = QDir(QStringLiteral(SCRIPT_DIR)).filePath(QStringLiteral("report_rows.script"));
    const QStringList csv{QStringLiteral("report-1.csv"), QStringLiteral("report-2.csv")};
    const Session sqlite = run(script, QStringLiteral("sqlite:") + m_database, QStringLiteral("0101"), csv);
    QProcessEnvironment password;
    password.insert(QStringLiteral("PGPASSWORD"), QLatin1String(PostgresCluster::Password));
    const Session postgres = run(script, d.location.toString(), QStringLiteral("0101"), csv, password);
    QVERIFY2(!postgres.out.isEmpty(), qPrintable(postgres.errors));
    QCOMPARE(postgres.out, sqlite.out);
    QVERIFY(sqlite.csv.value(0).count(QLatin1Char('\n')) > 5);
    // In code order, the same text; by name, the same rows in Portuguese
    // dictionary order ("Óleo" among the O's, not after the Z's).
    QCOMPARE(postgres.csv.value(0), sqlite.csv.value(0));
    QStringList byName = postgres.csv.value(1).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QStringList reference = sqlite.csv.value(1).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    QVERIFY(byName.size() > 5);
    const QStringList names = [&] {
        QStringList out;
        for (const QString &line : byName.mid(1))
            out << line.section(QLatin1Char(','), 2, 2);
        return out;
    }();
    QCollator portuguese(QLocale(QLocale::Portuguese, QLocale::Brazil));
    QVERIFY2(std::is_sorted(names.begin(), names.end(),
                            [&](const QString &a, const QString &b) { return portuguese.compare(a, b) < 0; }),
             qPrintable(names.join(QLatin1Char('|'))));
    byName.sort();
    reference.sort();
    QCOMPARE(byName, reference);
}

#include "support/TestPrograms.h"
REGISTER_GUILESS_TEST(TestScriptedSessions)
#include "test_scripted_sessions.moc"
