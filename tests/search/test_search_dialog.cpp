// The search list dialog and its model driven by keys under offscreen:
// lazy reading, filter, choose, cancel, ticks of a multiple choice, the
// empty-list text, read errors; and the scripted answers of ScriptedHostUi.
#include "VectorSource.h"
#include "ui/QtHostUi.h"
#include "ui/ScriptedHostUi.h"
#include "ui/SearchDialog.h"
#include "ui/SearchModel.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace {

// Products: code (masked), name; key is the code.
void products(VectorSource &s, int count)
{
    s.cols = {{QStringLiteral("Código"), QStringLiteral("99.99.9999;0; "), -1}, {QStringLiteral("Nome"), {}, -1}};
    for (int i = 0; i < count; ++i)
        s.rows << QStringList{QStringLiteral("0101%1").arg(i, 4, 10, QLatin1Char('0')),
                              QStringLiteral("Produto %1").arg(i)};
}

struct Shown {
    SearchDialog *dlg;
    explicit Shown(SearchDialog *d) : dlg(d)
    {
        d->show();
        d->activateWindow();
    }
    ~Shown() { delete dlg; }
};

QStringList shownCodes(SearchDialog *d)
{
    QStringList out;
    for (int r = 0; r < d->model()->rowCount(); ++r)
        out << d->model()->key(d->model()->sourceRow(r));
    return out;
}

} // namespace

class TestSearchDialog : public QObject {
    Q_OBJECT

    VectorSource src;

    SearchDialog *dialog(bool multiple, const QStringList &ticked = {}, bool filterBox = true)
    {
        SearchRequest req;
        req.title = QStringLiteral("Produto");
        req.emptyText = QStringLiteral("Não há produto cadastrado.");
        req.multiple = multiple;
        req.ticked = ticked;
        req.filterBox = filterBox;
        return new SearchDialog(req, src, nullptr);
    }

private slots:
    void init() { src = VectorSource(); }

    void opensOnTheFirstPageOnly()
    {
        products(src, 100000);
        Shown s(dialog(false));
        QVERIFY(QTest::qWaitForWindowActive(s.dlg));
        QCOMPARE(s.dlg->windowTitle(), QStringLiteral("Produto"));
        QCOMPARE(s.dlg->model()->fetchedCount(), SearchModel::kBatch);
        QVERIFY(src.rowsRead <= 2 * SearchModel::kBatch);
        QCOMPARE(s.dlg->currentRow(), 0);
        QVERIFY(s.dlg->table()->hasFocus());
    }

    void codesShownThroughTheirMask()
    {
        products(src, 3);
        src.rows << QStringList{QStringLiteral("01"), QStringLiteral("Grupo")}
                 << QStringList{QStringLiteral("0101"), QStringLiteral("Subgrupo")};
        Shown s(dialog(false));
        SearchModel *m = s.dlg->model();
        QCOMPARE(m->data(m->index(0, 0), Qt::DisplayRole).toString(), QStringLiteral("01.01.0000"));
        QCOMPARE(m->data(m->index(3, 0), Qt::DisplayRole).toString(), QStringLiteral("01"));
        QCOMPARE(m->data(m->index(4, 0), Qt::DisplayRole).toString(), QStringLiteral("01.01"));
        QCOMPARE(m->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Nome"));
    }

    void filterNarrowsAsTheUserTypes()
    {
        src.cols = {{QStringLiteral("Código"), {}, -1}, {QStringLiteral("Nome"), {}, -1}};
        src.rows = {{"001", "Feijão Carioca"}, {"002", "Arroz Agulhinha"}, {"003", "Açaí em Polpa"},
                    {"004", "FEIJÃO PRETO"}, {"005", "Farinha de Mandioca"}};
        Shown s(dialog(false));
        QVERIFY(QTest::qWaitForWindowActive(s.dlg));
        QTest::keyClicks(s.dlg->table(), QStringLiteral("feij"));
        QCOMPARE(s.dlg->filterEdit()->text(), QStringLiteral("feij"));
        QCOMPARE(shownCodes(s.dlg), QStringList({"001", "004"}));
        QCOMPARE(s.dlg->currentRow(), 0);
        // Accents and case do not matter.
        s.dlg->filterEdit()->clear();
        QTest::keyClicks(s.dlg->table(), QStringLiteral("ACAI"));
        QCOMPARE(shownCodes(s.dlg), QStringList({"003"}));
        // Backspace widens again; codes match as well as names.
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(s.dlg->table(), Qt::Key_Backspace);
        QCOMPARE(shownCodes(s.dlg).size(), 5);
        QTest::keyClicks(s.dlg->table(), QStringLiteral("005"));
        QCOMPARE(shownCodes(s.dlg), QStringList({"005"}));
        QTest::keyClicks(s.dlg->table(), QStringLiteral("x"));
        QCOMPARE(s.dlg->model()->rowCount(), 0);
        QVERIFY(s.dlg->findChildren<QLabel *>().last()->text().contains(QStringLiteral("Nenhum registro")));
    }

    void filterFindsCodesTypedWithTheirSeparators()
    {
        products(src, 20);
        Shown s(dialog(false));
        s.dlg->filterEdit()->setText(QStringLiteral("01.01.0013"));
        QCOMPARE(shownCodes(s.dlg), QStringList({"01010013"}));
        s.dlg->filterEdit()->setText(QStringLiteral("01010013"));
        QCOMPARE(shownCodes(s.dlg), QStringList({"01010013"}));
    }

    void filterReadsOnUntilItFindsRows()
    {
        products(src, 5000);
        Shown s(dialog(false));
        s.dlg->filterEdit()->setText(QStringLiteral("Produto 4321"));
        QCOMPARE(shownCodes(s.dlg), QStringList({"01014321"}));
        QVERIFY(s.dlg->model()->sourceAtEnd());
    }

    void enterChoosesTheCurrentRow()
    {
        products(src, 10);
        Shown s(dialog(false));
        QVERIFY(QTest::qWaitForWindowActive(s.dlg));
        QTest::keyClick(s.dlg->table(), Qt::Key_Down);
        QTest::keyClick(s.dlg->table(), Qt::Key_Down);
        QTest::keyClick(s.dlg->table(), Qt::Key_Up);
        QTest::keyClick(s.dlg->table(), Qt::Key_Return);
        QCOMPARE(s.dlg->result(), int(QDialog::Accepted));
        QCOMPARE(s.dlg->choice().row, 1);
        QCOMPARE(s.dlg->choice().keys, QStringList{"01010001"});
    }

    void enterInTheFilterBoxChooses()
    {
        products(src, 30);
        Shown s(dialog(false));
        QVERIFY(QTest::qWaitForWindowActive(s.dlg));
        s.dlg->filterEdit()->setFocus();
        QTest::keyClicks(s.dlg->filterEdit(), QStringLiteral("Produto 2"));
        // Arrows in the filter box move in the table.
        QTest::keyClick(s.dlg->filterEdit(), Qt::Key_Down);
        QTest::keyClick(s.dlg->filterEdit(), Qt::Key_Enter);
        QCOMPARE(s.dlg->result(), int(QDialog::Accepted));
        QCOMPARE(s.dlg->choice().keys, QStringList{"01010020"});
        QCOMPARE(s.dlg->choice().row, 20);
    }

    void escapeCancels()
    {
        products(src, 10);
        Shown s(dialog(false));
        QVERIFY(QTest::qWaitForWindowActive(s.dlg));
        QTest::keyClick(s.dlg->table(), Qt::Key_Down);
        QTest::keyClick(s.dlg->table(), Qt::Key_Escape);
        QCOMPARE(s.dlg->result(), int(QDialog::Rejected));
        QVERIFY(!s.dlg->isVisible());
    }

    void pageKeysMoveAndReadMore()
    {
        products(src, 1000);
        Shown s(dialog(false));
        QVERIFY(QTest::qWaitForWindowActive(s.dlg));
        int last = 0;
        for (int i = 0; i < 20; ++i) {
            QTest::keyClick(s.dlg->table(), Qt::Key_PageDown);
            QApplication::processEvents();
            QVERIFY(s.dlg->currentRow() >= last);
            last = s.dlg->currentRow();
        }
        QVERIFY2(last > SearchModel::kBatch, qPrintable(QString::number(last)));
        QVERIFY(s.dlg->model()->fetchedCount() > SearchModel::kBatch);
        QVERIFY(s.dlg->model()->fetchedCount() < 1000);
        QTest::keyClick(s.dlg->table(), Qt::Key_PageUp);
        QVERIFY(s.dlg->currentRow() < last);
    }

    void spaceTicksRowsOfAMultipleChoice()
    {
        products(src, 10);
        Shown s(dialog(true));
        QVERIFY(QTest::qWaitForWindowActive(s.dlg));
        QTest::keyClick(s.dlg->table(), Qt::Key_Down);
        QTest::keyClick(s.dlg->table(), Qt::Key_Down);
        QTest::keyClick(s.dlg->table(), Qt::Key_Space);
        QTest::keyClick(s.dlg->table(), Qt::Key_Up);
        QTest::keyClick(s.dlg->table(), Qt::Key_Up);
        QTest::keyClick(s.dlg->table(), Qt::Key_Space);
        QTest::keyClick(s.dlg->table(), Qt::Key_Down);
        QTest::keyClick(s.dlg->table(), Qt::Key_Space);
        QTest::keyClick(s.dlg->table(), Qt::Key_Space); // ticked and unticked
        QVERIFY(s.dlg->model()->isTicked(0));
        QVERIFY(!s.dlg->model()->isTicked(1));
        QCOMPARE(s.dlg->model()->data(s.dlg->model()->index(2, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
        QTest::keyClick(s.dlg->table(), Qt::Key_Return);
        QCOMPARE(s.dlg->result(), int(QDialog::Accepted));
        // In the order of the rows, not of the ticking.
        QCOMPARE(s.dlg->choice().keys, QStringList({"01010000", "01010002"}));
    }

    void ticksSurviveTheFilter()
    {
        products(src, 50);
        Shown s(dialog(true));
        QVERIFY(QTest::qWaitForWindowActive(s.dlg));
        QTest::keyClick(s.dlg->table(), Qt::Key_Space); // row 0
        s.dlg->filterEdit()->setText(QStringLiteral("Produto 4"));
        QTest::keyClick(s.dlg->table(), Qt::Key_Down);
        QTest::keyClick(s.dlg->table(), Qt::Key_Space); // "Produto 40"
        s.dlg->filterEdit()->clear();
        QVERIFY(s.dlg->model()->isTicked(0));
        QTest::keyClick(s.dlg->table(), Qt::Key_Enter);
        QCOMPARE(s.dlg->choice().keys, QStringList({"01010000", "01010040"}));
    }

    void enterWithoutTicksTakesTheCurrentRow()
    {
        products(src, 10);
        Shown s(dialog(true));
        QVERIFY(QTest::qWaitForWindowActive(s.dlg));
        QTest::keyClick(s.dlg->table(), Qt::Key_Down);
        QTest::keyClick(s.dlg->table(), Qt::Key_Return);
        QCOMPARE(s.dlg->choice().keys, QStringList{"01010001"});
    }

    void earlierChoiceStartsTicked()
    {
        products(src, 500);
        // One key beyond the first page, one that no row holds.
        Shown s(dialog(true, {"01010450", "99999999", "01010003"}));
        QVERIFY(QTest::qWaitForWindowActive(s.dlg));
        QVERIFY(s.dlg->model()->isTicked(3));
        QCOMPARE(s.dlg->model()->fetchedCount(), SearchModel::kBatch);
        QTest::keyClick(s.dlg->table(), Qt::Key_Return);
        QCOMPARE(s.dlg->choice().keys, QStringList({"01010003", "01010450"}));
    }

    void readErrorIsShownNotThrown()
    {
        products(src, 1000);
        src.failFromRead = 2;
        Shown s(dialog(true));
        QVERIFY(QTest::qWaitForWindowActive(s.dlg));
        for (int i = 0; i < 10; ++i)
            QTest::keyClick(s.dlg->table(), Qt::Key_PageDown);
        QApplication::processEvents();
        QCOMPARE(s.dlg->model()->readError(), QStringLiteral("conexão perdida"));
        QVERIFY(s.dlg->findChildren<QLabel *>().last()->text().contains(QStringLiteral("conexão perdida")));
        QCOMPARE(s.dlg->model()->fetchedCount(), SearchModel::kBatch);
        // A multiple choice that could not be read whole is not taken.
        QTest::keyClick(s.dlg->table(), Qt::Key_Space);
        QTest::keyClick(s.dlg->table(), Qt::Key_Return);
        QVERIFY(s.dlg->isVisible());
        QTest::keyClick(s.dlg->table(), Qt::Key_Escape);
        QCOMPARE(s.dlg->result(), int(QDialog::Rejected));
    }

    void withoutFilterBoxTypingJumps()
    {
        src.cols = {{QStringLiteral("Nome"), {}, -1}};
        src.rows = {{"Abacate"}, {"Banana"}, {"Caju"}, {"Cenoura"}, {"Damasco"}};
        Shown s(dialog(false, {}, false));
        QVERIFY(QTest::qWaitForWindowActive(s.dlg));
        QVERIFY(!s.dlg->filterEdit()->isVisible());
        QTest::keyClicks(s.dlg->table(), QStringLiteral("ce"));
        QCOMPARE(s.dlg->currentRow(), 3);
        QCOMPARE(s.dlg->model()->rowCount(), 5);
    }

    // --- through QtHostUi, as the host calls it --------------------------------

    void hostUiRunsTheDialogModally()
    {
        products(src, 10);
        QtHostUi ui;
        SearchRequest req;
        req.title = QStringLiteral("Produto");
        SearchChoice choice;
        bool seen = false;
        QTimer::singleShot(0, this, [&] {
            auto *dlg = qobject_cast<SearchDialog *>(QApplication::activeModalWidget());
            QVERIFY(dlg);
            seen = true;
            QTest::keyClick(dlg->table(), Qt::Key_Down);
            QTest::keyClick(dlg->table(), Qt::Key_Down);
            QTest::keyClick(dlg->table(), Qt::Key_Return);
        });
        QVERIFY(ui.searchList(req, src, choice));
        QVERIFY(seen);
        QCOMPARE(choice.row, 2);
        QCOMPARE(choice.keys, QStringList{"01010002"});
    }

    void hostUiShowsTheEmptyListText()
    {
        products(src, 0);
        QtHostUi ui;
        SearchRequest req;
        req.title = QStringLiteral("Produto");
        req.emptyText = QStringLiteral("Não há produto cadastrado.");
        QString shownText;
        bool dialogSeen = false;
        QTimer::singleShot(0, this, [&] {
            QWidget *w = QApplication::activeModalWidget();
            dialogSeen = qobject_cast<SearchDialog *>(w) != nullptr;
            if (auto *box = qobject_cast<QMessageBox *>(w)) {
                shownText = box->text();
                box->accept();
            }
        });
        SearchChoice choice;
        QVERIFY(!ui.searchList(req, src, choice));
        QCOMPARE(shownText, QStringLiteral("Não há produto cadastrado."));
        QVERIFY(!dialogSeen);
    }

    // --- scripted answers -------------------------------------------------------

    void scriptedAnswersFromTheQueue()
    {
        products(src, 5);
        ScriptedHostUi ui;
        QList<SearchScript::Shown> reported;
        ui.search.onSearch = [&](const SearchScript::Shown &s) { reported << s; };
        ui.search.answers << SearchScript::Answer::choose({"01010003"});
        SearchRequest req;
        req.title = QStringLiteral("Produto");
        SearchChoice choice;
        QVERIFY(ui.searchList(req, src, choice));
        QCOMPARE(choice.row, 3);
        QCOMPARE(choice.keys, QStringList{"01010003"});
        QCOMPARE(ui.search.shown.size(), 1);
        QCOMPARE(ui.search.shown[0].title, QStringLiteral("Produto"));
        QCOMPARE(ui.search.shown[0].rows, 5);
        QCOMPARE(reported.size(), 1);
        QVERIFY(ui.search.answers.isEmpty());
    }

    void scriptedCancelAndMissingAnswer()
    {
        products(src, 5);
        ScriptedHostUi ui;
        ui.search.answers << SearchScript::Answer::cancelled();
        SearchRequest req;
        SearchChoice choice;
        QVERIFY(!ui.searchList(req, src, choice));
        VectorSource again;
        products(again, 5);
        QVERIFY(!ui.searchList(req, again, choice)); // no answer queued: cancel
        QCOMPARE(ui.search.shown.size(), 2);
        QVERIFY(ui.messages.isEmpty());
    }

    void scriptedMultipleChoiceInRowOrder()
    {
        products(src, 8);
        ScriptedHostUi ui;
        ui.search.answers << SearchScript::Answer::choose({"01010006", "01010002", "77777777"});
        SearchRequest req;
        req.multiple = true;
        SearchChoice choice;
        QVERIFY(ui.searchList(req, src, choice));
        QCOMPARE(choice.keys, QStringList({"01010002", "01010006"}));
        QCOMPARE(ui.search.shown[0].unmatched, QStringList{"77777777"});
        QCOMPARE(ui.search.shown[0].chosen, choice.keys);
    }

    void scriptedAnswerNoRowHoldsIsACancel()
    {
        products(src, 3);
        ScriptedHostUi ui;
        ui.search.answers << SearchScript::Answer::choose({"nope"});
        SearchRequest req;
        SearchChoice choice;
        QVERIFY(!ui.searchList(req, src, choice));
        QCOMPARE(ui.search.shown[0].unmatched, QStringList{"nope"});
    }

    void scriptedEmptyListShowsItsTextAndKeepsTheAnswer()
    {
        products(src, 0);
        ScriptedHostUi ui;
        ui.search.answers << SearchScript::Answer::choose({"x"});
        SearchRequest req;
        req.title = QStringLiteral("Grupo de Serviços");
        req.emptyText = QStringLiteral("Não há grupo de serviços cadastrado.");
        SearchChoice choice;
        QVERIFY(!ui.searchList(req, src, choice));
        QCOMPARE(ui.messageTexts(), QStringList{"Não há grupo de serviços cadastrado."});
        QCOMPARE(ui.messages[0].kind, ScriptedHostUi::Message::Info);
        QCOMPARE(ui.search.shown[0].rows, 0);
        QCOMPARE(ui.search.answers.size(), 1);
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestSearchDialog)
#include "test_search_dialog.moc"
