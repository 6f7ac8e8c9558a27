// The shell's data module and configuration: the demo SQLite file made on
// first run (and never left half made), the shell context filled on open,
// databases that cannot be opened giving a clear error and no crash, and the
// configuration read from INI file and options.
#include "appdata/ShellConfig.h"
#include "data/HostDatabase.h"
#include "data/SqlStatement.h"
#include "data/TADOIBQuery.h"
#include "data/TADOIBStringField.h"
#include "session/ShellContext.h"
#include "support/DemoDatabase.h"

#include <QCommandLineParser>
#include <QFile>
#include <QSettings>
#include <QSqlQuery>
#include <QTcpServer>
#include <QtTest>
#include <unistd.h>

class TestDatabaseOpen : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    static QString openError(const ShellConfig &config)
    {
        TdtmDBGeral dm;
        try {
            dm.open(config);
        } catch (const EHostError &e) {
            if (dm.isOpen() || HostDatabase::instance().isInstalled())
                return QStringLiteral("<left open>");
            return e.text();
        }
        return QStringLiteral("<opened>");
    }

    static ShellConfig config(const QString &database)
    {
        ShellConfig c;
        c.database = database;
        return c;
    }

    static int count(const QString &sql)
    {
        SqlStatement s(HostDatabase::instance().database());
        s.exec(sql);
        return s.next() ? s.value(0).toInt() : -1;
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void firstRunCreatesTheDemo()
    {
        const QString path = m_dir.filePath(QStringLiteral("sub/dir/first.sqlite"));
        QVERIFY(!QFileInfo::exists(path));
        {
            TdtmDBGeral dm;
            QCOMPARE(dtmDBGeral(), &dm);
            ShellConfig c = config(QStringLiteral("sqlite:") + path);
            c.createDatabase = true; // asked for in so many words: folders and demo data made
            c.branch = QStringLiteral("0102");
            c.costsHost = QStringLiteral("127.0.0.1");
            c.costsPort = 4567;
            dm.open(c);
            QVERIFY(dm.isOpen());
            QVERIFY(QFileInfo::exists(path));
            QVERIFY(!QFileInfo::exists(path + QStringLiteral(".part")));
            QCOMPARE(HostDatabase::instance().connectionName(), QLatin1String(TdtmDBGeral::ConnectionName));
            QCOMPARE(ShellContext::instance().branch, QStringLiteral("0102"));
            QCOMPARE(ShellContext::instance().webHost, QStringLiteral("127.0.0.1"));
            QCOMPARE(ShellContext::instance().webPort, 4567);
            QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM FILIAL")), 15);
            QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM GRUPSERV")), 10);
            QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM SERVICO")), 52);
            QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM TIPOCUSTO")), 4);
            // A year of costs for the ten aggregated branches with services.
            QCOMPARE(count(QStringLiteral("SELECT COUNT(DISTINCT CDFILIAL) FROM CUSTREAL")), 10);
            QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM CUSTREAL WHERE DTMOVIMENTO < '2026-01-01' "
                                          "OR DTMOVIMENTO > '2026-12-31'")), 0);
            QVERIFY(count(QStringLiteral("SELECT COUNT(*) FROM CUSTREAL")) > 20000);
            QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM PRODUTO WHERE IDESTOCAVEL = 'N' AND CDNVPRODUTO = '3'")) > 0, true);
            QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM PRODUTO WHERE IDESTOCAVEL = 'S'")) > 0, true);
            // The components the definitions name.
            QVERIFY(dm.findChild<QObject *>(QStringLiteral("adcGeral")));
            QVERIFY(dm.findChild<QObject *>(QStringLiteral("ibtGeral")));
        }
        QCOMPARE(dtmDBGeral(), nullptr);
        QVERIFY(!HostDatabase::instance().isInstalled());
        // The second run opens the same file and changes nothing.
        const QDateTime stamp = QFileInfo(path).lastModified();
        TdtmDBGeral dm;
        dm.open(config(QStringLiteral("sqlite:") + path));
        QCOMPARE(QFileInfo(path).lastModified(), stamp);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM FILIAL")), 15);
    }

    void emptyFileIsFilledWhenAskedFor()
    {
        const QString path = m_dir.filePath(QStringLiteral("empty.sqlite"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        TdtmDBGeral dm;
        ShellConfig c = config(QStringLiteral("sqlite:") + path);
        c.createDatabase = true;
        dm.open(c);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM FILIAL")), 15);
    }

    // A location given by the user that is not there: an error naming the
    // path and what to do; no folder, file or demo data made there.
    void explicitLocationsMustExist()
    {
        const QString inMissingFolder = m_dir.filePath(QStringLiteral("typo/dados.sqlite"));
        QString err = openError(config(QStringLiteral("sqlite:") + inMissingFolder));
        QVERIFY2(err.contains(inMissingFolder) && err.contains(QStringLiteral("não existe"))
                     && err.contains(QLatin1String("--create-database")) && err.contains(QLatin1String("nem a pasta")),
                 qPrintable(err));
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("typo"))));

        const QString missing = m_dir.filePath(QStringLiteral("ausente.sqlite"));
        err = openError(config(QStringLiteral("sqlite:") + missing));
        QVERIFY2(err.contains(missing) && !err.contains(QLatin1String("nem a pasta")), qPrintable(err));
        QVERIFY(!QFileInfo::exists(missing));
        QVERIFY(!QFileInfo::exists(missing + QStringLiteral(".part")));

        // The data module's own connection too (the costs server's path).
        QVERIFY_THROWS_EXCEPTION(EHostError, TdtmDBGeral::openConnection({DatabaseLocation::parse("sqlite:" + missing),
                                                                          {}, {}, QStringLiteral("probe")}));
        QVERIFY(!QFileInfo::exists(missing));
        QVERIFY(!QSqlDatabase::contains(QStringLiteral("probe")));
    }

    void emptyFileIsAnError()
    {
        const QString path = m_dir.filePath(QStringLiteral("vazio.sqlite"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        const QString err = openError(config(QStringLiteral("sqlite:") + path));
        QVERIFY2(err.contains(path) && err.contains(QLatin1String("vazio")), qPrintable(err));
        QCOMPARE(QFileInfo(path).size(), 0); // never silently replaced
    }

    // The one place the demo database is made unasked: the default location,
    // its folder included.
    void defaultLocationIsMadeOnFirstRun()
    {
        const QByteArray saved = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("xdg"))));
        const ShellConfig c;
        const QString path = DatabaseLocation::parse(c.database).path;
        QVERIFY2(path.startsWith(m_dir.filePath(QStringLiteral("xdg"))), qPrintable(path));
        QVERIFY(!QFileInfo::exists(path));
        {
            TdtmDBGeral dm;
            dm.open(c);
            QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM FILIAL")), 15);
        }
        QVERIFY(QFileInfo(path).size() > 0);
        if (saved.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", saved);
    }

    void stalePartFileIsReplaced()
    {
        const QString path = m_dir.filePath(QStringLiteral("stale.sqlite"));
        QFile part(path + QStringLiteral(".part"));
        QVERIFY(part.open(QIODevice::WriteOnly));
        part.write("left by a run that was killed");
        part.close();
        TdtmDBGeral dm;
        ShellConfig c = config(QStringLiteral("sqlite:") + path);
        c.createDatabase = true;
        dm.open(c);
        QCOMPARE(count(QStringLiteral("SELECT COUNT(*) FROM FILIAL")), 15);
        QVERIFY(!QFileInfo::exists(path + QStringLiteral(".part")));
    }

    void unusableDatabasesGiveClearErrors()
    {
        // Not a database at all.
        const QString garbage = m_dir.filePath(QStringLiteral("garbage.sqlite"));
        QFile g(garbage);
        QVERIFY(g.open(QIODevice::WriteOnly));
        g.write(QByteArray(4096, 'x'));
        g.close();
        QString err = openError(config(QStringLiteral("sqlite:") + garbage));
        QVERIFY2(err.contains(QLatin1String("garbage.sqlite")) && err.contains(QLatin1String("file is not a database")),
                 qPrintable(err));

        // A folder.
        err = openError(config(QStringLiteral("sqlite:") + m_dir.path()));
        QVERIFY2(err.contains(QStringLiteral("pasta")), qPrintable(err));

        // A SQLite database of something else.
        const QString other = m_dir.filePath(QStringLiteral("other.sqlite"));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
            db.setDatabaseName(other);
            QVERIFY(db.open());
            QSqlQuery(db).exec(QStringLiteral("CREATE TABLE X (A INTEGER)"));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("other"));
        err = openError(config(QStringLiteral("sqlite:") + other));
        QVERIFY2(err.contains(QLatin1String("FILIAL")), qPrintable(err));

        // A file this user cannot read (root reads everything).
        if (::geteuid() != 0) {
            const QString locked = m_dir.filePath(QStringLiteral("locked.sqlite"));
            QVERIFY(QFile::copy(other, locked));
            QFile::setPermissions(locked, QFileDevice::Permissions());
            err = openError(config(QStringLiteral("sqlite:") + locked));
            QVERIFY2(err.contains(QLatin1String("locked.sqlite")), qPrintable(err));
        }

        // A folder where the file cannot be made.
        QFile blocker(m_dir.filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        ShellConfig blocked = config(QStringLiteral("sqlite:") + m_dir.filePath(QStringLiteral("blocker/x.sqlite")));
        blocked.createDatabase = true;
        err = openError(blocked);
        QVERIFY2(err.contains(QLatin1String("blocker")), qPrintable(err));

        // Firebird: a missing file, embedded.
        err = openError(config(QStringLiteral("firebird:") + m_dir.filePath(QStringLiteral("missing.fdb"))));
        QVERIFY2(err.contains(QLatin1String("missing.fdb")), qPrintable(err));
        QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("missing.fdb"))));

        // Firebird: no server on that port.
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const int port = probe.serverPort();
        probe.close();
        err = openError(config(QStringLiteral("firebird://127.0.0.1:%1/tmp/x.fdb").arg(port)));
        QVERIFY2(err.contains(QLatin1String("127.0.0.1")), qPrintable(err));

        // Not a database location.
        err = openError(config(QStringLiteral("mysql://x")));
        QVERIFY2(err.contains(QLatin1String("mysql://x")), qPrintable(err));
    }

    void databaseLocations()
    {
        DatabaseLocation s = DatabaseLocation::parse(QStringLiteral("sqlite:/a/b.sqlite"));
        QCOMPARE(s.scheme, QStringLiteral("sqlite"));
        QCOMPARE(s.path, QStringLiteral("/a/b.sqlite"));
        s = DatabaseLocation::parse(QStringLiteral("firebird:/var/db/x.fdb"));
        QCOMPARE(s.scheme, QStringLiteral("firebird"));
        QVERIFY(!s.isServer());
        QCOMPARE(s.path, QStringLiteral("/var/db/x.fdb"));
        s = DatabaseLocation::parse(QStringLiteral("firebird://127.0.0.1:3051/var/db/x.fdb"));
        QCOMPARE(s.scheme, QStringLiteral("firebird"));
        QVERIFY(s.isServer());
        QCOMPARE(s.host, QStringLiteral("127.0.0.1"));
        QCOMPARE(s.port, 3051);
        QCOMPARE(s.path, QStringLiteral("/var/db/x.fdb"));
        QCOMPARE(DatabaseLocation::parse(s.toString()).path, s.path);
        s = DatabaseLocation::parse(QStringLiteral("firebird://dbhost/employee"));
        QCOMPARE(s.port, 3050);
        QCOMPARE(s.path, QStringLiteral("employee"));
        QCOMPARE(DatabaseLocation::parse(QStringLiteral("firebird://h//x.fdb")).path, QStringLiteral("/x.fdb"));
        for (const char *bad : {"", "sqlite:", "firebird:", "firebird://", "firebird://h", "firebird:///x.fdb",
                                "firebird://h:0/x", "firebird://h:99999/x", "firebird://h:abc/x", "oracle:x"})
            QVERIFY_THROWS_EXCEPTION(EHostError, DatabaseLocation::parse(QLatin1String(bad)));
    }

    void configFromIniAndOptions()
    {
        const QString ini = m_dir.filePath(QStringLiteral("shell.ini"));
        {
            QSettings s(ini, QSettings::IniFormat);
            s.setValue(QStringLiteral("database/location"), QStringLiteral("firebird:/x.fdb"));
            s.setValue(QStringLiteral("database/user"), QStringLiteral("ALUNO"));
            s.setValue(QStringLiteral("database/password"), QStringLiteral("segredo"));
            s.setValue(QStringLiteral("database/create"), true);
            s.setValue(QStringLiteral("shell/branch"), QStringLiteral("0201"));
            s.setValue(QStringLiteral("costs/host"), QStringLiteral("10.0.0.5"));
            s.setValue(QStringLiteral("costs/port"), 7000);
        }
        // It holds a password: its owner's alone.
        QFile::setPermissions(ini, QFile::ReadOwner | QFile::WriteOwner);
        ShellConfig c = ShellConfig::fromArguments({QStringLiteral("shell"), QStringLiteral("--config"), ini});
        QCOMPARE(c.database, QStringLiteral("firebird:/x.fdb"));
        QCOMPARE(c.user, QStringLiteral("ALUNO"));
        QCOMPARE(c.password, QStringLiteral("segredo"));
        QVERIFY(c.createDatabase);
        QCOMPARE(c.branch, QStringLiteral("0201"));
        QCOMPARE(c.costsHost, QStringLiteral("10.0.0.5"));
        QCOMPARE(c.costsPort, 7000);

        // Options win over the file, wherever they stand.
        c = ShellConfig::fromArguments({QStringLiteral("shell"), QStringLiteral("--branch"), QStringLiteral("0102"),
                                        QStringLiteral("--config"), ini, QStringLiteral("--costs-port"),
                                        QStringLiteral("7100"), QStringLiteral("--database"),
                                        QStringLiteral("sqlite:/y.sqlite")});
        QCOMPARE(c.branch, QStringLiteral("0102"));
        QCOMPARE(c.costsPort, 7100);
        QCOMPARE(c.database, QStringLiteral("sqlite:/y.sqlite"));
        QCOMPARE(c.user, QStringLiteral("ALUNO"));

        // Defaults without file or options.
        c = ShellConfig::fromArguments({QStringLiteral("shell")});
        QVERIFY(c.database.startsWith(QLatin1String("sqlite:")));
        QVERIFY(c.database.endsWith(QLatin1String("xev-demo.sqlite")));
        QCOMPARE(c.branch, QStringLiteral("0101"));
        QCOMPARE(c.costsPort, 0);
        QVERIFY(!c.createDatabase);

        // A file named with --config must exist; bad values are reported.
        QVERIFY_THROWS_EXCEPTION(EHostError, ShellConfig::fromArguments({QStringLiteral("shell"), QStringLiteral("--config"),
                                                                         m_dir.filePath(QStringLiteral("none.ini"))}));
        QVERIFY_THROWS_EXCEPTION(EHostError, ShellConfig::fromArguments({QStringLiteral("shell"), QStringLiteral("--costs-port"), QStringLiteral("x")}));
        QVERIFY_THROWS_EXCEPTION(EHostError, ShellConfig::fromArguments({QStringLiteral("shell"), QStringLiteral("--nada")}));
    }

    void costsTokenFromTheConfiguration()
    {
        const QString ini = m_dir.filePath(QStringLiteral("token.ini"));
        {
            QSettings s(ini, QSettings::IniFormat);
            s.setValue(QStringLiteral("costs/token"), QStringLiteral("chave-123"));
        }
        QFile::setPermissions(ini, QFile::ReadOwner | QFile::WriteOwner); // it holds a token
        ShellConfig c = ShellConfig::fromArguments({QStringLiteral("shell"), QStringLiteral("--config"), ini});
        QCOMPARE(c.costsToken, QStringLiteral("chave-123"));
        QVERIFY(ShellConfig().costsToken.isEmpty());
        // The data module hands it to the host with the server's address.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.sqlite"));
        TdtmDBGeral::createSqliteFile(path, DemoDatabase::small());
        c.database = QStringLiteral("sqlite:") + path;
        TdtmDBGeral dm;
        dm.open(c);
        QCOMPARE(ShellContext::instance().costsToken, QStringLiteral("chave-123"));
        dm.close();
        dm.open(config(QStringLiteral("sqlite:") + path));
        QVERIFY(ShellContext::instance().costsToken.isEmpty());
    }

    void demoWorkingBranchIsAnAggregatedBranch()
    {
        // The default branch of the configuration: linked to a central that may
        // use the module, with a processing date in 2026.
        QTemporaryDir dir;
        auto dm = DemoDatabase::openSqlite(dir, DemoDatabase::small());
        TADOIBQuery q;
        q.setSQL({QStringLiteral("SELECT F.IDFILCENTXEV, F.CDFILCENTXEV, M.IDSITUACAO, P.DTPROCESSO "
                                 "FROM FILIAL F, MODUFILIAL M, PROCFILIAL P "
                                 "WHERE F.CDFILIAL = :B AND M.CDFILIAL = F.CDFILCENTXEV AND P.CDFILIAL = F.CDFILIAL")});
        q.ParamByName(QStringLiteral("B")).SetAsString(ShellConfig().branch);
        q.Open();
        QVERIFY(!q.IsEmpty());
        QCOMPARE(q.FieldByName(QStringLiteral("IDFILCENTXEV"))->AsString(), QStringLiteral("N"));
        QCOMPARE(q.FieldByName(QStringLiteral("IDSITUACAO"))->AsString(), QStringLiteral("F"));
        QVERIFY(q.FieldByName(QStringLiteral("DTPROCESSO"))->AsString().startsWith(QLatin1String("2026-")));
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestDatabaseOpen)
#include "test_database_open.moc"
