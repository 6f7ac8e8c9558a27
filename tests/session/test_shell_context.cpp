// Shell-context functions on the demo database: FiliProc, NomeFiliProc,
// DataProc, ModuFili (fresh and cached), AtualizaLocalCache, WebURL/WebPort.
#include "core/Errors.h"
#include "data/HostDatabase.h"
#include "data/SqlStatement.h"
#include "session/LocalCache.h"
#include "session/ShellContext.h"
#include "session/ShellFunctions.h"
#include "support/DemoDatabase.h"

#include <QtTest>

class TestShellContext : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<TdtmDBGeral> m_dm;

    void exec(const QString &sql)
    {
        SqlStatement s(HostDatabase::instance().database());
        s.exec(sql);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_dm = DemoDatabase::openSqlite(m_dir, DemoDatabase::small());
    }

    void cleanupTestCase() { m_dm.reset(); }

    void workingBranch()
    {
        QCOMPARE(FiliProc(), QStringLiteral("0101"));
        QCOMPARE(NomeFiliProc(), QStringLiteral("Escola Municipal São João"));
        ShellContext::instance().branch = QStringLiteral("0302");
        QCOMPARE(NomeFiliProc(), QStringLiteral("EMEF Açaí do Pará"));
        ShellContext::instance().branch = QStringLiteral("ZZZZ");
        QCOMPARE(NomeFiliProc(), QString());
        ShellContext::instance().branch = QStringLiteral("0101");
    }

    void processingDate()
    {
        QCOMPARE(DataProc(QStringLiteral("0102")), QDate(2026, 3, 13));
        QCOMPARE(DataProc(QStringLiteral("0300")), QDate(2026, 2, 27));
        // An empty code is the working branch.
        QCOMPARE(DataProc(QString()), QDate(2026, 3, 16));
        QCOMPARE(DataProc(QStringLiteral("    ")), QDate(2026, 3, 16));
        // A branch without a processing date gets the system date.
        QCOMPARE(DataProc(QStringLiteral("ZZZZ")), QDate::currentDate());
        // Read afresh each time.
        exec(QStringLiteral("UPDATE PROCFILIAL SET DTPROCESSO = '2026-04-01' WHERE CDFILIAL = '0102'"));
        QCOMPARE(DataProc(QStringLiteral("0102")), QDate(2026, 4, 1));
        exec(QStringLiteral("UPDATE PROCFILIAL SET DTPROCESSO = '2026-03-13' WHERE CDFILIAL = '0102'"));
    }

    void moduleStatus_data()
    {
        QTest::addColumn<bool>("fresh");
        QTest::newRow("from the database") << true;
        QTest::newRow("from the cache") << false;
    }
    void moduleStatus()
    {
        QFETCH(bool, fresh);
        QCOMPARE(ModuFili(QStringLiteral("0100"), fresh), QStringLiteral("F"));
        QCOMPARE(ModuFili(QStringLiteral("0200"), fresh), QStringLiteral("M"));
        const QString refused = ModuFili(QStringLiteral("0300"), fresh);
        QCOMPARE(refused.left(5), QStringLiteral("E0002"));
        QCOMPARE(refused.mid(5), QStringLiteral("Módulo de merenda bloqueado para a Central de Merenda Leste: "
                                                "contrato de fornecimento suspenso."));
        const QString none = ModuFili(QStringLiteral("0101"), fresh);
        QCOMPARE(none.left(5), QStringLiteral("E0001"));
        QVERIFY(none.mid(5).contains(QLatin1String("0101")));
        QVERIFY(none.mid(5).contains(QLatin1String("XEV01700")));
        QCOMPARE(ModuFili(QString(), fresh).left(5), QStringLiteral("E0001"));
        // The same answer every time.
        QCOMPARE(ModuFili(QStringLiteral("0300"), fresh), refused);
    }

    void refusalWithoutTextAndOtherModules()
    {
        exec(QStringLiteral("INSERT INTO MODUFILIAL VALUES ('0200', 'XYZ00100', 'R', NULL)"));
        ShellContext::instance().module = QStringLiteral("XYZ00100");
        const QString r = ModuFili(QStringLiteral("0200"), true);
        QCOMPARE(r.left(5), QStringLiteral("E0002"));
        QVERIFY(r.size() > 5);
        QCOMPARE(ModuFili(QStringLiteral("0100"), true).left(5), QStringLiteral("E0001"));
        ShellContext::instance().module = QStringLiteral("XEV01700");
        // Lower-case "f" is no release.
        exec(QStringLiteral("UPDATE MODUFILIAL SET IDSITUACAO = 'f' WHERE CDFILIAL = '0900'"));
        QCOMPARE(ModuFili(QStringLiteral("0900"), true).left(5), QStringLiteral("E0002"));
        exec(QStringLiteral("UPDATE MODUFILIAL SET IDSITUACAO = 'F' WHERE CDFILIAL = '0900'"));
    }

    void localCacheRefresh()
    {
        LocalCache &cache = LocalCache::instance();
        QCOMPARE(NomeFiliProc(), QStringLiteral("Escola Municipal São João"));
        const int loads = cache.loads(QStringLiteral("FILIAL"));
        QVERIFY(loads >= 1);
        exec(QStringLiteral("UPDATE FILIAL SET NMFILIAL = 'Escola São João Batista' WHERE CDFILIAL = '0101'"));
        // The shell's look-ups keep the cached row until told.
        QCOMPARE(NomeFiliProc(), QStringLiteral("Escola Municipal São João"));
        QCOMPARE(cache.loads(QStringLiteral("FILIAL")), loads);
        AtualizaLocalCache(QVariantList({QStringLiteral("FILIAL")}));
        QCOMPARE(cache.loads(QStringLiteral("FILIAL")), loads + 1);
        QCOMPARE(NomeFiliProc(), QStringLiteral("Escola São João Batista"));
        exec(QStringLiteral("UPDATE FILIAL SET NMFILIAL = 'Escola Municipal São João' WHERE CDFILIAL = '0101'"));
        AtualizaLocalCache(QStringList({QStringLiteral("filial")}));
        QCOMPARE(NomeFiliProc(), QStringLiteral("Escola Municipal São João"));

        // Cached module status follows the refresh too.
        QCOMPARE(ModuFili(QStringLiteral("0200"), false), QStringLiteral("M"));
        exec(QStringLiteral("UPDATE MODUFILIAL SET IDSITUACAO = 'F' WHERE CDFILIAL = '0200' AND CDMODULO = 'XEV01700'"));
        QCOMPARE(ModuFili(QStringLiteral("0200"), false), QStringLiteral("M"));
        QCOMPARE(ModuFili(QStringLiteral("0200"), true), QStringLiteral("F"));
        AtualizaLocalCache(QStringList({QStringLiteral("MODUFILIAL")}));
        QCOMPARE(ModuFili(QStringLiteral("0200"), false), QStringLiteral("F"));
        exec(QStringLiteral("UPDATE MODUFILIAL SET IDSITUACAO = 'M' WHERE CDFILIAL = '0200' AND CDMODULO = 'XEV01700'"));
        AtualizaLocalCache(QStringList({QStringLiteral("MODUFILIAL")}));
    }

    void localCacheRefusesBadNames()
    {
        LocalCache &cache = LocalCache::instance();
        cache.rows(QStringLiteral("FILIAL"));
        const int loads = cache.loads(QStringLiteral("FILIAL"));
        try {
            AtualizaLocalCache(QStringList({QStringLiteral("FILIAL"), QStringLiteral("FILIAL; DELETE FROM FILIAL")}));
            QFAIL("not a table name");
        } catch (const EHostError &e) {
            QVERIFY(e.text().contains(QLatin1String("DELETE")));
        }
        // Nothing refreshed when one name fails.
        QCOMPARE(cache.loads(QStringLiteral("FILIAL")), loads);
        try {
            AtualizaLocalCache(QStringList({QStringLiteral("NAOEXISTE")}));
            QFAIL("no such table");
        } catch (const EHostError &e) {
            QVERIFY2(e.text().contains(QLatin1String("NAOEXISTE")), qPrintable(e.text()));
        }
        QVERIFY_THROWS_EXCEPTION(EHostError, AtualizaLocalCache(QVariantList({QString()})));
        QCOMPARE(NomeFiliProc(), QStringLiteral("Escola Municipal São João"));
    }

    void cacheIsDroppedWithTheDatabase()
    {
        QVERIFY(LocalCache::instance().isLoaded(QStringLiteral("FILIAL")));
        m_dm->close();
        QVERIFY(!LocalCache::instance().isLoaded(QStringLiteral("FILIAL")));
        QVERIFY_THROWS_EXCEPTION(EHostError, NomeFiliProc());
        m_dm = DemoDatabase::openSqlite(m_dir, DemoDatabase::small());
        QCOMPARE(NomeFiliProc(), QStringLiteral("Escola Municipal São João"));
    }

    void costsServer()
    {
        ShellContext::instance().webHost = QStringLiteral("127.0.0.1");
        ShellContext::instance().webPort = 52123;
        QCOMPARE(WebURL(), QStringLiteral("127.0.0.1"));
        QCOMPARE(WebPort(), 52123);
        // A later change shows at the next call.
        ShellContext::instance().webPort = 52124;
        QCOMPARE(WebPort(), 52124);
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestShellContext)
#include "test_shell_context.moc"
