// TADOIBQuery as a component: cursor rules, parameters, persistent and
// transient fields, database errors with the driver's own text, and its data
// set (the Query member): what runs, fields for lists, paging, filters,
// positioning on a chosen row. On the demo SQLite database.
#include "data/HostDatabase.h"
#include "data/TADOIBDataSet.h"
#include "data/TADOIBQuery.h"
#include "data/TADOIBStringField.h"
#include "data/TDataSource.h"
#include "support/DemoDatabase.h"

#include <QtTest>

class TestQueryComponent : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<TdtmDBGeral> m_dm;
    std::unique_ptr<TForm> m_form;

    TADOIBQuery *query(const char *name) { return m_form->component<TADOIBQuery>(QLatin1String(name)); }

    static QString hostError(const std::function<void()> &f)
    {
        try {
            f();
        } catch (const EHostError &e) {
            return e.text();
        }
        return QStringLiteral("<no error>");
    }

    // Every product code in the order the plain query gives.
    QStringList allProducts()
    {
        TADOIBQuery *q = query("qryProduto");
        q->Close();
        q->Open();
        QStringList out;
        for (; !q->GetEOF(); q->Next())
            out << q->FieldByName(QStringLiteral("CDARVPROD"))->AsString();
        q->Close();
        return out;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_dm = DemoDatabase::openSqlite(m_dir, DemoDatabase::small());
        m_form = DemoDatabase::queriesForm();
    }

    void cleanupTestCase()
    {
        m_form.reset();
        m_dm.reset();
    }

    // --- what the definition gives ------------------------------------------

    void definitionIsRead()
    {
        TADOIBQuery *q = query("qryTAgreg");
        QVERIFY(q);
        QCOMPARE(q->property("ADOConnection").toString(), QStringLiteral("dtmDBGeral.adcGeral"));
        QCOMPARE(q->property("DataBase").toString(), QStringLiteral("dtmDBGeral.dtbGeral"));
        QCOMPARE(q->property("ADOCursorType").toString(), QStringLiteral("ctKeyset"));
        QVERIFY(!q->Active());
        QCOMPARE(q->Params().Count(), 2);
        QCOMPARE(q->Params().at(0).Name(), QStringLiteral("P_CDFILIAL"));
        QCOMPARE(q->Params().at(0).dataType(), TParam::DataType::String);
        QCOMPARE(q->Params().at(0).ParamType(), QStringLiteral("ptUnknown"));
        // The data source shows the query's data set, and the query names it.
        auto *dts = m_form->component<TDataSource>(QStringLiteral("dtsFilial__"));
        QVERIFY(dts);
        QCOMPARE(dts->dataSet(), q->dataSet());
        QCOMPARE(q->DataSource(), dts);
        // Persistent fields are the query's children, by name, in order.
        auto *code = m_form->component<TADOIBStringField>(QStringLiteral("qryTAgregCDFILIAL"));
        QVERIFY(code);
        QCOMPARE(q->persistentFields().size(), 3);
        QCOMPARE(q->persistentFields().first(), code);
        QCOMPARE(code->Size(), 4);
        QCOMPARE(code->DisplayLabel(), QStringLiteral("Código"));
        QVERIFY(code->Required());
        auto *central = m_form->component<TADOIBStringField>(QStringLiteral("qryTAgregCDFILCENTXEV"));
        QVERIFY(!central->Visible());
        QCOMPARE(central->DisplayName(), QStringLiteral("CDFILCENTXEV"));
        // A size not stored is the string field's default.
        QCOMPARE(m_form->component<TADOIBStringField>(QStringLiteral("qryProdutoCDARVPROD"))->Size(),
                 TADOIBStringField::DefaultSize);
    }

    // --- cursor -------------------------------------------------------------------

    void emptyDialectTextFallsBackOnSql()
    {
        TADOIBQuery q;
        q.setSQL({QStringLiteral("SELECT 'default' AS T")});
        q.setSQL_MSSQL({QStringLiteral("  "), QString()});
        QCOMPARE(q.statementText(QStringLiteral("SQL_MSSQL")), QStringLiteral("SELECT 'default' AS T"));
        q.setSQL_IB({QStringLiteral("SELECT 'ib' AS T")});
        QCOMPARE(q.statementText(QStringLiteral("SQL_IB")), QStringLiteral("SELECT 'ib' AS T"));
        TADOIBQuery none;
        none.setObjectName(QStringLiteral("qryNada"));
        QVERIFY(hostError([&] { none.statementText(QStringLiteral("SQL")); }).contains(QLatin1String("qryNada")));
    }

    void cursorRules()
    {
        TADOIBQuery *q = query("qryGrupServ");
        q->Close();
        QVERIFY(q->GetEOF());
        QVERIFY(q->IsEmpty());
        QVERIFY(!hostError([&] { q->Next(); }).contains(QLatin1String("<no error>")));
        QVERIFY(hostError([&] { q->FieldByName(QStringLiteral("CDGRUPSERV"))->AsString(); }).contains(QLatin1String("fechada")));

        q->Open();
        QVERIFY(q->Active());
        QCOMPARE(q->FieldByName(QStringLiteral("CDGRUPSERV"))->AsString(), QStringLiteral("001"));
        q->Next();
        q->Next();
        QCOMPARE(q->FieldByName(QStringLiteral("CDGRUPSERV"))->AsString(), QStringLiteral("003"));
        // Open on an open query keeps the position.
        q->Open();
        QCOMPARE(q->FieldByName(QStringLiteral("CDGRUPSERV"))->AsString(), QStringLiteral("003"));
        // First goes back.
        q->First();
        QCOMPARE(q->FieldByName(QStringLiteral("CDGRUPSERV"))->AsString(), QStringLiteral("001"));
        int n = 0;
        for (; !q->GetEOF(); q->Next())
            ++n;
        QCOMPARE(n, 10);
        // Past the end: empty values, Next stays at the end, not empty.
        QCOMPARE(q->FieldByName(QStringLiteral("CDGRUPSERV"))->AsString(), QString());
        q->Next();
        QVERIFY(q->GetEOF());
        QVERIFY(!q->IsEmpty());
        q->setActive(false);
        QVERIFY(!q->Active());
    }

    void firstRunsWithTheValuesItWasOpenedWith()
    {
        TADOIBQuery *q = query("qryTAgreg");
        q->Close();
        q->ParamByName(QStringLiteral("P_CDFILCENTXEV")).SetAsString(QStringLiteral("0200"));
        q->ParamByName(QStringLiteral("P_CDFILIAL")).Clear();
        q->Open();
        q->Next();
        // Changing a value while open does not change the open result.
        q->ParamByName(QStringLiteral("P_CDFILCENTXEV")).SetAsString(QStringLiteral("0100"));
        q->First();
        QCOMPARE(q->FieldByName(QStringLiteral("CDFILIAL"))->AsString(), QStringLiteral("0201"));
        QCOMPARE(q->dataSet()->BoundValues().value(QStringLiteral("P_CDFILCENTXEV")).toString(), QStringLiteral("0200"));
        q->Close();
        QCOMPARE(q->dataSet()->BoundValues().value(QStringLiteral("P_CDFILCENTXEV")).toString(), QStringLiteral("0100"));
        QVERIFY(q->dataSet()->BoundValues().contains(QStringLiteral("P_CDFILIAL")));
        QVERIFY(q->dataSet()->BoundValues().value(QStringLiteral("P_CDFILIAL")).isNull());
    }

    void settingATextCloses()
    {
        TADOIBQuery q;
        q.setSQL({QStringLiteral("SELECT 1 AS A")});
        q.Open();
        QVERIFY(q.Active());
        q.setSQL({QStringLiteral("SELECT 2 AS A")});
        QVERIFY(!q.Active());
        q.Open();
        QCOMPARE(q.FieldByName(QStringLiteral("A"))->AsString(), QStringLiteral("2"));
    }

    // --- parameters ------------------------------------------------------------------

    void parameters()
    {
        TADOIBQuery q;
        q.setObjectName(QStringLiteral("qryTeste"));
        // ParamCheck: a name used in a text exists without being declared.
        q.setSQL({QStringLiteral("SELECT :P_A AS A, :P_B AS B, :P_A || :P_B AS AB")});
        q.ParamByName(QStringLiteral("p_a")).SetAsString(QStringLiteral("x"));
        q.ParamByName(QStringLiteral("P_B")).SetAsInteger(5);
        q.Open();
        QCOMPARE(q.FieldByName(QStringLiteral("AB"))->AsString(), QStringLiteral("x5"));
        // A name in no text is an error naming query and parameter.
        const QString err = hostError([&] { q.ParamByName(QStringLiteral("P_C")); });
        QVERIFY2(err.contains(QLatin1String("qryTeste")) && err.contains(QLatin1String("P_C")), qPrintable(err));
        q.setProperty("ParamCheck", false);
        q.Params().clear();
        QVERIFY(hostError([&] { q.ParamByName(QStringLiteral("P_A")); }).contains(QLatin1String("P_A")));
        // A parameter never set is NULL.
        TADOIBQuery n;
        n.setSQL({QStringLiteral("SELECT COALESCE(:P_NADA, 'nulo') AS V")});
        n.Open();
        QCOMPARE(n.FieldByName(QStringLiteral("V"))->AsString(), QStringLiteral("nulo"));
    }

    void valuesAreNeverSpliced()
    {
        TADOIBQuery q;
        q.setSQL({QStringLiteral("SELECT COUNT(*) AS N FROM FILIAL WHERE CDFILIAL = :P_CDFILIAL")});
        q.ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(QStringLiteral("0101' OR '1'='1"));
        q.Open();
        QCOMPARE(q.FieldByName(QStringLiteral("N"))->AsString(), QStringLiteral("0"));
        q.Close();
        q.ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(QStringLiteral("0101"));
        q.Open();
        QCOMPARE(q.FieldByName(QStringLiteral("N"))->AsString(), QStringLiteral("1"));
        QVERIFY(q.dataSet()->ExecutedSql().contains(QLatin1String(":P_CDFILIAL")));
    }

    // --- fields ------------------------------------------------------------------------

    void fields()
    {
        TADOIBQuery *q = query("qryFilial");
        q->Close();
        q->ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(QStringLiteral("0101"));
        q->Open();
        // The persistent field, by any case.
        QCOMPARE(q->FieldByName(QStringLiteral("nmfilial")),
                 m_form->component<TADOIBStringField>(QStringLiteral("qryFilialNMFILIAL")));
        // Unknown column.
        QVERIFY(hostError([&] { q->FieldByName(QStringLiteral("NADA")); }).contains(QLatin1String("NADA")));

        // Transient fields for columns without persistent ones, the same object each time.
        TADOIBQuery t;
        t.setSQL({QStringLiteral("SELECT CDFILIAL, NMFILIAL FROM FILIAL ORDER BY CDFILIAL")});
        t.Open();
        TADOIBStringField *f = t.FieldByName(QStringLiteral("NMFILIAL"));
        QVERIFY(f->isTransient());
        QCOMPARE(t.FieldByName(QStringLiteral("NMFILIAL")), f);
        QCOMPARE(f->AsString(), QStringLiteral("Matriz Sede Administrativa"));
        QCOMPARE(f->Size(), TADOIBStringField::DefaultSize);
        QVERIFY(t.persistentFields().isEmpty());
        QCOMPARE(t.dataSet()->Fields().size(), 2);
        t.Close();
        QVERIFY(hostError([&] { f->AsString(); }).contains(QLatin1String("fechada")));
    }

    void persistentFieldMissingFromResult()
    {
        TADOIBQuery q;
        q.setObjectName(QStringLiteral("qryErrada"));
        auto *f = new TADOIBStringField(&q);
        f->setFieldName(QStringLiteral("NMCOLUNA"));
        q.setSQL({QStringLiteral("SELECT CDFILIAL FROM FILIAL")});
        const QString err = hostError([&] { q.Open(); });
        QVERIFY2(err.contains(QLatin1String("NMCOLUNA")) && err.contains(QLatin1String("qryErrada")), qPrintable(err));
        QVERIFY(!q.Active());
    }

    // --- database errors -----------------------------------------------------------------

    void databaseErrorsCarryTheDriversText()
    {
        TADOIBQuery q;
        q.setSQL({QStringLiteral("SELECT * FROM TABELA_QUE_NAO_EXISTE")});
        // A sentence in Portuguese saying what failed, the engine's words after it.
        QCOMPARE(hostError([&] { q.Open(); }),
                 QStringLiteral("O banco de dados não aceitou a consulta como está escrita. Confira o texto da "
                                "instrução. O banco de dados disse: no such table: TABELA_QUE_NAO_EXISTE."));
        QVERIFY(!q.Active());
        q.setSQL({QStringLiteral("SELEC CDFILIAL FROM FILIAL")});
        QVERIFY(hostError([&] { q.Open(); }).contains(QLatin1String("syntax error")));
        // Two commands in one text: said in Portuguese, not SQLite's "not an error".
        q.setSQL({QStringLiteral("SELECT CDFILIAL FROM FILIAL; SELECT 1")});
        const QString two = hostError([&] { q.Open(); });
        QVERIFY2(two.contains(QLatin1String("mais de um comando")) && !two.contains(QLatin1String("not an error")),
                 qPrintable(two));
        // An error that only shows while rows are read.
        q.setSQL({QStringLiteral("SELECT CASE WHEN CDFILIAL = '0900' THEN abs(-9223372036854775807 - 1) ELSE 1 END AS X "
                                 "FROM FILIAL ORDER BY CDFILIAL")});
        const QString err = hostError([&] {
            q.Open();
            for (; !q.GetEOF(); q.Next()) {
            }
        });
        QVERIFY2(err.contains(QLatin1String("integer overflow")), qPrintable(err));
        QVERIFY(!q.Active());
    }

    void noDatabase()
    {
        m_dm->close();
        TADOIBQuery q;
        q.setSQL({QStringLiteral("SELECT 1 AS A")});
        QVERIFY(hostError([&] { q.Open(); }).contains(QLatin1String("banco de dados")));
        m_dm = DemoDatabase::openSqlite(m_dir, DemoDatabase::small());
        q.Open();
        QVERIFY(q.Active());
        // Closing the database closes the open queries with it.
        m_dm->close();
        QVERIFY(!q.Active());
        m_dm = DemoDatabase::openSqlite(m_dir, DemoDatabase::small());
    }

    // --- data set: lists and paging --------------------------------------------------------

    void dataSetForLists()
    {
        TADOIBDataSet *ds = query("qryProduto")->dataSet();
        ds->Close();
        QCOMPARE(ds->ColumnNames(), QStringList({"CDARVPROD", "NMPRODUTO", "CDNVPRODUTO"}));
        QVERIFY(!ds->Active());
        const auto visible = ds->VisibleFields();
        QCOMPARE(visible.size(), 2);
        QCOMPARE(visible[0]->DisplayName(), QStringLiteral("Código"));
        QCOMPARE(visible[1]->DisplayName(), QStringLiteral("Nome"));
        visible[0]->setEditMask(QStringLiteral("99.99.9999;0; "));
        QCOMPARE(ds->Fields().first()->EditMask(), QStringLiteral("99.99.9999;0; "));
    }

    void pagesFollowTheQueryOrder()
    {
        const QStringList all = allProducts();
        TADOIBDataSet *ds = query("qryProduto")->dataSet();
        QCOMPARE(ds->CountRows(), qint64(all.size()));
        QStringList paged;
        for (qint64 offset = 0;; offset += 37) {
            const auto rows = ds->FetchPage(RowFilter(), offset, 37);
            for (const auto &r : rows)
                paged << r.at(0).toString();
            if (rows.size() < 37)
                break;
        }
        QCOMPARE(paged, all);
        QVERIFY(ds->FetchPage(RowFilter(), all.size(), 10).isEmpty());
        QVERIFY(ds->FetchPage(RowFilter(), 0, 0).isEmpty());
        QCOMPARE(ds->FetchPage(RowFilter(), -5, 1).first().at(0).toString(), all.first());
    }

    void filters()
    {
        TADOIBDataSet *ds = query("qryProduto")->dataSet();
        RowFilter f;
        f.columns = QStringList({"CDARVPROD", "NMPRODUTO"});
        f.text = QStringLiteral("açúcar");
        const auto rows = ds->FetchPage(f, 0, 100);
        QStringList names;
        for (const auto &r : rows)
            names << r.at(1).toString();
        // Case and accents of the letters typed do not need to match the stored case.
        QVERIFY(names.contains(QStringLiteral("Açúcar e Mel")));
        QVERIFY(names.contains(QStringLiteral("Açúcar Cristal 1 kg")));
        for (const QString &n : names)
            QVERIFY2(n.toUpper().contains(QStringLiteral("AÇÚCAR")), qPrintable(n));
        QCOMPARE(ds->CountRows(f), qint64(rows.size()));
        // Codes by prefix.
        f.text = QStringLiteral("0603");
        f.prefix = true;
        f.columns = QStringList({"CDARVPROD"});
        QCOMPARE(ds->CountRows(f), qint64(1 + 4 * 3));
        // % and _ are plain characters.
        f.prefix = false;
        f.text = QStringLiteral("%");
        QCOMPARE(ds->CountRows(f), qint64(0));
        f.text = QStringLiteral("0_01");
        QCOMPARE(ds->CountRows(f), qint64(0));
        // Only result columns can be searched.
        f.columns = QStringList({"NMPRODUTO) OR (1=1"});
        const QString err = hostError([&] { ds->CountRows(f); });
        QVERIFY2(err.contains(QStringLiteral("não encontrado")), qPrintable(err));
    }

    void pagingKeepsTheQueryParameters()
    {
        TADOIBQuery *q = query("qryServico");
        q->Close();
        q->ParamByName(QStringLiteral("P_CDFILIAL")).SetAsString(QStringLiteral("0101"));
        q->ParamByName(QStringLiteral("P_CDGRUPSERV")).SetAsString(QStringLiteral("003_007"));
        q->ParamByName(QStringLiteral("P_TCDGRUPSERV")).SetAsString(QString());
        q->Open();
        const auto rows = q->dataSet()->FetchPage(RowFilter(), 0, 50);
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows.last().at(0).toString(), QStringLiteral("00008"));
        RowFilter f;
        f.columns = QStringList({"NMSERVICO"});
        f.text = QStringLiteral("dieta");
        QCOMPARE(q->dataSet()->CountRows(f), qint64(2));
    }

    void openOnKeyAndLocate()
    {
        TADOIBDataSet *ds = query("qryProduto")->dataSet();
        ds->Close();
        QVERIFY(ds->OpenOnKey(QStringLiteral("CDARVPROD"), QStringLiteral("06030002")));
        QVERIFY(ds->Active());
        QCOMPARE(ds->FieldByName(QStringLiteral("NMPRODUTO"))->AsString(), QStringLiteral("Polpa de Acerola 5 kg"));
        ds->Next();
        QVERIFY(ds->GetEOF());
        QVERIFY(!ds->OpenOnKey(QStringLiteral("CDARVPROD"), QStringLiteral("99")));
        QVERIFY(ds->Active());
        QVERIFY(ds->IsEmpty());
        QVERIFY(hostError([&] { ds->OpenOnKey(QStringLiteral("X; DROP TABLE PRODUTO"), 1); }).contains(QStringLiteral("não encontrado")));

        ds->Close();
        QVERIFY(ds->Locate(QStringLiteral("CDARVPROD"), QStringLiteral("0102")));
        QCOMPARE(ds->FieldByName(QStringLiteral("NMPRODUTO"))->AsString(), QStringLiteral("Farinhas e Massas"));
        // Locate keeps the whole result: the next row follows.
        ds->Next();
        QCOMPARE(ds->FieldByName(QStringLiteral("CDARVPROD"))->AsString(), QStringLiteral("01020001"));
        QVERIFY(!ds->Locate(QStringLiteral("CDARVPROD"), QStringLiteral("9999")));
        QCOMPARE(ds->FieldByName(QStringLiteral("CDARVPROD"))->AsString(), QStringLiteral("01"));
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestQueryComponent)
#include "test_query_component.moc"
