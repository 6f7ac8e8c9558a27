// "Repetir últimos parâmetros": the choices that last went to a report come
// back into a new screen as if typed, names looked up again, and a kept
// branch that no longer exists is refused as typing it would be.
#include "core/Dispatch.h"
#include "data/TParam.h"
#include "module/Pkg_xev01700.h"
#include "screen/TfrmRealGlobal.h"
#include "support/ScreenFixture.h"
#include "ui/ScriptedHostUi.h"
#include "widgets/TCheckBox.h"
#include "widgets/TComboBox.h"
#include "widgets/TDateEditPlus.h"
#include "widgets/TEdit.h"
#include "widgets/TMaskEdit.h"
#include "widgets/TRadioButton.h"
#include "widgets/TRadioGroup.h"
#include "widgets/TSpinEdit.h"

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

void repeat(TfrmRealGlobal *s)
{
    Dispatch::guard([&] { s->RepeatLastParameters(); });
}
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
        s->medCdFilial->setText_(QStringLiteral("0101"));
        s->depDataInic->SetDate(QDate(2026, 3, 2));
        s->depDataFina->SetDate(QDate(2026, 3, 31));
        s->rbtListaGrup->setChecked_(true);
        ListaGrup = QStringLiteral("003");
        s->medCdProdInic->setText_(QStringLiteral("01"));
        s->medCdProdFina->setText_(QStringLiteral("02"));
        s->rdgOrdena->setItemIndex(1);
        s->chbNaoEstoc->setChecked(false);
        sendToReport(s);
        fx.closeScreen();

        TfrmRealGlobal *again = fx.open();
        QVERIFY(again);
        QVERIFY(again->medCdFilial->Text().isEmpty());
        repeat(again);
        QCOMPARE(again->medCdFilial->Text(), QStringLiteral("0101"));
        QVERIFY(!again->edtNmFilial->Text().isEmpty());
        QCOMPARE(again->depDataInic->GetDate(), QDate(2026, 3, 2));
        QCOMPARE(again->edtDataInic->Text(), QStringLiteral("Seg"));
        QCOMPARE(again->depDataFina->GetDate(), QDate(2026, 3, 31));
        QVERIFY(again->rbtListaGrup->isChecked());
        QCOMPARE(ListaGrup, QStringLiteral("003"));
        // The ticked count shows beside the group button, the codes in its tip.
        auto *count = again->findChild<QLabel *>(QStringLiteral("sbtGrupServQtde"));
        QVERIFY(count);
        // The box is narrow: the words give way to the bare count.
        QVERIFY(count->text() == QStringLiteral("1 marcado") || count->text() == QStringLiteral("(1)"));
        QCOMPARE(count->toolTip(), QStringLiteral("1 marcado: 003"));
        QVERIFY(again->findChild<QLabel *>(QStringLiteral("sbtServicoQtde"))->text().isEmpty());
        QVERIFY(again->rbtTodosServ->isChecked());
        QCOMPARE(again->medCdProdInic->Text(), QStringLiteral("01"));
        QVERIFY(!again->edtNmProdInic->Text().isEmpty());
        QVERIFY(!again->edtNmProdFina->Text().isEmpty());
        QCOMPARE(again->rdgOrdena->ItemIndex(), 1);
        QVERIFY(again->chbEstocaveis->isChecked());
        QVERIFY(!again->chbNaoEstoc->isChecked());
        QVERIFY(fx.ui->messages.isEmpty());
    }

    void nothingKeptChangesNothing()
    {
        ScreenFixture fx(QStringLiteral("0100"));
        TfrmRealGlobal *s = fx.open();
        QVERIFY(s);
        const QDate before = s->depDataInic->GetDate();
        repeat(s);
        QVERIFY(s->medCdFilial->Text().isEmpty());
        QCOMPARE(s->depDataInic->GetDate(), before);
        QVERIFY(fx.ui->messages.isEmpty());
    }

    void aKeptBranchThatIsGoneIsRefusedAsTyped()
    {
        {
            ScreenFixture fx(QStringLiteral("0100"));
            TfrmRealGlobal *s = fx.open();
            QVERIFY(s);
            s->medCdFilial->setText_(QStringLiteral("0101"));
            sendToReport(s);
        }
        ScreenFixture fx(QStringLiteral("0100"));
        fx.exec(QStringLiteral("UPDATE FILIAL SET CDFILCENTXEV = NULL WHERE CDFILIAL = '0101'"));
        TfrmRealGlobal *s = fx.open();
        QVERIFY(s);
        repeat(s);
        QCOMPARE(fx.ui->messageTexts(), QStringList({"Filial não cadastrada."}));
        QVERIFY(s->edtNmFilial->Text().isEmpty());
    }
};

QTEST_MAIN(TestScreenRecall)
#include "test_screen_recall.moc"
