// Pesquisar_Plus and PesquisaLista over the screen's queries on the demo
// database: through the scripted HostUi (choices, cancel, empty list, the
// list written with its separator) and through the Qt dialog driven by keys.
#include "core/Errors.h"
#include "data/HostDatabase.h"
#include "data/TADOIBDataSet.h"
#include "data/TADOIBQuery.h"
#include "data/TADOIBStringField.h"
#include "data/TDataSource.h"
#include "lookup/SearchLists.h"
#include "support/SearchDatabase.h"
#include "ui/QtHostUi.h"
#include "ui/ScriptedHostUi.h"
#include "ui/SearchDialog.h"
#include "ui/SearchModel.h"

#include <QApplication>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>
#include <QTimer>

class TestSearchLists : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<TdtmDBGeral> dm;
    std::unique_ptr<TForm> form;
    ScriptedHostUi *ui = nullptr;

    TADOIBQuery *query(const char *name) { return form->component<TADOIBQuery>(QLatin1String(name)); }
    QObject *source(const char *name) { return form->component(QLatin1String(name)); }

    QStringList column(const QString &sql)
    {
        QSqlQuery q(HostDatabase::instance().database());
        q.exec(sql);
        QStringList out;
        while (q.next())
            out << q.value(0).toString();
        return out;
    }

    // Runs f while a timer drives the search dialog it opens.
    void withDialog(const std::function<void(SearchDialog *)> &drive, const std::function<void()> &f)
    {
        HostUi::install(std::make_unique<QtHostUi>());
        bool seen = false;
        QTimer::singleShot(0, this, [&] {
            auto *dlg = qobject_cast<SearchDialog *>(QApplication::activeModalWidget());
            if (!dlg)
                return;
            seen = true;
            drive(dlg);
        });
        f();
        QVERIFY(seen);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        dm = SearchDatabase::open(dir);
        form = SearchDatabase::queries();
    }
    void cleanupTestCase()
    {
        form.reset();
        dm.reset();
    }
    void init()
    {
        ui = HostUi::install(std::make_unique<ScriptedHostUi>());
        for (const char *q : {"qryProduto", "qryGrupServ", "qryServico", "qryTAgreg"})
            query(q)->Close();
    }
    void cleanup() { HostUi::uninstall(); }

    // --- Pesquisar_Plus -----------------------------------------------------------

    void productChosenLeavesTheQueryOnItsRow()
    {
        const QStringList codes = column("SELECT CDARVPROD FROM PRODUTO ORDER BY CDARVPROD");
        QVERIFY(codes.size() > 100);
        const QString wanted = codes.at(codes.size() - 3);
        const QString name = column("SELECT NMPRODUTO FROM PRODUTO WHERE CDARVPROD = '" + wanted + "'").value(0);
        ui->search.answers << SearchScript::Answer::choose({wanted});
        QVERIFY(!query("qryProduto")->Active());
        QVERIFY(Pesquisar_Plus(source("dtsProduto__"), QStringLiteral("Produto|Não há produto cadastrado."), false, true));
        TADOIBQuery *q = query("qryProduto");
        QVERIFY(q->Active());
        QCOMPARE(q->FieldByName("CDARVPROD")->AsString(), wanted);
        QCOMPARE(q->FieldByName("NMPRODUTO")->AsString(), name);
        QCOMPARE(ui->search.shown.size(), 1);
        QCOMPARE(ui->search.shown[0].title, QStringLiteral("Produto"));
        QCOMPARE(ui->search.shown[0].rows, codes.size());
        QVERIFY(!ui->search.shown[0].multiple);
    }

    void productSearchCancelled()
    {
        ui->search.answers << SearchScript::Answer::cancelled();
        QVERIFY(!Pesquisar_Plus(source("dtsProduto__"), QStringLiteral("Produto|Não há produto cadastrado."), false, true));
        QVERIFY(ui->messages.isEmpty());
        QCOMPARE(ui->search.shown.size(), 1);
    }

    void keepOpenListsTheValuesTheSetWasOpenedWith()
    {
        TADOIBQuery *q = query("qryServico");
        q->ParamByName("P_CDFILIAL").SetAsString("0101");
        q->ParamByName("P_CDGRUPSERV").SetAsString("");
        q->ParamByName("P_TCDGRUPSERV").SetAsString("T");
        q->Open();
        const int of0101 = column("SELECT COUNT(*) FROM SERVICO WHERE CDFILIAL = '0101'").value(0).toInt();
        const int of0201 = column("SELECT COUNT(*) FROM SERVICO WHERE CDFILIAL = '0201'").value(0).toInt();
        QVERIFY(of0101 != of0201 && of0201 > 0);
        q->ParamByName("P_CDFILIAL").SetAsString("0201"); // set, not yet reopened
        QVERIFY(!Pesquisar_Plus(source("dtsServico__"), QStringLiteral("Serviço|vazio"), true, true));
        QCOMPARE(ui->search.shown.last().rows, of0101);
        QVERIFY(!Pesquisar_Plus(source("dtsServico__"), QStringLiteral("Serviço|vazio"), false, true));
        QCOMPARE(ui->search.shown.last().rows, of0201);
    }

    void emptyListShowsItsText()
    {
        TADOIBQuery *q = query("qryTAgreg");
        q->ParamByName("P_CDFILIAL").Clear();
        q->ParamByName("P_CDFILCENTXEV").SetAsString("0900"); // no branch of its own
        ui->search.answers << SearchScript::Answer::choose({"0901"});
        QVERIFY(!Pesquisar_Plus(source("dtsFilial__"),
                                QStringLiteral("Filial Agregada|Não há filial agregada cadastrada para essa central de merenda."),
                                false, true));
        QCOMPARE(ui->messageTexts(), QStringList{"Não há filial agregada cadastrada para essa central de merenda."});
        QCOMPARE(ui->search.shown[0].rows, 0);
    }

    void dataSourceWithoutDataSet()
    {
        TDataSource empty;
        QVERIFY_THROWS_EXCEPTION(EHostError, Pesquisar_Plus(&empty, "x|y", false, true));
        QString list;
        QVERIFY_THROWS_EXCEPTION(EHostError, PesquisaLista(nullptr, "CDGRUPSERV", "x|y", false, list));
    }

    // --- PesquisaLista --------------------------------------------------------------

    void groupsWrittenWithTheSeparatorInRowOrder()
    {
        query("qryGrupServ")->Open();
        QString list = QStringLiteral("old");
        ui->search.answers << SearchScript::Answer::choose({"003", "001"});
        QVERIFY(PesquisaLista(source("dtsGrupServ__"), "CDGRUPSERV",
                              QStringLiteral("Grupo de Serviços|Não há grupo de serviços cadastrado."), false, list));
        QCOMPARE(list, QStringLiteral("001;003"));
        QCOMPARE(splitLista(list), QStringList({"001", "003"}));
        QVERIFY(ui->search.shown[0].multiple);
        QCOMPARE(ui->search.shown[0].title, QStringLiteral("Grupo de Serviços"));
    }

    void substringSearchFindsExactlyTheChosenCodes()
    {
        // 001 and 002 side by side would hold 010 and 100 across the joint.
        const QStringList all = column("SELECT CDGRUPSERV FROM GRUPSERV");
        QVERIFY(all.contains("010"));
        QString list;
        ui->search.answers << SearchScript::Answer::choose({"001", "002"});
        QVERIFY(PesquisaLista(source("dtsGrupServ__"), "CDGRUPSERV", "g|e", false, list));
        for (const QString &code : all)
            QCOMPARE(list.contains(code), code == "001" || code == "002");
        QVERIFY(!list.contains("100"));
        // What the service query makes of it: only services of those groups.
        TADOIBQuery *q = query("qryServico");
        q->ParamByName("P_CDFILIAL").SetAsString("0101");
        q->ParamByName("P_CDGRUPSERV").SetAsString(list);
        q->ParamByName("P_TCDGRUPSERV").SetAsString("");
        q->Open();
        QStringList services;
        for (; !q->GetEOF(); q->Next())
            services << q->FieldByName("CDSERVFILI")->AsString();
        QCOMPARE(services, column("SELECT CDSERVFILI FROM SERVICO WHERE CDFILIAL = '0101' "
                                  "AND CDGRUPSERV IN ('001', '002') ORDER BY CDSERVFILI"));
        QVERIFY(!services.isEmpty());
    }

    void cancelKeepsTheList()
    {
        QString list = QStringLiteral("004;005");
        ui->search.answers << SearchScript::Answer::cancelled();
        QVERIFY(!PesquisaLista(source("dtsGrupServ__"), "CDGRUPSERV", "g|e", false, list));
        QCOMPARE(list, QStringLiteral("004;005"));
    }

    void accumulateAddsToTheList()
    {
        QString list = QStringLiteral("007");
        ui->search.answers << SearchScript::Answer::choose({"001", "007"});
        QVERIFY(PesquisaLista(source("dtsGrupServ__"), "CDGRUPSERV", "g|e", true, list));
        QCOMPARE(list, QStringLiteral("007;001"));
    }

    void emptyServiceList()
    {
        TADOIBQuery *q = query("qryServico");
        q->ParamByName("P_CDFILIAL").SetAsString("0900");
        q->ParamByName("P_CDGRUPSERV").SetAsString("");
        q->ParamByName("P_TCDGRUPSERV").SetAsString("T");
        q->Open();
        QString list = QStringLiteral("00001");
        QVERIFY(!PesquisaLista(source("dtsServico__"), "CDSERVFILI",
                               QStringLiteral("Serviço|Não há serviço cadastrado para o grupo de serviços informado."),
                               false, list));
        QCOMPARE(list, QStringLiteral("00001"));
        QCOMPARE(ui->messageTexts(), QStringList{"Não há serviço cadastrado para o grupo de serviços informado."});
    }

    void codeHoldingTheSeparatorIsRefused()
    {
        TADOIBQuery odd;
        odd.setSQL({"SELECT CDGRUPSERV || ';X' AS CODIGO, NMGRUPSERV FROM GRUPSERV ORDER BY 1"});
        QString list;
        ui->search.answers << SearchScript::Answer::choose({"001;X"});
        QVERIFY_THROWS_EXCEPTION(EHostError, PesquisaLista(odd.Query(), "CODIGO", "g|e", false, list));
        QCOMPARE(list, QString());
    }

    // --- the Qt dialog over the database --------------------------------------------

    void dialogFiltersInTheDatabaseAndTicks()
    {
        QString list;
        withDialog(
            [](SearchDialog *dlg) {
                QTest::keyClicks(dlg->table(), QStringLiteral("lanche"));
                // The statement runs once typing pauses.
                QCOMPARE(dlg->model()->rowCount(), 10);
                QTRY_COMPARE(dlg->model()->rowCount(), 2); // 002, 004
                QTest::keyClick(dlg->table(), Qt::Key_Space);
                QTest::keyClick(dlg->table(), Qt::Key_Down);
                QTest::keyClick(dlg->table(), Qt::Key_Space);
                QTest::keyClick(dlg->table(), Qt::Key_Return);
            },
            [&] { QVERIFY(PesquisaLista(source("dtsGrupServ__"), "CDGRUPSERV", "Grupo|vazio", false, list)); });
        QCOMPARE(list, QStringLiteral("002;004"));
    }

    void dialogStartsWithTheEarlierChoiceTicked()
    {
        QString list = QStringLiteral("003;009");
        withDialog(
            [](SearchDialog *dlg) {
                QVERIFY(dlg->model()->isTicked(2));
                QVERIFY(dlg->model()->isTicked(8));
                QVERIFY(!dlg->model()->isTicked(0));
                QTest::keyClick(dlg->table(), Qt::Key_Down);
                QTest::keyClick(dlg->table(), Qt::Key_Down);
                QTest::keyClick(dlg->table(), Qt::Key_Space); // unticks 003
                QTest::keyClick(dlg->table(), Qt::Key_Return);
            },
            [&] { QVERIFY(PesquisaLista(source("dtsGrupServ__"), "CDGRUPSERV", "Grupo|vazio", false, list)); });
        QCOMPARE(list, QStringLiteral("009"));
    }

    void dialogChoosesAProductTypedWithItsMask()
    {
        TADOIBStringField *code = query("qryProduto")->FieldByName("CDARVPROD");
        code->setEditMask(QStringLiteral("99.99.9999;0; "));
        const QString wanted = column("SELECT CDARVPROD FROM PRODUTO WHERE CDNVPRODUTO = '3' ORDER BY CDARVPROD").value(5);
        QVERIFY(wanted.size() == 8);
        const QString typed = wanted.left(2) + "." + wanted.mid(2, 2) + "." + wanted.mid(4);
        withDialog(
            [&](SearchDialog *dlg) {
                QCOMPARE(dlg->model()->data(dlg->model()->index(0, 0), Qt::DisplayRole).toString().size(), 2);
                QTest::keyClicks(dlg->table(), typed);
                dlg->applyFilterNow();
                QCOMPARE(dlg->model()->rowCount(), 1);
                QCOMPARE(dlg->model()->data(dlg->model()->index(0, 0), Qt::DisplayRole).toString(), typed);
                QTest::keyClick(dlg->table(), Qt::Key_Return);
            },
            [&] { QVERIFY(Pesquisar_Plus(source("dtsProduto__"), "Produto|vazio", false, true)); });
        code->setEditMask(QString());
        QCOMPARE(query("qryProduto")->FieldByName("CDARVPROD")->AsString(), wanted);
    }

    void keysThatChooseApplyAPendingFilter()
    {
        QString list;
        withDialog(
            [](SearchDialog *dlg) {
                QTest::keyClicks(dlg->table(), QStringLiteral("jantar"));
                QTest::keyClick(dlg->table(), Qt::Key_Return); // before the pause ends
            },
            [&] { QVERIFY(PesquisaLista(source("dtsGrupServ__"), "CDGRUPSERV", "Grupo|vazio", false, list)); });
        QCOMPARE(list, QStringLiteral("005"));
    }

    void dialogEscapeCancels()
    {
        withDialog([](SearchDialog *dlg) { QTest::keyClick(dlg->table(), Qt::Key_Escape); },
                   [&] { QVERIFY(!Pesquisar_Plus(source("dtsProduto__"), "Produto|vazio", false, true)); });
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestSearchLists)
#include "test_search_lists.moc"
