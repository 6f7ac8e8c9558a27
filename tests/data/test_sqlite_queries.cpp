// The six screen queries on the demo SQLite database, each run with the text
// of every dialect (the Oracle and SQL Server texts through the test-only
// routines), with the edge cases the screen relies on; and the SQLite
// routines PARAM, NVLSTR, INSTR, UPPER with NULLs.
#include "data/HostDatabase.h"
#include "data/SqliteRoutines.h"
#include "data/SqlStatement.h"
#include "data/TADOIBQuery.h"
#include "data/TADOIBStringField.h"
#include "support/DemoDatabase.h"

#include <QtTest>

Q_DECLARE_METATYPE(SqlDialect)

class TestSqliteQueries : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<TdtmDBGeral> m_dm;
    std::unique_ptr<TForm> m_form;

    TADOIBQuery *query(const char *name) { return m_form->component<TADOIBQuery>(QLatin1String(name)); }

    QStringList column(TADOIBQuery *q, const char *field)
    {
        QStringList out;
        for (q->First(); !q->GetEOF(); q->Next())
            out << q->FieldByName(QLatin1String(field))->AsString();
        return out;
    }

    void dialects()
    {
        QTest::addColumn<SqlDialect>("dialect");
        QTest::newRow("SQL") << SqlDialect::Default;
        QTest::newRow("SQL_ORACLE") << SqlDialect::Oracle;
        QTest::newRow("SQL_MSSQL") << SqlDialect::MsSql;
        QTest::newRow("SQL_IB") << SqlDialect::InterBase;
    }

    void useDialect()
    {
        QFETCH(SqlDialect, dialect);
        HostDatabase::instance().setDialectOverride(dialect);
    }

    QVariant scalar(const QString &sql, const TParams &params = TParams())
    {
        SqlStatement s(HostDatabase::instance().database());
        s.exec(sql, params);
        return s.next() ? s.value(0) : QVariant(QStringLiteral("<no row>"));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_dm = DemoDatabase::openSqlite(m_dir, DemoDatabase::small());
        // The Oracle and SQL Server texts run here through these.
        SqliteRoutines::installForeign(m_dm->database());
        m_form = DemoDatabase::queriesForm();
    }

    void cleanup() { HostDatabase::instance().setDialectOverride(std::nullopt); }

    void cleanupTestCase()
    {
        m_form.reset();
        m_dm.reset();
    }

    // --- which text runs ----------------------------------------------------

    void engineTextIsDefault()
    {
        QCOMPARE(HostDatabase::instance().engine(), SqlEngine::SQLite);
        QCOMPARE(HostDatabase::instance().dialect(), SqlDialect::Default);
        TADOIBQuery *q = query("qryFilial");
        QVERIFY(q->currentStatementText().contains(QLatin1String("WHERE CDFILIAL = :P_CDFILIAL")));
        HostDatabase::instance().setDialectOverride(SqlDialect::InterBase);
        QVERIFY(q->currentStatementText().contains(QLatin1String("P_CDFILIAL.PARAM")));
    }

    void emptyDialectTextFallsBackOnSql()
    {
        TADOIBQuery q;
        q.setSQL({QStringLiteral("SELECT 'default' AS T")});
        q.setSQL_MSSQL({QStringLiteral("  "), QString()});
        QCOMPARE(q.statementText(SqlDialect::MsSql), QStringLiteral("SELECT 'default' AS T"));
        q.setSQL_IB({QStringLiteral("SELECT 'ib' AS T")});
        QCOMPARE(q.statementText(SqlDialect::InterBase), QStringLiteral("SELECT 'ib' AS T"));
        TADOIBQuery none;
        none.setObjectName(QStringLiteral("qryNada"));
        try {
            none.statementText(SqlDialect::Default);
            QFAIL("a query without text must not run");
        } catch (const EHostError &e) {
            QVERIFY(e.text().contains(QLatin1String("qryNada")));
        }
    }

    // --- qryTAgreg -------------------------------------------------------------

    void tagregNullBranchListsTheWholeCentral_data() { dialects(); }
    void tagregNullBranchListsTheWholeCentral()
    {
        useDialect();
        TADOIBQuery *q = query("qryTAgreg");
        q->Close();
        q->ParamByName(QStringLiteral("P_CDFILCENTXEV")).SetAsString(QStringLiteral("0100"));
        q->ParamByName(QStringLiteral("P_CDFILIAL")).Clear();
        q->Open();
        QCOMPARE(column(q, "CDFILIAL"), QStringList({"0101", "0102", "0103", "0104", "AB12"}));
        q->First();
        QCOMPARE(q->FieldByName(QStringLiteral("CDFILCENTXEV"))->AsString(), QStringLiteral("0100"));
    }

    void tagregOneBranch_data() { dialects(); }
    void tagregOneBranch()
    {
        useDialect();
        TADOIBQuery *q = query("qryTAgreg");
        q->Close();
        q->ParamByName(QStringLiteral("P_CDFILCENTXEV")).SetAsString(QStringLiteral("0100"));
        q->ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(QStringLiteral("0102"));
        q->Open();
        QVERIFY(!q->IsEmpty());
        QCOMPARE(q->FieldByName(QStringLiteral("NMFILIAL"))->AsString(), QStringLiteral("EMEF Maria José Câmara"));
        q->Next();
        QVERIFY(q->GetEOF());

        // A branch of another central is not found.
        q->Close();
        q->ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(QStringLiteral("0201"));
        q->Open();
        QVERIFY(q->IsEmpty());
        QVERIFY(q->GetEOF());
        QCOMPARE(q->FieldByName(QStringLiteral("NMFILIAL"))->AsString(), QString());

        // A central code alone is not one of its own aggregated branches.
        q->Close();
        q->ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(QStringLiteral("0100"));
        q->Open();
        QVERIFY(q->IsEmpty());
    }

    // --- qryServico --------------------------------------------------------------

    void servicoAllGroups_data() { dialects(); }
    void servicoAllGroups()
    {
        useDialect();
        TADOIBQuery *q = query("qryServico");
        q->Close();
        q->ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(QStringLiteral("0101"));
        q->ParamByName(QStringLiteral("P_CDGRUPSERV")).SetAsString(QString());
        q->ParamByName(QStringLiteral("P_TCDGRUPSERV")).SetAsString(QStringLiteral("T"));
        q->Open();
        QStringList all;
        for (int i = 1; i <= 10; ++i)
            all << QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0'));
        QCOMPARE(column(q, "CDSERVFILI"), all);
    }

    void servicoGroupList_data() { dialects(); }
    void servicoGroupList()
    {
        useDialect();
        TADOIBQuery *q = query("qryServico");
        q->Close();
        q->ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(QStringLiteral("0101"));
        q->ParamByName(QStringLiteral("P_CDGRUPSERV")).SetAsString(QStringLiteral("003_007"));
        q->ParamByName(QStringLiteral("P_TCDGRUPSERV")).SetAsString(QString());
        q->Open();
        QCOMPARE(column(q, "CDSERVFILI"), QStringList({"00003", "00004", "00007", "00008"}));
        q->First();
        QCOMPARE(q->FieldByName(QStringLiteral("NMSERVICO"))->AsString(), QStringLiteral("Almoço Ensino Fundamental"));

        // Only the branch given: 0102 has no service of group 007 but one of 003.
        q->Close();
        q->ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(QStringLiteral("0102"));
        q->ParamByName(QStringLiteral("P_CDGRUPSERV")).SetAsString(QStringLiteral("010"));
        q->Open();
        QVERIFY(q->IsEmpty());
    }

    // --- qryFilial ---------------------------------------------------------------

    void filialWithCentral_data() { dialects(); }
    void filialWithCentral()
    {
        useDialect();
        TADOIBQuery *q = query("qryFilial");
        q->Close();
        q->ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(QStringLiteral("0101"));
        q->Open();
        QCOMPARE(q->FieldByName(QStringLiteral("CDFILIAL"))->AsString(), QStringLiteral("0101"));
        QCOMPARE(q->FieldByName(QStringLiteral("NMFILIAL"))->AsString(), QStringLiteral("Escola Municipal São João"));
        QCOMPARE(q->FieldByName(QStringLiteral("IDFILCENTXEV"))->AsString(), QStringLiteral("N"));
        QCOMPARE(q->FieldByName(QStringLiteral("CDFILCENTXEV"))->AsString(), QStringLiteral("0100"));
        QCOMPARE(q->FieldByName(QStringLiteral("NMFILCENTXEV"))->AsString(), QStringLiteral("Central de Alimentação Norte"));
        QCOMPARE(q->FieldByName(QStringLiteral("IDCNTRRESC"))->AsString(), QStringLiteral("N"));
    }

    void filialWithoutCentral_data() { dialects(); }
    void filialWithoutCentral()
    {
        useDialect();
        TADOIBQuery *q = query("qryFilial");
        q->Close();
        q->ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(QStringLiteral("0900"));
        q->Open();
        QVERIFY(!q->IsEmpty());
        QVERIFY(q->FieldByName(QStringLiteral("CDFILCENTXEV"))->IsNull());
        QVERIFY(q->FieldByName(QStringLiteral("NMFILCENTXEV"))->IsNull());
        QCOMPARE(q->FieldByName(QStringLiteral("NMFILCENTXEV"))->AsString(), QString());

        // The central itself.
        q->Close();
        q->ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(QStringLiteral("0100"));
        q->Open();
        QCOMPARE(q->FieldByName(QStringLiteral("IDFILCENTXEV"))->AsString(), QStringLiteral("S"));

        // No such branch: an empty result whose fields read empty.
        q->Close();
        q->ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(QStringLiteral("9999"));
        q->Open();
        QVERIFY(q->IsEmpty());
        QCOMPARE(q->FieldByName(QStringLiteral("CDFILCENTXEV"))->AsString(), QString());
    }

    // --- qryVdProduto, qryProduto, qryGrupServ ------------------------------------

    void vdProduto_data() { dialects(); }
    void vdProduto()
    {
        useDialect();
        TADOIBQuery *q = query("qryVdProduto");
        q->Close();
        q->ParamByName(QStringLiteral("P_CDARVPROD")).SetAsVariant(QStringLiteral("01010001"));
        q->Open();
        QCOMPARE(q->FieldByName(QStringLiteral("NMPRODUTO"))->AsString(), QStringLiteral("Arroz Branco Tipo 1 1 kg"));
        q->Close();
        q->ParamByName(QStringLiteral("P_CDARVPROD")).SetAsVariant(QStringLiteral("0199"));
        q->Open();
        QVERIFY(q->IsEmpty());
        QCOMPARE(q->FieldByName(QStringLiteral("NMPRODUTO"))->AsString(), QString());
    }

    void produtoAndGroupsInCodeOrder_data() { dialects(); }
    void produtoAndGroupsInCodeOrder()
    {
        useDialect();
        TADOIBQuery *p = query("qryProduto");
        p->Close();
        p->Open();
        const QStringList codes = column(p, "CDARVPROD");
        QCOMPARE(codes.size(), 8 + 29 + 279);
        QStringList sorted = codes;
        sorted.sort();
        QCOMPARE(codes, sorted);
        QCOMPARE(codes.first(), QStringLiteral("01"));
        QCOMPARE(codes.at(1), QStringLiteral("0101"));
        QCOMPARE(codes.at(2), QStringLiteral("01010001"));

        TADOIBQuery *g = query("qryGrupServ");
        g->Close();
        g->Open();
        QCOMPARE(column(g, "CDGRUPSERV"),
                 QStringList({"001", "002", "003", "004", "005", "006", "007", "008", "009", "010"}));
        g->First();
        QCOMPARE(g->FieldByName(QStringLiteral("NMGRUPSERV"))->AsString(), QStringLiteral("Desjejum"));
    }

    // --- routines ------------------------------------------------------------------

    void paramKeepsNull()
    {
        TParams p;
        p.add(QStringLiteral("X")).Clear();
        QVERIFY(scalar(QStringLiteral("SELECT P.PARAM FROM PARAM(:X) P"), p).isNull());
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM PARAM(:X) P"), p).toInt(), 1);
        p.ParamByName(QStringLiteral("X")).SetAsString(QString());
        QCOMPARE(scalar(QStringLiteral("SELECT P.PARAM FROM PARAM(:X) P"), p).toString(), QString());
        QVERIFY(!scalar(QStringLiteral("SELECT P.PARAM FROM PARAM(:X) P"), p).isNull());
        p.ParamByName(QStringLiteral("X")).SetAsInteger(7);
        QCOMPARE(scalar(QStringLiteral("SELECT P.PARAM FROM PARAM(:X) P"), p).toInt(), 7);
        // Two in one statement, each with its own value.
        p.add(QStringLiteral("Y")).SetAsString(QStringLiteral("b"));
        QCOMPARE(scalar(QStringLiteral("SELECT A.PARAM || B.PARAM FROM PARAM(:X) A, PARAM(:Y) B"), p).toString(),
                 QStringLiteral("7b"));
    }

    void nvlstrAndInstr()
    {
        QCOMPARE(scalar(QStringLiteral("SELECT NVLSTR(NULL, 'b')")).toString(), QStringLiteral("b"));
        QCOMPARE(scalar(QStringLiteral("SELECT NVLSTR('a', 'b')")).toString(), QStringLiteral("a"));
        QCOMPARE(scalar(QStringLiteral("SELECT NVLSTR('', 'b')")).toString(), QString());
        QVERIFY(scalar(QStringLiteral("SELECT NVLSTR(NULL, NULL)")).isNull());
        QCOMPARE(scalar(QStringLiteral("SELECT INSTR('001_003', '003')")).toInt(), 5);
        QCOMPARE(scalar(QStringLiteral("SELECT INSTR('001_003', '010')")).toInt(), 0);
        QCOMPARE(scalar(QStringLiteral("SELECT INSTR('', '010')")).toInt(), 0);
        QCOMPARE(scalar(QStringLiteral("SELECT INSTR('Açaí', 'í')")).toInt(), 4); // characters, not bytes
        QVERIFY(scalar(QStringLiteral("SELECT INSTR(NULL, '010')")).isNull());
        QCOMPARE(scalar(QStringLiteral("SELECT CHARINDEX('003', '001_003')")).toInt(), 5);
        QCOMPARE(scalar(QStringLiteral("SELECT NVL(NULL, 'x')")).toString(), QStringLiteral("x"));
        QCOMPARE(scalar(QStringLiteral("SELECT ISNULL(NULL, 'x')")).toString(), QStringLiteral("x"));
        QCOMPARE(scalar(QStringLiteral("SELECT UPPER('ação é')")).toString(), QStringLiteral("AÇÃO É"));
        QCOMPARE(scalar(QStringLiteral("SELECT LOWER('AÇÃO')")).toString(), QStringLiteral("ação"));
        QVERIFY(scalar(QStringLiteral("SELECT UPPER(NULL)")).isNull());
    }

    // A long list bound once and searched once per row (indexed after the
    // first row): the same positions as QString gives, first occurrences,
    // parts of several lengths, accents and a character outside the BMP.
    void instrOfALongBoundList()
    {
        QStringList codes;
        for (int i = 0; i < 3000; ++i)
            codes << QStringLiteral("%1").arg(i * 2, 5, 10, QLatin1Char('0'));
        const QString list = QStringLiteral("Ação 😀 ") + codes.join(QLatin1Char('_')) + QStringLiteral("_00004_ç");
        TParams p;
        p.add(QStringLiteral("L")).SetAsString(list);
        SqlStatement s(HostDatabase::instance().database());
        s.exec(QStringLiteral("WITH RECURSIVE N(I) AS (SELECT 0 UNION ALL SELECT I + 1 FROM N WHERE I < 6001) "
                              "SELECT I, INSTR(:L, printf('%05d', I)), INSTR(:L, printf('%d', I)), INSTR(:L, 'ç'), "
                              "CHARINDEX(printf('%04d', I), :L) FROM N"),
               p);
        int rows = 0;
        while (s.next()) {
            const int i = s.value(0).toInt();
            QCOMPARE(s.value(1).toLongLong(), list.indexOf(QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0'))) + 1);
            QCOMPARE(s.value(2).toLongLong(), list.indexOf(QString::number(i)) + 1);
            QCOMPARE(s.value(3).toLongLong(), list.indexOf(QStringLiteral("ç")) + 1);
            QCOMPARE(s.value(4).toLongLong(), list.indexOf(QStringLiteral("%1").arg(i, 4, 10, QLatin1Char('0'))) + 1);
            ++rows;
        }
        QCOMPARE(rows, 6002);
    }

    void accentsRoundTrip()
    {
        TParams p;
        p.add(QStringLiteral("P_CD")).SetAsString(QStringLiteral("ZZ9"));
        p.add(QStringLiteral("P_NM")).SetAsString(QStringLiteral("Pão de Açúcar — Ação nº 1 ç€"));
        SqlStatement ins(HostDatabase::instance().database());
        ins.exec(QStringLiteral("INSERT INTO GRUPSERV (CDGRUPSERV, NMGRUPSERV) VALUES (:P_CD, :P_NM)"), p);
        QCOMPARE(scalar(QStringLiteral("SELECT NMGRUPSERV FROM GRUPSERV WHERE CDGRUPSERV = :P_CD"), p).toString(),
                 QStringLiteral("Pão de Açúcar — Ação nº 1 ç€"));
        SqlStatement del(HostDatabase::instance().database());
        del.exec(QStringLiteral("DELETE FROM GRUPSERV WHERE CDGRUPSERV = :P_CD"), p);
    }
};

QTEST_MAIN(TestSqliteQueries)
#include "test_sqlite_queries.moc"
