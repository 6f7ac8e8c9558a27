// The preview at the keyboard: it opens at the page's width; Ctrl++,
// Ctrl+- and Ctrl+0 zoom (Ctrl+0 back to the page's width), and so does
// Ctrl+wheel; the percent box shows and sets the zoom; Home, End, PgUp and
// PgDn move by page; Tab reaches every tool; Ctrl+P asks for a printer;
// Ctrl+F finds text, next and previous, on pages that draw anything a
// painter draws; Esc puts the find bar away, a second Esc closes. Page
// numbers carry thousands separators.
#include "NumberedPages.h"
#include "core/HostUi.h"
#include "ui/PreviewPageView.h"
#include "ui/ReportPreviewDialog.h"
#include "ui/ScriptedHostUi.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>
#include <QWheelEvent>
#include <QtTest>

class TestPreviewKeys : public QObject {
    Q_OBJECT

    ScriptedHostUi *m_ui = nullptr;

    static void press(QWidget *w, const QKeySequence &keys)
    {
        QTest::keySequence(w, keys);
        QApplication::processEvents();
    }

private slots:
    void init() { m_ui = HostUi::install(std::make_unique<ScriptedHostUi>()); }
    void cleanup() { HostUi::uninstall(); }

    void zoomByKeysWheelAndBox()
    {
        NumberedPages doc(30);
        ReportPreviewDialog dlg(doc);
        dlg.resize(900, 700);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        PreviewPageView *view = dlg.view();
        auto *box = dlg.findChild<QSpinBox *>(QStringLiteral("sedZoom"));
        QVERIFY(box);
        // At the page's width: the page and its margins fill the view.
        const double mm = doc.pageLayout().fullRect(QPageLayout::Millimeter).width();
        const double fit = view->zoom();
        QVERIFY2(qAbs(fit * mm + 32 - view->viewport()->width()) < 2, qPrintable(QString::number(fit)));
        QCOMPARE(box->value(), view->zoomPercent());

        press(view, QKeySequence(QStringLiteral("Ctrl++")));
        QVERIFY(qAbs(view->zoom() - fit * 1.25) < 1e-6);
        QCOMPARE(box->value(), view->zoomPercent());
        press(view, QKeySequence(QStringLiteral("Ctrl+-")));
        press(view, QKeySequence(QStringLiteral("Ctrl+-")));
        QVERIFY(qAbs(view->zoom() - fit / 1.25) < 1e-6);
        press(view, QKeySequence(QStringLiteral("Ctrl+0")));
        QVERIFY(qAbs(view->zoom() - fit) < 1e-6);

        QWheelEvent up(QPointF(50, 50), view->viewport()->mapToGlobal(QPointF(50, 50)), QPoint(), QPoint(0, 120),
                       Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view->viewport(), &up);
        QVERIFY(qAbs(view->zoom() - fit * 1.25) < 1e-6);
        QCOMPARE(view->currentPage(), 0); // zoomed, not scrolled

        box->setValue(100);
        QCOMPARE(view->zoomPercent(), 100);
    }

    void pagesByKeys()
    {
        NumberedPages doc(30);
        ReportPreviewDialog dlg(doc);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        PreviewPageView *view = dlg.view();
        view->setFocus();
        QTest::keyClick(view, Qt::Key_PageDown);
        QCOMPARE(view->currentPage(), 1);
        QTest::keyClick(view, Qt::Key_End);
        QCOMPARE(view->currentPage(), 29);
        QTest::keyClick(view, Qt::Key_PageUp);
        QCOMPARE(view->currentPage(), 28);
        QTest::keyClick(view, Qt::Key_Home);
        QCOMPARE(view->currentPage(), 0);
    }

    void tabReachesEveryToolAndKeysRunThem()
    {
        NumberedPages doc(3);
        ReportPreviewDialog dlg(doc);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QApplication::setActiveWindow(&dlg);
        dlg.view()->setFocus();
        QSet<QString> reached;
        for (int i = 0; i < 20; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget *w = QApplication::focusWidget();
            if (auto *b = qobject_cast<QToolButton *>(w); b && b->defaultAction())
                reached << b->defaultAction()->objectName();
            else if (w)
                reached << w->objectName();
        }
        for (const char *name : {"actImprimir", "actReduzir", "actAmpliar", "actLarguraPagina", "sedZoom", "sedPagina",
                                 "actFechar", "pvwPaginas"})
            QVERIFY2(reached.contains(QLatin1String(name)), name);

        m_ui->printerAnswers.enqueue(QString()); // the person cancels the print dialog
        press(dlg.view(), QKeySequence::Print);
        QVERIFY(m_ui->printerAnswers.isEmpty());

        QTest::keyClick(dlg.view(), Qt::Key_Escape);
        QTRY_VERIFY(!dlg.isVisible());
    }

    // Pages laid out for A4 portrait cannot go on landscape paper as they
    // are: the person is told where to print anew, and chooses.
    void printingOnAnotherPaperAsksFirst()
    {
        NumberedPages doc(3);
        ReportPreviewDialog dlg(doc);
        const QString pdf = QDir::temp().filePath(QStringLiteral("preview-landscape.pdf"));
        for (const bool printAsShown : {false, true}) {
            m_ui->printChoices.orientation = QPageLayout::Landscape;
            m_ui->printerAnswers.enqueue(pdf);
            m_ui->yesNoAnswers.enqueue(printAsShown);
            dlg.print();
            QCOMPARE(doc.printsStarted, printAsShown ? 1 : 0);
        }
        QCOMPARE(m_ui->questions.size(), 2);
        const QString question = m_ui->questions.first().text;
        QVERIFY2(question.contains(QStringLiteral("A4, retrato")) && question.contains(QStringLiteral("A4, paisagem"))
                     && question.contains(QStringLiteral("Ctrl+P")),
                 qPrintable(question));

        m_ui->printerAnswers.enqueue(pdf); // the preview's own page: no question
        dlg.print();
        QCOMPARE(doc.printsStarted, 2);
        QCOMPARE(m_ui->questions.size(), 2);
    }

    void ctrlFFindsTextForwardAndBack()
    {
        NumberedPages doc(30);
        doc.everyShape = true; // what used to loop until the stack ran out
        ReportPreviewDialog dlg(doc);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QApplication::setActiveWindow(&dlg);
        dlg.view()->setFocus();
        press(dlg.view(), QKeySequence::Find);
        auto *box = dlg.findChild<QLineEdit *>(QStringLiteral("edtLocalizar"));
        QVERIFY(box && box->isVisible());
        QCOMPARE(QApplication::focusWidget(), box);
        box->insert(QStringLiteral("PÁGINA 2")); // typed as the test library cannot: not ASCII
        QTest::keyClick(box, Qt::Key_Return); // "página 2", "página 20"...
        QCOMPARE(dlg.view()->currentPage(), 1);
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(dlg.view()->currentPage(), 19);
        QTest::keyClick(box, Qt::Key_F3);
        QCOMPARE(dlg.view()->currentPage(), 20);
        QTest::keyClick(box, Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(dlg.view()->currentPage(), 19);
        auto *result = dlg.findChild<QLabel *>(QStringLiteral("lblLocalizar"));
        QCOMPARE(result->text(), QStringLiteral("Encontrado na página 20."));
        box->clear();
        box->insert(QStringLiteral("capítulo"));
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(dlg.view()->currentPage(), 19); // stays
        QVERIFY2(result->text().contains(QStringLiteral("não aparece em nenhuma página")), qPrintable(result->text()));

        // Esc in the box puts the bar away and the pages get the keys again;
        // only a second Esc closes the preview.
        QTest::keyClick(box, Qt::Key_Escape);
        QVERIFY(dlg.isVisible());
        QVERIFY(!box->isVisible());
        QCOMPARE(QApplication::focusWidget(), dlg.view());
        QTest::keyClick(dlg.view(), Qt::Key_Escape);
        QTRY_VERIFY(!dlg.isVisible());
    }

    void pageCountWithThousandsSeparators()
    {
        NumberedPages doc(17242);
        ReportPreviewDialog dlg(doc);
        QStringList texts;
        for (QLabel *l : dlg.findChildren<QLabel *>())
            texts << l->text();
        QVERIFY2(texts.contains(QStringLiteral(" de 17.242 ")), qPrintable(texts.join(QLatin1Char('|'))));
        auto *page = dlg.findChild<QSpinBox *>(QStringLiteral("sedPagina"));
        page->setValue(12345);
        QCOMPARE(page->text(), QStringLiteral("12.345"));
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestPreviewKeys)
#include "test_preview_keys.moc"
