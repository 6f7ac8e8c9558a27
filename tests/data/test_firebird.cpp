// The data layer on Firebird 3: the demo database made through the client
// library, the screen queries with their default and InterBase texts,
// PARAM/NVLSTR/INSTR and NULLs through Qt's driver, accents, long texts,
// paging with FIRST/SKIP, the shell-context functions on Firebird types; all
// embedded (no server), then once more against a server this test starts on
// 127.0.0.1 and stops.
#include "data/HostDatabase.h"
#include "data/SqlStatement.h"
#include "data/TADOIBDataSet.h"
#include "data/TADOIBQuery.h"
#include "data/TADOIBStringField.h"
#include "session/CodePictures.h"
#include "session/ShellFunctions.h"
#include "support/DemoDatabase.h"
#include "support/FirebirdServer.h"

#include <QElapsedTimer>
#include <QtTest>

Q_DECLARE_METATYPE(SqlDialect)

class TestFirebird : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<TdtmDBGeral> m_dm;
    std::unique_ptr<TForm> m_form;

    static DemoSizes sizes()
    {
        DemoSizes s;
        s.costRows = 400;
        return s;
    }

    TADOIBQuery *query(const char *name) { return m_form->component<TADOIBQuery>(QLatin1String(name)); }

    QStringList column(TADOIBQuery *q, const char *field)
    {
        QStringList out;
        for (q->First(); !q->GetEOF(); q->Next())
            out << q->FieldByName(QLatin1String(field))->AsString();
        return out;
    }

    QVariant scalar(const QString &sql, const TParams &params = TParams())
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

    void texts()
    {
        QTest::addColumn<SqlDialect>("dialect");
        QTest::newRow("SQL_IB") << SqlDialect::InterBase;
        QTest::newRow("SQL") << SqlDialect::Default;
    }

    void useText()
    {
        QFETCH(SqlDialect, dialect);
        HostDatabase::instance().setDialectOverride(dialect);
    }

    // The checks every connection must pass, embedded or through a server.
    void screenQueries()
    {
        TADOIBQuery *t = query("qryTAgreg");
        t->Close();
        t->ParamByName(QStringLiteral("P_CDFILCENTXEV")).SetAsString(QStringLiteral("0100"));
        t->ParamByName(QStringLiteral("P_CDFILIAL")).Clear();
        t->Open();
        QCOMPARE(column(t, "CDFILIAL"), QStringList({"0101", "0102", "0103", "0104", "AB12"}));
        t->Close();
        t->ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(QStringLiteral("0201"));
        t->Open();
        QVERIFY(t->IsEmpty());
        t->Close();
        t->ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(QStringLiteral("0102"));
        t->Open();
        QCOMPARE(t->FieldByName(QStringLiteral("NMFILIAL"))->AsString(), QStringLiteral("EMEF Maria José Câmara"));

        TADOIBQuery *s = query("qryServico");
        s->Close();
        s->ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(QStringLiteral("0101"));
        s->ParamByName(QStringLiteral("P_CDGRUPSERV")).SetAsString(QString());
        s->ParamByName(QStringLiteral("P_TCDGRUPSERV")).SetAsString(QStringLiteral("T"));
        s->Open();
        QCOMPARE(column(s, "CDSERVFILI").size(), 10);
        s->Close();
        s->ParamByName(QStringLiteral("P_CDGRUPSERV")).SetAsString(QStringLiteral("003_007"));
        s->ParamByName(QStringLiteral("P_TCDGRUPSERV")).SetAsString(QString());
        s->Open();
        QCOMPARE(column(s, "CDSERVFILI"), QStringList({"00003", "00004", "00007", "00008"}));

        TADOIBQuery *f = query("qryFilial");
        f->Close();
        f->ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(QStringLiteral("0101"));
        f->Open();
        QCOMPARE(f->FieldByName(QStringLiteral("NMFILCENTXEV"))->AsString(), QStringLiteral("Central de Alimentação Norte"));
        QCOMPARE(f->FieldByName(QStringLiteral("IDFILCENTXEV"))->AsString(), QStringLiteral("N"));
        f->Close();
        f->ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(QStringLiteral("0900"));
        f->Open();
        QVERIFY(!f->IsEmpty());
        QVERIFY(f->FieldByName(QStringLiteral("CDFILCENTXEV"))->IsNull());
        QVERIFY(f->FieldByName(QStringLiteral("NMFILCENTXEV"))->IsNull());

        TADOIBQuery *v = query("qryVdProduto");
        v->Close();
        v->ParamByName(QStringLiteral("P_CDARVPROD")).SetAsVariant(QStringLiteral("01010001"));
        v->Open();
        QCOMPARE(v->FieldByName(QStringLiteral("NMPRODUTO"))->AsString(), QStringLiteral("Arroz Branco Tipo 1 1 kg"));
        v->Close();
        v->ParamByName(QStringLiteral("P_CDARVPROD")).SetAsVariant(QStringLiteral("0199"));
        v->Open();
        QVERIFY(v->IsEmpty());
        QCOMPARE(v->FieldByName(QStringLiteral("NMPRODUTO"))->AsString(), QString());

        TADOIBQuery *g = query("qryGrupServ");
        g->Close();
        g->Open();
        QCOMPARE(column(g, "CDGRUPSERV").size(), 10);
        TADOIBQuery *p = query("qryProduto");
        p->Close();
        p->Open();
        const QStringList codes = column(p, "CDARVPROD");
        QCOMPARE(codes.size(), 316);
        QStringList sorted = codes;
        sorted.sort();
        QCOMPARE(codes, sorted);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const DatabaseLocation location = DatabaseLocation::parse(QStringLiteral("firebird:") + m_dir.filePath(QStringLiteral("demo.fdb")));
        QElapsedTimer timer;
        timer.start();
        TdtmDBGeral::openConnection(location, QStringLiteral("SYSDBA"), QStringLiteral("masterkey"),
                                    QStringLiteral("create"), true, sizes());
        TdtmDBGeral::closeConnection(QStringLiteral("create"));
        qInfo("embedded demo database made in %lld ms", timer.elapsed());
        m_dm = std::make_unique<TdtmDBGeral>();
        ShellConfig c;
        c.database = location.toString();
        m_dm->open(c);
        m_form = DemoDatabase::queriesForm();
    }

    void cleanup() { HostDatabase::instance().setDialectOverride(std::nullopt); }

    void cleanupTestCase()
    {
        m_form.reset();
        m_dm.reset();
    }

    void dialectIsInterBase()
    {
        QCOMPARE(HostDatabase::instance().engine(), SqlEngine::Firebird);
        QCOMPARE(HostDatabase::instance().dialect(), SqlDialect::InterBase);
        QVERIFY(query("qryFilial")->currentStatementText().contains(QLatin1String("P_CDFILIAL.PARAM")));
    }

    void screenQueriesEmbedded_data() { texts(); }
    void screenQueriesEmbedded()
    {
        useText();
        screenQueries();
    }

    void nullsSurviveTheDriver()
    {
        TParams p;
        p.add(QStringLiteral("P")).Clear();
        // A PSQL function's input: Firebird describes it as not nullable, and
        // without the cast Qt's driver would send '' instead of NULL.
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM FILIAL WHERE NVLSTR(:P, CDFILIAL) = CDFILIAL"), p).toInt(), 15);
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM RDB$DATABASE WHERE :P IS NULL"), p).toInt(), 1);
        QVERIFY(scalar(QStringLiteral("SELECT X.PARAM FROM PARAM(:P) X"), p).isNull());
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM FILIAL WHERE CDFILIAL = :P"), p).toInt(), 0);
        p.ParamByName(QStringLiteral("P")).SetAsString(QString());
        QVERIFY(!scalar(QStringLiteral("SELECT X.PARAM FROM PARAM(:P) X"), p).isNull());
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM RDB$DATABASE WHERE :P IS NULL"), p).toInt(), 0);
        // A value longer than the column is compared whole, not cut to fit.
        p.ParamByName(QStringLiteral("P")).SetAsString(QStringLiteral("01011"));
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM FILIAL WHERE CDFILIAL = :P"), p).toInt(), 0);
    }

    void routines()
    {
        QCOMPARE(scalar(QStringLiteral("SELECT NVLSTR(NULL, 'b') FROM RDB$DATABASE")).toString(), QStringLiteral("b"));
        QCOMPARE(scalar(QStringLiteral("SELECT NVLSTR('a', 'b') FROM RDB$DATABASE")).toString(), QStringLiteral("a"));
        QCOMPARE(scalar(QStringLiteral("SELECT INSTR('001_003', '003') FROM RDB$DATABASE")).toInt(), 5);
        QCOMPARE(scalar(QStringLiteral("SELECT INSTR('001_003', '010') FROM RDB$DATABASE")).toInt(), 0);
        QCOMPARE(scalar(QStringLiteral("SELECT INSTR('', '010') FROM RDB$DATABASE")).toInt(), 0);
        QVERIFY(scalar(QStringLiteral("SELECT INSTR(NULL, '010') FROM RDB$DATABASE")).isNull());
        TParams p;
        p.add(QStringLiteral("A")).SetAsString(QStringLiteral("x"));
        p.add(QStringLiteral("B")).SetAsString(QStringLiteral("y"));
        QCOMPARE(scalar(QStringLiteral("SELECT A.PARAM || B.PARAM || A.PARAM FROM PARAM(:A) A, PARAM(:B) B"), p).toString(),
                 QStringLiteral("xyx"));
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
        big.add(QStringLiteral("T")).SetAsString(QString(SqlStatement::MaxFirebirdText, QChar(0xe7)));
        QCOMPARE(scalar(QStringLiteral("SELECT CHAR_LENGTH(X.PARAM) FROM PARAM(:T) X"), big).toInt(), SqlStatement::MaxFirebirdText);
        big.ParamByName(QStringLiteral("T")).SetAsString(QString(SqlStatement::MaxFirebirdText + 1, QLatin1Char('a')));
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

    void pagingAndFilters()
    {
        TADOIBQuery *p = query("qryProduto");
        p->Close();
        p->Open();
        const QStringList all = column(p, "CDARVPROD");
        p->Close();
        TADOIBDataSet *ds = p->dataSet();
        QStringList paged;
        for (qint64 offset = 0; offset < all.size(); offset += 50)
            for (const auto &row : ds->FetchPage(RowFilter(), offset, 50))
                paged << row.at(0).toString();
        QCOMPARE(paged, all);
        RowFilter f;
        f.columns = QStringList({"NMPRODUTO"});
        f.text = QStringLiteral("açúcar");
        const auto rows = ds->FetchPage(f, 0, 100);
        QVERIFY(!rows.isEmpty());
        for (const auto &r : rows)
            QVERIFY(r.at(1).toString().toUpper().contains(QStringLiteral("AÇÚCAR")));
        QCOMPARE(ds->CountRows(f), qint64(rows.size()));
        QVERIFY(ds->OpenOnKey(QStringLiteral("CDARVPROD"), QStringLiteral("06030002")));
        QCOMPARE(ds->FieldByName(QStringLiteral("NMPRODUTO"))->AsString(), QStringLiteral("Polpa de Acerola 5 kg"));
    }

    void shellFunctionsOnFirebirdTypes()
    {
        QCOMPARE(DataProc(QStringLiteral("0102")), QDate(2026, 3, 13));
        QCOMPARE(ModuFili(QStringLiteral("0100"), true), QStringLiteral("F"));
        QCOMPARE(ModuFili(QStringLiteral("0300"), false).left(5), QStringLiteral("E0002"));
        QCOMPARE(NomeFiliProc(), QStringLiteral("Escola Municipal São João"));
        QCOMPARE(DBPict(0), QStringLiteral("99.99.9999;0; "));
        // Dates and numbers of the cost rows, with date parameters.
        TParams p;
        p.add(QStringLiteral("I")).SetAsDateTime(QDateTime(QDate(2026, 1, 1), QTime(0, 0)));
        p.add(QStringLiteral("F")).SetAsDateTime(QDateTime(QDate(2026, 12, 31), QTime(0, 0)));
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM CUSTREAL WHERE DTMOVIMENTO BETWEEN :I AND :F"), p).toInt(), 400);
        QVERIFY(scalar(QStringLiteral("SELECT SUM(VRCUSTREAL) FROM CUSTREAL")).toDouble() > 0);
    }

    void againstAServer()
    {
        FirebirdServer server;
        QString error;
        QVERIFY2(server.start(&error), qPrintable(error));
        const DatabaseLocation location = DatabaseLocation::parse(
            QStringLiteral("firebird://127.0.0.1:%1%2").arg(server.port()).arg(QDir(server.folder()).filePath(QStringLiteral("srv.fdb"))));
        QCOMPARE(location.kind, DatabaseLocation::FirebirdServer);

        // A wrong password is refused with the server's words.
        const QString err = hostError([&] {
            TdtmDBGeral::openConnection(location, QStringLiteral("SYSDBA"), QStringLiteral("errada"),
                                        QStringLiteral("wrong"), true);
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
        TdtmDBGeral::openConnection(location, QLatin1String(FirebirdServer::User), QLatin1String(FirebirdServer::Password),
                                    QStringLiteral("create"), true, sizes());
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
        QCOMPARE(HostDatabase::instance().dialect(), SqlDialect::InterBase);
        screenQueries();
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

QTEST_MAIN(TestFirebird)
#include "test_firebird.moc"
