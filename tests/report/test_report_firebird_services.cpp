// Branches with many services on Firebird, embedded and on a server started
// on 127.0.0.1: the screen hands the XEV017 reports every service code
// joined by '_' (6 characters a service), 8,999 characters for 1,500
// services and 119,999 for 20,000. Both definitions must give the rows the
// same data gives on SQLite, and their header look-ups the same services
// and groups ("Todos" for the whole list), for the whole list and for a
// part of it.
#include "FirebirdReportCase.h"
#include "data/engines/DatabaseEngine.h"
#include "report/model/DefinitionWriter.h"
#include "report/query/ReportRunner.h"
#include "support/FirebirdServer.h"

#include <QtTest>

Q_DECLARE_METATYPE(DemoSizes)

namespace {

// Every service of the branch when step is 1, every step-th otherwise.
QString serviceList(int services, int step)
{
    QStringList codes;
    for (int i = 0; i < services; i += step)
        codes << QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0'));
    return codes.join(QLatin1Char('_'));
}

} // namespace

class TestReportFirebirdServices : public QObject {
    Q_OBJECT

    FirebirdServer m_server;
    bool m_serverUp = false;

    // The look-ups of the standard definition on a connection.
    static QHash<QString, QVariant> lookups(FirebirdReportCase &c, const QSqlDatabase &db)
    {
        const ReportDefinition def = DefinitionParser::parseFile(ReportLibrary::list(QStringLiteral("XEV017"))[0].path);
        TParams params = ReportRunner::declaredParams(def);
        bool go = true;
        c.filler.fill(&params, &go);
        return ReportRunner::lookups(def, ReportRunner::boundParams(def, params), db);
    }

    static void sameLookups(FirebirdReportCase &c, bool whole)
    {
        const QHash<QString, QVariant> firebird = lookups(c, HostDatabase::instance().database());
        const QHash<QString, QVariant> sqlite = lookups(c, QSqlDatabase::database(QStringLiteral("sqlite-ref")));
        for (const char *key : {"SERVICOS.DSSERVICO*", "GRUPOS.DSGRUPO*"}) {
            const QStringList fb = firebird.value(QLatin1String(key)).toStringList();
            QVERIFY2(!fb.isEmpty(), key);
            QCOMPARE(fb, sqlite.value(QLatin1String(key)).toStringList());
        }
        // Services given in turn to the groups: every seventh one still
        // reaches every group.
        QCOMPARE(firebird.value(QStringLiteral("SERVICOS.DSSERVICO")).toString() == QLatin1String("Todos"), whole);
        QCOMPARE(firebird.value(QStringLiteral("GRUPOS.DSGRUPO")).toString(), QStringLiteral("Todos"));
    }

    // A user's definition that still searches the list with INSTR (inputs of
    // 8,191 characters): a message naming the parameter and the limit, not
    // the engine's text.
    static void aQueryThatCannotTakeTheListSaysSo(FirebirdReportCase &c, const QTemporaryDir &dir, const QString &list)
    {
        const QString def = dir.filePath(QStringLiteral("instr/instr.rel"));
        DefinitionWriter::save(DefinitionParser::parseText(QStringLiteral("title \"Instr\"\nparam P_CDSERVFILI string\nquery q\n"
                                                                  "SQL <<E\nSELECT COUNT(*) AS N FROM SERVICO WHERE "
                                                                  "INSTR(:P_CDSERVFILI, CDSERVFILI) <> 0\nE\n"
                                                                  "column N \"N\" width 20\n"),
                                                   QStringLiteral("instr.rel")),
                           def);
        c.filler.set(QStringLiteral("P_CDSERVFILI"), ParamFiller::Value::String, list);
        c.rpdd.setDefaultDatabaseName(QString());
        c.ui->clear();
        QVERIFY(!c.rpdd.WriteCsv(def, dir.filePath(QStringLiteral("instr.csv")), {}));
        const QString text = c.ui->messageTexts().join(QLatin1Char('|'));
        QVERIFY2(text.contains(QStringLiteral("P_CDSERVFILI tem %1 caracteres").arg(list.size()))
                     && text.contains(QStringLiteral("no máximo 8191")) && !text.contains(QLatin1String("truncation")),
                 qPrintable(text));
    }

private slots:
    void initTestCase()
    {
        if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QIBASE")))
            QSKIP("Qt's Firebird driver (QIBASE) is not installed");
        QString why;
        m_serverUp = m_server.start(&why);
        if (!m_serverUp)
            qWarning("no Firebird server: only the embedded cases run (%s)", qPrintable(why));
    }

    void manyServices_data()
    {
        QTest::addColumn<bool>("onServer");
        QTest::addColumn<int>("services");
        QTest::addRow("embedded, 1500 services") << false << 1500;
        QTest::addRow("embedded, 20000 services") << false << 20000;
        QTest::addRow("server, 1500 services") << true << 1500;
        QTest::addRow("server, 20000 services") << true << 20000;
    }

    void manyServices()
    {
        QFETCH(bool, onServer);
        QFETCH(int, services);
        if (onServer && !m_serverUp)
            QSKIP("no Firebird server to start");
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        DemoSizes sizes = FirebirdReportCase::sizes();
        sizes.services = services;
        const QString file = QStringLiteral("services-%1.fdb").arg(services);
        const QString location = onServer ? QStringLiteral("firebird://127.0.0.1:%1%2")
                                                .arg(m_server.port())
                                                .arg(QDir(m_server.folder()).filePath(file))
                                          : QStringLiteral("firebird:") + dir.filePath(file);
        FirebirdReportCase c;
        c.open(dir, location, sizes);
        // The reference's own connection, with the routines the runner's has.
        const QSqlDatabase ref = QSqlDatabase::database(QStringLiteral("sqlite-ref"));
        DatabaseEngine::of(ref).registerRoutines(ref);
        const QString whole = serviceList(services, 1);
        QCOMPARE(whole.size(), services * 6 - 1);
        c.filler.set(QStringLiteral("P_CDSERVFILI"), ParamFiller::Value::String, whole);
        c.sameRowsAsOnSqlite(0, 4);
        c.sameRowsAsOnSqlite(1, 2);
        sameLookups(c, true);
        // A part of the list: every seventh service.
        c.filler.set(QStringLiteral("P_CDSERVFILI"), ParamFiller::Value::String, serviceList(services, 7));
        c.sameRowsAsOnSqlite(0, 8);
        sameLookups(c, false);
        QVERIFY2(c.ui->messages.isEmpty(), qPrintable(c.ui->messageTexts().join(QLatin1Char('|'))));
        if (services == 1500)
            aQueryThatCannotTakeTheListSaysSo(c, dir, whole);
        c.close();
    }

};

#include "support/TestPrograms.h"
REGISTER_TEST(TestReportFirebirdServices)
#include "test_report_firebird_services.moc"
