// The screen's six queries and the routines their texts call, on every
// engine (EngineDatabases: one row per engine, and per text dialect that
// runs there: SQLite runs all four, the Oracle and SQL Server ones through
// its test-only routines; Firebird its SQL_IB and SQL texts), with the edge
// cases the screen relies on: NULLs through the drivers, accents, the
// routines PARAM, NVLSTR and INSTR, errors with the engine's text, paging
// and filters, and the shell functions over the engine's types.
#include "core/FixedDecimal.h"
#include "data/HostDatabase.h"
#include "data/engines/SqlDialect.h"
#include "data/SqlStatement.h"
#include "data/TADOIBDataSet.h"
#include "data/TADOIBQuery.h"
#include "data/TADOIBStringField.h"
#include "session/CodePictures.h"
#include "session/ShellFunctions.h"
#include "support/DemoDatabase.h"
#include "support/EngineDatabases.h"
#include "support/ForeignDialects.h"
#include "support/QueryColumn.h"

#include <QtTest>


class TestEngineQueries : public QObject {
    Q_OBJECT

    EngineDatabases m_engines{sizes()};
    std::unique_ptr<TForm> m_form;

    static DemoSizes sizes()
    {
        DemoSizes s;
        s.costRows = 400;
        return s;
    }

    TADOIBQuery *query(const char *name) { return m_form->component<TADOIBQuery>(QLatin1String(name)); }

    static QStringList column(TADOIBQuery *q, const char *field) { return queryColumn(q, field); }

    // An expression's value, selected from the engine's one-row table.
    static QVariant scalar(const QString &sql, const TParams &params = TParams())
    {
        QString text = sql;
        // Firebird selects only from a table: its one-row one.
        if (HostDatabase::instance().dialect().name().startsWith(QLatin1String("Firebird"))
            && !text.contains(QLatin1String(" FROM ")))
            text += QStringLiteral(" FROM RDB$DATABASE");
        SqlStatement s(HostDatabase::instance().database());
        s.exec(text, params);
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

    // Rows: every engine with every text dialect that runs on it.
    static void engineTexts()
    {
        QTest::addColumn<QString>("engine");
        QTest::addColumn<QString>("dialect");
        for (const QString &engine : EngineDatabases::names())
            for (const QString &d : EngineDatabases::dialects(engine))
                QTest::addRow("%s %s", qPrintable(engine), qPrintable(d)) << engine << d;
    }

    static void useText()
    {
        QFETCH(QString, dialect);
        ForeignDialects::runOn(HostDatabase::instance().database(), dialect);
    }

private slots:
    void initTestCase() { m_form = DemoDatabase::queriesForm(); }
    void cleanup()
    {
        if (HostDatabase::instance().isInstalled())
            SqlDialect::use(HostDatabase::instance().connectionName(), nullptr);
    }
    void cleanupTestCase() { m_form.reset(); }

    // --- which text runs --------------------------------------------------------

    void theEnginesOwnTextRuns_data() { EngineDatabases::addColumn(); }
    void theEnginesOwnTextRuns()
    {
        USE_ENGINE(m_engines);
        QFETCH(QString, engine);
        QCOMPARE(HostDatabase::instance().dialect().statementProperty(), EngineDatabases::dialects(engine).first());
        const bool interBase = HostDatabase::instance().dialect().statementProperty() == QLatin1String("SQL_IB");
        QCOMPARE(query("qryFilial")->currentStatementText().contains(QLatin1String("P_CDFILIAL.PARAM")), interBase);
        QCOMPARE(query("qryFilial")->currentStatementText().contains(QLatin1String("WHERE CDFILIAL = :P_CDFILIAL")),
                 !interBase);
    }

    // --- qryTAgreg ----------------------------------------------------------------

    void tagregNullBranchListsTheWholeCentral_data() { engineTexts(); }
    void tagregNullBranchListsTheWholeCentral()
    {
        USE_ENGINE(m_engines);
        useText();
        TADOIBQuery *q = query("qryTAgreg");
        q->Close();
        q->ParamByName(QStringLiteral("P_CDFILCENTXEV")).SetAsString(QStringLiteral("0100"));
        q->ParamByName(QStringLiteral("P_CDFILIAL")).Clear();
        q->Open();
        QCOMPARE(column(q, "CDFILIAL"), QStringList({"0101", "0102", "0103", "0104", "AB12"}));
        q->First();
        QCOMPARE(q->FieldByName(QStringLiteral("CDFILCENTXEV"))->AsString(), QStringLiteral("0100"));
    }

    void tagregOneBranch_data() { engineTexts(); }
    void tagregOneBranch()
    {
        USE_ENGINE(m_engines);
        useText();
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

    // --- qryServico -----------------------------------------------------------------

    void servicoAllGroups_data() { engineTexts(); }
    void servicoAllGroups()
    {
        USE_ENGINE(m_engines);
        useText();
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

    void servicoGroupList_data() { engineTexts(); }
    void servicoGroupList()
    {
        USE_ENGINE(m_engines);
        useText();
        TADOIBQuery *q = query("qryServico");
        q->Close();
        q->ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(QStringLiteral("0101"));
        q->ParamByName(QStringLiteral("P_CDGRUPSERV")).SetAsString(QStringLiteral("003_007"));
        q->ParamByName(QStringLiteral("P_TCDGRUPSERV")).SetAsString(QString());
        q->Open();
        QCOMPARE(column(q, "CDSERVFILI"), QStringList({"00003", "00004", "00007", "00008"}));
        q->First();
        QCOMPARE(q->FieldByName(QStringLiteral("NMSERVICO"))->AsString(), QStringLiteral("Almoço Ensino Fundamental"));
        // Only the branch given: 0102 has no service of group 010.
        q->Close();
        q->ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(QStringLiteral("0102"));
        q->ParamByName(QStringLiteral("P_CDGRUPSERV")).SetAsString(QStringLiteral("010"));
        q->Open();
        QVERIFY(q->IsEmpty());
    }

    // --- qryFilial --------------------------------------------------------------------

    void filialWithCentral_data() { engineTexts(); }
    void filialWithCentral()
    {
        USE_ENGINE(m_engines);
        useText();
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

    void filialWithoutCentral_data() { engineTexts(); }
    void filialWithoutCentral()
    {
        USE_ENGINE(m_engines);
        useText();
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

    // --- qryVdProduto, qryProduto, qryGrupServ --------------------------------------------

    void vdProduto_data() { engineTexts(); }
    void vdProduto()
    {
        USE_ENGINE(m_engines);
        useText();
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

    void produtoAndGroupsInCodeOrder_data() { engineTexts(); }
    void produtoAndGroupsInCodeOrder()
    {
        USE_ENGINE(m_engines);
        useText();
        TADOIBQuery *p = query("qryProduto");
        p->Close();
        p->Open();
        const QStringList codes = column(p, "CDARVPROD");
        QCOMPARE(codes.size(), 8 + 29 + 279);
        QStringList sorted = codes;
        sorted.sort();
        QCOMPARE(codes, sorted);
        QCOMPARE(codes.mid(0, 3), QStringList({"01", "0101", "01010001"}));
        TADOIBQuery *g = query("qryGrupServ");
        g->Close();
        g->Open();
        QCOMPARE(column(g, "CDGRUPSERV"),
                 QStringList({"001", "002", "003", "004", "005", "006", "007", "008", "009", "010"}));
        g->First();
        QCOMPARE(g->FieldByName(QStringLiteral("NMGRUPSERV"))->AsString(), QStringLiteral("Desjejum"));
    }

    // --- routines and values through the drivers ------------------------------------------

    void paramKeepsNull_data() { EngineDatabases::addColumn(); }
    void paramKeepsNull()
    {
        USE_ENGINE(m_engines);
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
        QCOMPARE(scalar(QStringLiteral("SELECT A.PARAM || B.PARAM || A.PARAM FROM PARAM(:X) A, PARAM(:Y) B"), p).toString(),
                 QStringLiteral("7b7"));
    }

    void nullsSurviveTheDriver_data() { EngineDatabases::addColumn(); }
    void nullsSurviveTheDriver()
    {
        USE_ENGINE(m_engines);
        TParams p;
        p.add(QStringLiteral("P")).Clear();
        // A routine's input that the engine describes as not nullable still gets NULL, not ''.
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM FILIAL WHERE NVLSTR(:P, CDFILIAL) = CDFILIAL"), p).toInt(), 15);
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM FILIAL WHERE :P IS NULL"), p).toInt(), 15);
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM FILIAL WHERE CDFILIAL = :P"), p).toInt(), 0);
        p.ParamByName(QStringLiteral("P")).SetAsString(QString());
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM FILIAL WHERE :P IS NULL"), p).toInt(), 0);
        // A value longer than the column is compared whole, not cut to fit.
        p.ParamByName(QStringLiteral("P")).SetAsString(QStringLiteral("01011"));
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM FILIAL WHERE CDFILIAL = :P"), p).toInt(), 0);
    }

    void nvlstrAndInstr_data() { EngineDatabases::addColumn(); }
    void nvlstrAndInstr()
    {
        USE_ENGINE(m_engines);
        QCOMPARE(scalar(QStringLiteral("SELECT NVLSTR(NULL, 'b')")).toString(), QStringLiteral("b"));
        QCOMPARE(scalar(QStringLiteral("SELECT NVLSTR('a', 'b')")).toString(), QStringLiteral("a"));
        QCOMPARE(scalar(QStringLiteral("SELECT NVLSTR('', 'b')")).toString(), QString());
        QVERIFY(scalar(QStringLiteral("SELECT NVLSTR(NULL, NULL)")).isNull());
        QCOMPARE(scalar(QStringLiteral("SELECT INSTR('001_003', '003')")).toInt(), 5);
        QCOMPARE(scalar(QStringLiteral("SELECT INSTR('001_003', '010')")).toInt(), 0);
        QCOMPARE(scalar(QStringLiteral("SELECT INSTR('', '010')")).toInt(), 0);
        QCOMPARE(scalar(QStringLiteral("SELECT INSTR('Açaí', 'í')")).toInt(), 4); // characters, not bytes
        QVERIFY(scalar(QStringLiteral("SELECT INSTR(NULL, '010')")).isNull());
    }

    // DECIMAL_SUM, which the report statements shared by SQLite and
    // PostgreSQL sum money with: exact decimal text past 2^53 cents, where
    // a SUM of doubles drifts; NULL for no value; a text that is no number
    // an error, not a quiet zero.
    void decimalSumIsExact_data() { EngineDatabases::addColumn({QStringLiteral("sqlite"), QStringLiteral("postgresql")}); }
    void decimalSumIsExact()
    {
        USE_ENGINE(m_engines);
        const auto sum = [](const char *values) {
            return scalar(QStringLiteral("SELECT DECIMAL_SUM(V) FROM (%1) T").arg(QLatin1String(values)));
        };
        const auto exact = [&](const char *values) {
            const std::optional<FixedDecimal> d = FixedDecimal::fromVariant(sum(values), 2);
            return d ? d->text() : QStringLiteral("<none>");
        };
        QCOMPARE(exact("SELECT 0.1 AS V UNION ALL SELECT 0.2"), QStringLiteral("0.30"));
        // The largest cost a row holds, 123 times, and the rest.
        QCOMPARE(exact("WITH RECURSIVE N(I) AS (SELECT 1 UNION ALL SELECT I + 1 FROM N WHERE I < 123) "
                       "SELECT 9999999999999.99 AS V FROM N UNION ALL SELECT 4567890122231.86"),
                 QStringLiteral("1234567890122230.63"));
        QCOMPARE(exact("SELECT -9999999999999.99 AS V UNION ALL SELECT 3 UNION ALL SELECT NULL"),
                 QStringLiteral("-9999999999996.99"));
        QVERIFY(sum("SELECT CAST(NULL AS NUMERIC) AS V UNION ALL SELECT NULL").isNull());
        QVERIFY(hostError([] { scalar(QStringLiteral("SELECT DECIMAL_SUM(V) FROM (SELECT 'abc' AS V) T")); }).size() > 0);
    }

    // A long list bound once and searched once per row (indexed after the
    // first row), on SQLite, whose INSTR is the program's: the same
    // positions as QString gives, first occurrences,
    // parts of several lengths, accents and a character outside the BMP.
    void instrOfALongBoundList()
    {
        QString why;
        QVERIFY2(m_engines.use(QStringLiteral("sqlite"), &why), qPrintable(why));
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

    void accentsRoundTrip_data() { EngineDatabases::addColumn(); }
    void accentsRoundTrip()
    {
        USE_ENGINE(m_engines);
        TParams p;
        p.add(QStringLiteral("P_CD")).SetAsString(QStringLiteral("ZZ9"));
        p.add(QStringLiteral("P_NM")).SetAsString(QStringLiteral("Pão de Açúcar — Ação nº 1 ç€"));
        SqlStatement ins(HostDatabase::instance().database());
        ins.exec(QStringLiteral("INSERT INTO GRUPSERV (CDGRUPSERV, NMGRUPSERV) VALUES (:P_CD, :P_NM)"), p);
        QCOMPARE(scalar(QStringLiteral("SELECT NMGRUPSERV FROM GRUPSERV WHERE CDGRUPSERV = :P_CD"), p).toString(),
                 QStringLiteral("Pão de Açúcar — Ação nº 1 ç€"));
        SqlStatement del(HostDatabase::instance().database());
        del.exec(QStringLiteral("DELETE FROM GRUPSERV WHERE CDGRUPSERV = :P_CD"), p);
        QCOMPARE(scalar(QStringLiteral("SELECT COUNT(*) FROM GRUPSERV WHERE CDGRUPSERV = :P_CD"), p).toInt(), 0);
    }

    void errorsCarryTheEnginesText_data() { EngineDatabases::addColumn(); }
    void errorsCarryTheEnginesText()
    {
        USE_ENGINE(m_engines);
        TADOIBQuery q;
        q.setSQL({QStringLiteral("SELECT * FROM TABELA_QUE_NAO_EXISTE")});
        const QString err = hostError([&] { q.Open(); });
        QVERIFY2(err.contains(QLatin1String("TABELA_QUE_NAO_EXISTE"), Qt::CaseInsensitive), qPrintable(err));
        QVERIFY(!q.Active());
    }

    void pagingAndFilters_data() { EngineDatabases::addColumn(); }
    void pagingAndFilters()
    {
        USE_ENGINE(m_engines);
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

    void shellFunctionsOnTheEnginesTypes_data() { EngineDatabases::addColumn(); }
    void shellFunctionsOnTheEnginesTypes()
    {
        USE_ENGINE(m_engines);
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
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestEngineQueries)
#include "test_engine_queries.moc"
