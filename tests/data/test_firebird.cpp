// What only Firebird 3 does (the checks every engine passes are in
// test_engine_queries): texts kept in the database's code page (WIN1252),
// long texts against the driver's limit, errors that show only when a row is
// fetched; against a server this test starts on 127.0.0.1: a wrong password,
// a second data module, the database made through the server, the server
// going away.
#include "data/HostDatabase.h"
#include "data/engines/firebird/FirebirdDialect.h"
#include "data/SqlStatement.h"
#include "data/TADOIBQuery.h"
#include "data/TADOIBStringField.h"
#include "support/DemoDatabase.h"
#include "support/EngineDatabases.h"
#include "support/FirebirdServer.h"
#include "support/QueryColumn.h"

#include <QtTest>

class TestFirebird : public QObject {
    Q_OBJECT

    EngineDatabases m_engines{sizes()};
    std::unique_ptr<TdtmDBGeral> m_dm;
    std::unique_ptr<TForm> m_form;

    static DemoSizes sizes()
    {
        DemoSizes s;
        s.costRows = 0;
        return s;
    }

    TADOIBQuery *query(const char *name) { return m_form->component<TADOIBQuery>(QLatin1String(name)); }

    static QStringList column(TADOIBQuery *q, const char *field) { return queryColumn(q, field); }

    static QVariant scalar(const QString &sql, const TParams &params = TParams())
    {
        SqlStatement s(HostDatabase::instance().database());
        s.exec(sql, params);
        return s.next() ? s.value(0) : QVariant(QStringLiteral("<no row>"));
    }

    static QString hostError(const std::function<void()> &f)
    {
        try {
            f();
        } catch (const EHostError &e) {
            return e.text();
        }
        return QStringLiteral("<no error>");
    }

private slots:
    void initTestCase()
    {
        QString why;
        if (!m_engines.use(QStringLiteral("firebird"), &why))
            QSKIP(qPrintable(why));
    }

    void cleanupTestCase()
    {
        m_form.reset();
        m_dm.reset();
    }

    void accentsAndLongTexts()
    {
        TParams p;
        p.add(QStringLiteral("P_CD")).SetAsString(QStringLiteral("ZZ9"));
        p.add(QStringLiteral("P_NM")).SetAsString(QStringLiteral("Pão de Açúcar — nº 1 ç€"));
        SqlStatement ins(HostDatabase::instance().database());
        ins.exec(QStringLiteral("INSERT INTO GRUPSERV (CDGRUPSERV, NMGRUPSERV) VALUES (:P_CD, :P_NM)"), p);
        QCOMPARE(scalar(QStringLiteral("SELECT NMGRUPSERV FROM GRUPSERV WHERE CDGRUPSERV = :P_CD"), p).toString(),
                 QStringLiteral("Pão de Açúcar — nº 1 ç€"));
        // Stored in the database's code page: one byte per character.
        QCOMPARE(scalar(QStringLiteral("SELECT OCTET_LENGTH(NMGRUPSERV) FROM GRUPSERV WHERE CDGRUPSERV = :P_CD"), p).toInt(), 23);
        SqlStatement del(HostDatabase::instance().database());
        del.exec(QStringLiteral("DELETE FROM GRUPSERV WHERE CDGRUPSERV = :P_CD"), p);
        // A text outside code page 1252 is the database's error, not mangled.
        p.ParamByName(QStringLiteral("P_NM")).SetAsString(QStringLiteral("日本"));
        QVERIFY(hostError([&] {
                    SqlStatement s(HostDatabase::instance().database());
                    s.exec(QStringLiteral("INSERT INTO GRUPSERV (CDGRUPSERV, NMGRUPSERV) VALUES (:P_CD, :P_NM)"), p);
                }) != QStringLiteral("<no error>"));
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM GRUPSERV WHERE CDGRUPSERV = :P_CD"), p).toInt(), 0);

        TParams big;
        big.add(QStringLiteral("T")).SetAsString(QString(FirebirdDialect::kMaxTypedText, QChar(0xe7)));
        QCOMPARE(scalar(QStringLiteral("SELECT CHAR_LENGTH(X.PARAM) FROM PARAM(:T) X"), big).toInt(), FirebirdDialect::kMaxTypedText);
        big.ParamByName(QStringLiteral("T")).SetAsString(QString(FirebirdDialect::kMaxTypedText + 1, QLatin1Char('a')));
        QVERIFY(hostError([&] { scalar(QStringLiteral("SELECT X.PARAM FROM PARAM(:T) X"), big); }).contains(QLatin1String("8191")));
    }

    void errorsCarryFirebirdsText()
    {
        TADOIBQuery q;
        q.setSQL({QStringLiteral("SELECT * FROM TABELA_QUE_NAO_EXISTE")});
        const QString err = hostError([&] { q.Open(); });
        QVERIFY2(err.contains(QLatin1String("Table unknown")) && err.contains(QLatin1String("TABELA_QUE_NAO_EXISTE")),
                 qPrintable(err));
        // A failure that shows only when the row is fetched.
        q.setSQL({QStringLiteral("SELECT CAST(NMFILIAL AS VARCHAR(5)) AS N FROM FILIAL ORDER BY CDFILIAL")});
        const QString fetchErr = hostError([&] {
            q.Open();
            for (; !q.GetEOF(); q.Next()) {
            }
        });
        QVERIFY2(fetchErr.contains(QLatin1String("truncation")), qPrintable(fetchErr));
        QVERIFY(!q.Active());
    }

    void againstAServer()
    {
        FirebirdServer server{FirebirdServer::Sharing::Private}; // stopped under an open connection
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));
        const DatabaseLocation location = DatabaseLocation::parse(
            QStringLiteral("firebird://127.0.0.1:%1%2").arg(server.port()).arg(QDir(server.folder()).filePath(QStringLiteral("srv.fdb"))));
        QCOMPARE(location.scheme, QStringLiteral("firebird"));
        QVERIFY(location.isServer());
        // The shell's data module on the embedded database.
        m_dm = std::make_unique<TdtmDBGeral>();
        ShellConfig embedded;
        embedded.database = m_engines.location(QStringLiteral("firebird"));
        m_dm->open(embedded);

        // A wrong password is refused with the server's words.
        const QString err = hostError([&] {
            TdtmDBGeral::openConnection({location, QStringLiteral("SYSDBA"), QStringLiteral("errada"),
                                         QStringLiteral("wrong"), true, {}});
        });
        QVERIFY2(err.contains(QLatin1String("password")), qPrintable(err));
        QVERIFY(!QSqlDatabase::contains(QStringLiteral("wrong")));
        // A second data module cannot take the open one's connection.
        {
            TdtmDBGeral other;
            ShellConfig c2;
            c2.database = location.toString();
            QVERIFY(hostError([&] { other.open(c2); }).contains(QStringLiteral("já está aberto")));
            QVERIFY(HostDatabase::instance().isInstalled());
            QCOMPARE(dtmDBGeral(), m_dm.get());
        }

        // Made through the server, schema and demo data (fewer cost rows).
        TdtmDBGeral::openConnection({location, QLatin1String(FirebirdServer::User),
                                     QLatin1String(FirebirdServer::Password), QStringLiteral("create"), true,
                                     DemoData::filler(sizes())});
        TdtmDBGeral::closeConnection(QStringLiteral("create"));
        m_form.reset();
        m_dm.reset();
        ShellConfig c;
        c.database = location.toString();
        c.user = QLatin1String(FirebirdServer::User);
        c.password = QLatin1String(FirebirdServer::Password);
        c.createDatabase = true; // there already: opened, not made again
        m_dm = std::make_unique<TdtmDBGeral>();
        m_dm->open(c);
        m_form = DemoDatabase::queriesForm();
        QCOMPARE(HostDatabase::instance().dialect().statementProperty(), QStringLiteral("SQL_IB"));
        TADOIBQuery *groups = query("qryGrupServ");
        groups->Open();
        QCOMPARE(column(groups, "CDGRUPSERV").size(), 10);
        QVERIFY(QFileInfo::exists(QDir(server.folder()).filePath(QStringLiteral("srv.fdb"))));

        // The server goes away: the next statement fails with a message, no crash.
        server.stop();
        TADOIBQuery *g = query("qryGrupServ");
        g->Close();
        QVERIFY(hostError([&] { g->Open(); }) != QStringLiteral("<no error>"));
        m_form.reset();
        m_dm.reset();
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestFirebird)
#include "test_firebird.moc"
