// The report dialogs people see (QtHostUi): the editor gives back nothing
// when cancelled; long work shows its progress after a while, with the busy
// cursor, and Esc cancels it; the preview of a long document paints only the
// pages in sight, and a page that cannot be painted is shown as an error once,
// not thrown through Qt.
#include "NumberedPages.h"
#include "core/Errors.h"
#include "core/Work.h"
#include "report/layout/PagedDocument.h"
#include "report/layout/ReportDocument.h"
#include "report/model/DefinitionParser.h"
#include "ui/PreviewPageView.h"
#include "ui/QtHostUi.h"
#include "ui/ReportEditDialog.h"
#include "ui/ReportPreviewDialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPrinter>
#include <QProgressDialog>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>
#include <atomic>

namespace {
// Runs f on the next modal window that comes up, once it is shown.
void onModal(const std::function<void(QWidget *)> &f)
{
    auto *timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, f] {
        if (QWidget *w = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            f(w);
        }
    });
    timer->start();
}
// Work that goes on until it is cancelled.
class EndlessWork : public Work {
public:
    std::atomic<bool> stopped{false};
    bool finished() const override { return stopped; }
    QString status() const override { return QStringLiteral("Registros lidos: 1.234"); }
    qint64 done() const override { return 1234; }
    qint64 total() const override { return 0; }
    void cancel() override { stopped = true; }
};

} // namespace

class TestReportQtDialogs : public QObject {
    Q_OBJECT

private slots:
    // Errors raised inside a dialog are shown through the installed HostUi,
    // as the shell installs it for people.
    void initTestCase() { HostUi::install(std::make_unique<QtHostUi>()); }
    void cleanupTestCase() { HostUi::uninstall(); }

    void cancellingTheEditorChangesNothing()
    {
        QtHostUi ui;
        ReportDefinition def = DefinitionParser::parseFile(QStringLiteral(REPORT_TEST_DIR "/full.rel"));
        const QString before = def.title;
        onModal([](QWidget *w) {
            if (auto *e = qobject_cast<ReportEditDialog *>(w)) {
                e->findChild<QLineEdit *>(QStringLiteral("edtTitulo"))->setText(QStringLiteral("Outro"));
                e->reject();
            }
        });
        QVERIFY(!ui.editReport(def, [](const ReportDefinition &) { return QString(); }));
        QCOMPARE(def.title, before);

        onModal([](QWidget *w) {
            if (auto *e = qobject_cast<ReportEditDialog *>(w)) {
                e->findChild<QLineEdit *>(QStringLiteral("edtTitulo"))->setText(QStringLiteral("Outro"));
                e->accept();
            }
        });
        QVERIFY(ui.editReport(def, [](const ReportDefinition &) { return QString(); }));
        QCOMPARE(def.title, QStringLiteral("Outro"));
    }

    void longWorkShowsItsProgressAndEscCancelsIt()
    {
        QtHostUi ui;
        EndlessWork work;
        QString label;
        bool busy = false;
        QTimer look;
        look.setInterval(20);
        connect(&look, &QTimer::timeout, [&] {
            auto *dlg = qApp->findChild<QProgressDialog *>(QStringLiteral("dlgProgresso"), Qt::FindChildrenRecursively);
            for (QWidget *w : QApplication::topLevelWidgets())
                if (!dlg && w->objectName() == QLatin1String("dlgProgresso") && w->isVisible())
                    dlg = qobject_cast<QProgressDialog *>(w);
            if (!dlg || !dlg->isVisible())
                return;
            look.stop();
            label = dlg->labelText();
            busy = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::BusyCursor;
            QTest::keyClick(dlg, Qt::Key_Escape);
        });
        look.start();
        QVERIFY(!ui.waitForWork(QStringLiteral("Relatório"), work));
        QVERIFY(work.stopped);
        QCOMPARE(label, QStringLiteral("Registros lidos: 1.234"));
        QVERIFY(busy);
        QVERIFY(!QApplication::overrideCursor());
    }

    void workAlreadyDoneShowsNothing()
    {
        QtHostUi ui;
        EndlessWork work;
        work.stopped = true;
        QVERIFY(ui.waitForWork(QStringLiteral("Relatório"), work));
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY(!(qobject_cast<QProgressDialog *>(w) && w->isVisible()));
    }

    void thePreviewPaintsOnlyThePagesInSight()
    {
        NumberedPages doc(5000);
        ReportPreviewDialog dlg(doc);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QTRY_VERIFY(!doc.painted.isEmpty());
        QVERIFY(*std::max_element(doc.painted.begin(), doc.painted.end()) < 3);
        auto *page = dlg.findChild<QSpinBox *>(QStringLiteral("sedPagina"));
        QCOMPARE(page->maximum(), 5000);
        page->setValue(4000);
        QTRY_VERIFY(doc.painted.contains(3999));
        QTest::keyClick(dlg.view(), Qt::Key_End, Qt::ControlModifier);
        QTRY_VERIFY(doc.painted.contains(4999));
        QTRY_COMPARE(page->value(), 5000);
        QVERIFY2(doc.painted.size() < 30, qPrintable(QString::number(doc.painted.size())));
    }

    void aReportInThePreview()
    {
        const ReportDefinition def = DefinitionParser::parseText(
            QStringLiteral("title \"Prévia\"\nquery q\nSQL <<E\nSELECT 1\nE\ncolumn A \"Código\" width 40\n"
                           "column V \"Valor\" width 40 align right format number 2 sum\n"
                           "group G header \"Grupo {G}\" subtotal \"Total de {G}\"\ntotal \"Total Geral\"\n"),
            QStringLiteral("p.rel"));
        QList<QVector<QVariant>> rows;
        for (int i = 0; i < 3000; ++i)
            rows.append({QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0')), i * 0.5, QStringLiteral("G%1").arg(i / 700)});
        auto doc = std::make_shared<ReportDocument>(def, TParams());
        doc->begin({QStringLiteral("A"), QStringLiteral("V"), QStringLiteral("G")}, {}, std::make_shared<ReportMemoryRows>(rows));
        for (const auto &r : rows)
            doc->addRow(r);
        doc->finish();
        ReportPreviewDialog dlg(*doc);
        int painted = 0;
        connect(dlg.view(), &PreviewPageView::pagePainted, [&painted](int) { ++painted; });
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QTRY_VERIFY(painted > 0);
        QVERIFY(doc->pageCount() > 40);
        QVERIFY(painted < 4);
        QCOMPARE(dlg.findChild<QSpinBox *>(QStringLiteral("sedPagina"))->maximum(), doc->pageCount());
        if (qEnvironmentVariableIsSet("REPORT_PREVIEW_PNG"))
            dlg.grab().save(qEnvironmentVariable("REPORT_PREVIEW_PNG"));
    }

    void aPageThatCannotBePaintedIsShownOnce()
    {
        NumberedPages doc(3, 0);
        ReportPreviewDialog dlg(doc);
        QStringList shown;
        QTimer closer;
        closer.setInterval(20);
        connect(&closer, &QTimer::timeout, [&shown] {
            if (auto *m = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                shown << m->text();
                m->reject();
            }
        });
        closer.start();
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QTRY_COMPARE(shown.size(), 1);
        dlg.view()->setZoom(dlg.view()->zoom() * 1.25); // paints the page again
        QTest::qWait(200);
        QCOMPARE(shown, QStringList{QStringLiteral("A página 1 não pôde ser lida.")});
    }

    // "Salvar como" asks for a title: the longest shipped one, with room to
    // spare, is seen whole in the field.
    void theTitlePromptShowsALongTitleWhole()
    {
        QtHostUi ui;
        QString title = QStringLiteral("Custo Realizado Global do Período (Planejamento de Alimentação Escolar) - cópia");
        int room = 0, needed = 0;
        QTimer::singleShot(0, [&] {
            QWidget *dlg = QApplication::activeModalWidget();
            auto *edit = dlg ? dlg->findChild<QLineEdit *>() : nullptr;
            if (edit) {
                room = edit->width();
                needed = edit->fontMetrics().horizontalAdvance(edit->text()) + 12;
            }
            if (dlg)
                dlg->close();
        });
        QVERIFY(!ui.askText(QStringLiteral("Título do Relatório"), QStringLiteral("Informe o título do relatório:"), title));
        QVERIFY(needed > 0);
        QVERIFY2(room >= needed, qPrintable(QStringLiteral("%1 < %2").arg(room).arg(needed)));
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestReportQtDialogs)
#include "test_report_qt_dialogs.moc"
