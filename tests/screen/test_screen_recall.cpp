// "Repetir últimos parâmetros": the choices that last went to a report come
// back into a new screen as if typed, names looked up again, and a kept
// branch that no longer exists is refused as typing it would be.
#include "core/Dispatch.h"
#include "data/TParam.h"
#include "module/Pkg_xev01700.h"
#include "screen/RecalledParameters.h"
#include "screen/TfrmRealGlobal.h"
#include "support/ScreenFixture.h"
#include "support/ScreenView.h"
#include "ui/ScriptedHostUi.h"

#include <QLabel>
#include <QStandardPaths>
#include <QTest>

namespace {
// Hands the screen's parameters to a report, as a report command does.
void sendToReport(TfrmRealGlobal *s)
{
    TParams params;
    params.add(QStringLiteral("P_CDFILIAL"));
    bool flag = true;
    Dispatch::guard([&] { s->rpddPadraoBeforeGetQueryParams(&params, &flag); });
}

// "Repetir últimos parâmetros" as the menu and the scripted session give it.
void repeat(TfrmRealGlobal *s) { s->run(ReportCommand::Id::RepeatLastParameters); }
} // namespace

class TestScreenRecall : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init()
    {
        QFile::remove(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)
                      + QStringLiteral("/ultimos-parametros.ini"));
    }

    void theLastParametersComeBackAsTyped()
    {
        ScreenFixture fx(QStringLiteral("0100"));
        TfrmRealGlobal *s = fx.open();
        QVERIFY(s);
        ScreenView v(s);
        v.medCdFilial()->setText_(QStringLiteral("0101"));
        v.depDataInic()->SetDate(QDate(2026, 3, 2));
        v.depDataFina()->SetDate(QDate(2026, 3, 31));
        v.rbtListaGrup()->setChecked_(true);
        moduleState().ListaGrup = CodeList::fromSearch({QStringLiteral("003")});
        v.medCdProdInic()->setText_(QStringLiteral("01"));
        v.medCdProdFina()->setText_(QStringLiteral("02"));
        v.rdgOrdena()->setItemIndex(1);
        v.chbNaoEstoc()->setChecked(false);
        sendToReport(s);
        fx.closeScreen();

        TfrmRealGlobal *again = fx.open();
        QVERIFY(again);
        ScreenView w(again);
        QVERIFY(w.medCdFilial()->Text().isEmpty());
        repeat(again);
        QCOMPARE(w.medCdFilial()->Text(), QStringLiteral("0101"));
        QVERIFY(!w.edtNmFilial()->Text().isEmpty());
        QCOMPARE(w.depDataInic()->GetDate(), QDate(2026, 3, 2));
        QCOMPARE(w.edtDataInic()->Text(), QStringLiteral("Seg"));
        QCOMPARE(w.depDataFina()->GetDate(), QDate(2026, 3, 31));
        QVERIFY(w.rbtListaGrup()->isChecked());
        QCOMPARE(moduleState().ListaGrup.text(), QStringLiteral("003"));
        // The ticked count shows beside the group button, the codes in its tip.
        auto *count = again->findChild<QLabel *>(QStringLiteral("sbtGrupServQtde"));
        QVERIFY(count);
        // The box is narrow: the words give way to the bare count.
        QVERIFY(count->text() == QStringLiteral("1 marcado") || count->text() == QStringLiteral("(1)"));
        QCOMPARE(count->toolTip(), QStringLiteral("1 marcado: 003"));
        QVERIFY(again->findChild<QLabel *>(QStringLiteral("sbtServicoQtde"))->text().isEmpty());
        QVERIFY(w.rbtTodosServ()->isChecked());
        QCOMPARE(w.medCdProdInic()->Text(), QStringLiteral("01"));
        QVERIFY(!w.edtNmProdInic()->Text().isEmpty());
        QVERIFY(!w.edtNmProdFina()->Text().isEmpty());
        QCOMPARE(w.rdgOrdena()->ItemIndex(), 1);
        QVERIFY(w.chbEstocaveis()->isChecked());
        QVERIFY(!w.chbNaoEstoc()->isChecked());
        QVERIFY(fx.ui->messages.isEmpty());
    }

    void theScreensChoicesComeBackWhole()
    {
        ScreenFixture fx(QStringLiteral("0100"));
        TfrmRealGlobal *s = fx.open();
        QVERIFY(s);
        ScreenView v(s);
        v.medCdFilial()->setText_(QStringLiteral("0101"));
        v.depDataInic()->SetDate(QDate(2026, 3, 2));
        v.depDataFina()->SetDate(QDate(2026, 3, 31));
        v.rbtListaGrup()->setChecked_(true);
        moduleState().ListaGrup = CodeList::fromSearch({QStringLiteral("001"), QStringLiteral("003")});
        v.rbtListaServ()->setChecked_(true);
        moduleState().ListaServPesq = CodeList::fromSearch({QStringLiteral("00001")});
        v.medCdProdInic()->setText_(QStringLiteral("01"));
        v.medCdProdFina()->setText_(QStringLiteral("02"));
        v.sedNiveOrde()->setValue_(1);
        v.rdgOrdena()->setItemIndex(1);
        v.chbEstocaveis()->setChecked(false);
        const ScreenChoices before = s->choices();
        QCOMPARE(before.level, 1);
        QCOMPARE(before.groups.codes(), QStringList({"001", "003"}));
        fx.closeScreen();

        TfrmRealGlobal *again = fx.open();
        QVERIFY(again);
        Dispatch::guard([&] { again->apply(before); });
        QVERIFY(fx.ui->messages.isEmpty());
        const ScreenChoices after = again->choices();
        QCOMPARE(after.branch, before.branch);
        QCOMPARE(after.costType, before.costType);
        QCOMPARE(after.dateInitial, before.dateInitial);
        QCOMPARE(after.dateFinal, before.dateFinal);
        QVERIFY(after.groupsListed && after.servicesListed);
        QCOMPARE(after.groups.text(), QStringLiteral("001;003"));
        QCOMPARE(after.services.text(), QStringLiteral("00001"));
        QCOMPARE(after.productInitial, before.productInitial);
        QCOMPARE(after.productFinal, before.productFinal);
        QCOMPARE(after.level, 1);
        QCOMPARE(after.ordering, 1);
        QVERIFY(!after.stockable && after.nonStockable);
        QCOMPARE(ScreenView(again).sedNiveOrde()->Value(), 1);
    }

    void theKeptFormIsTheOneUsersFilesHold()
    {
        // As earlier versions wrote it: the lists as the search list joined them.
        const QVariantMap kept{{"filial", "0101"},           {"tipoCusto", "Custo médio"},
                               {"dataInicial", "2026-03-02"}, {"dataFinal", "2026-03-31"},
                               {"gruposEmLista", true},       {"listaGrup", "001;003"},
                               {"servicosEmLista", false},    {"listaServPesq", ""},
                               {"produtoInicial", "01"},      {"produtoFinal", "02"},
                               {"nivel", 1},                  {"ordenacao", 1},
                               {"estocaveis", true},          {"naoEstocaveis", false}};
        const ScreenChoices c = RecalledParameters::fromStored(kept);
        QCOMPARE(c.groups.codes(), QStringList({"001", "003"}));
        QVERIFY(c.services.isEmpty());
        QCOMPARE(c.level, 1);
        QCOMPARE(c.dateInitial, QDate(2026, 3, 2));
        QVERIFY(c.stockable && !c.nonStockable);
        QCOMPARE(RecalledParameters::stored(c), kept);

        // Nothing kept: the start-up defaults, the dates left alone.
        const ScreenChoices none = RecalledParameters::fromStored({});
        QVERIFY(!none.dateInitial.isValid() && !none.dateFinal.isValid());
        QVERIFY(none.stockable && none.nonStockable);
        QCOMPARE(none.level, 0);
        QVERIFY(none.groups.isEmpty());
    }

    void nothingKeptChangesNothing()
    {
        ScreenFixture fx(QStringLiteral("0100"));
        TfrmRealGlobal *s = fx.open();
        QVERIFY(s);
        ScreenView v(s);
        const QDate before = v.depDataInic()->GetDate();
        repeat(s);
        QVERIFY(v.medCdFilial()->Text().isEmpty());
        QCOMPARE(v.depDataInic()->GetDate(), before);
        QVERIFY(fx.ui->messages.isEmpty());
    }

    void aKeptBranchThatIsGoneIsRefusedAsTyped()
    {
        {
            ScreenFixture fx(QStringLiteral("0100"));
            TfrmRealGlobal *s = fx.open();
            QVERIFY(s);
            ScreenView v(s);
            v.medCdFilial()->setText_(QStringLiteral("0101"));
            sendToReport(s);
        }
        ScreenFixture fx(QStringLiteral("0100"));
        fx.exec(QStringLiteral("UPDATE FILIAL SET CDFILCENTXEV = NULL WHERE CDFILIAL = '0101'"));
        TfrmRealGlobal *s = fx.open();
        QVERIFY(s);
        repeat(s);
        QCOMPARE(fx.ui->messageTexts(), QStringList({"Filial não cadastrada."}));
        QVERIFY(ScreenView(s).edtNmFilial()->Text().isEmpty());
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestScreenRecall)
#include "test_screen_recall.moc"
