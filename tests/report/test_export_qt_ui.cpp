// The Qt side of export and save as: the yes/no question people answer
// (Portuguese buttons, "Não" the default), the preview's export buttons
// that run the caller's action while the preview stays open, and the print
// dialog, which offers its PDF file as the exports offer theirs and the
// paper and orientation last chosen for the report.
#include "NumberedPages.h"
#include "report/output/PrintChoices.h"
#include "report/output/SaveFolder.h"
#include "ui/QtHostUi.h"
#include "ui/ReportPreviewDialog.h"

#include <QAbstractButton>
#include <QDir>
#include <QLineEdit>
#include <QPrinter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QMenu>
#include <QToolButton>
#include <QtTest>

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

QAbstractButton *buttonWithText(QMessageBox *box, const QString &text)
{
    for (QAbstractButton *b : box->buttons())
        if (b->text() == text)
            return b;
    return nullptr;
}
} // namespace

class TestExportQtUi : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        HostUi::install(std::make_unique<QtHostUi>());
    }

    void thePrintDialogOffersThePdfWhereTheExportsGoAndTheLastOrientation()
    {
        QTemporaryDir dir;
        const QString exports = dir.filePath(QStringLiteral("planilhas")), pdfs = dir.filePath(QStringLiteral("pdf"));
        QVERIFY(QDir().mkpath(exports) && QDir().mkpath(pdfs));
        SaveFolder::remember(QDir(exports).filePath(QStringLiteral("custo.xlsx")));
        QPrinter printer(QPrinter::HighResolution);
        printer.setDocName(QStringLiteral("Custo Realizado"));
        QString offered;
        onModal([&](QWidget *w) {
            if (auto *file = w->findChild<QLineEdit *>(QStringLiteral("filename"))) {
                offered = file->text();
                file->setText(QDir(pdfs).filePath(QStringLiteral("meu.pdf"))); // the person writes elsewhere
            }
            QMetaObject::invokeMethod(w, "accept");
        });
        QVERIFY(ReportUi::instance().askPrinter(printer, QStringLiteral("custo-realizado-0101-2026-03.pdf")));
        QCOMPARE(offered, QDir(exports).filePath(QStringLiteral("custo-realizado-0101-2026-03.pdf")));
        QCOMPARE(printer.outputFileName(), QDir(pdfs).filePath(QStringLiteral("meu.pdf")));
        QCOMPARE(SaveFolder::last(), pdfs); // the next save starts there

        // Landscape was chosen for this report: the next print of it offers it,
        // another report keeps its own.
        printer.setPageOrientation(QPageLayout::Landscape);
        PrintChoices::remember(printer);
        QPrinter again, other;
        again.setDocName(QStringLiteral("Custo Realizado"));
        other.setDocName(QStringLiteral("Outro"));
        PrintChoices::offer(again);
        PrintChoices::offer(other);
        QCOMPARE(again.pageLayout().orientation(), QPageLayout::Landscape);
        QCOMPARE(other.pageLayout().orientation(), QPageLayout::Portrait);
    }
    void cleanupTestCase() { HostUi::uninstall(); }

    void theQuestionIsAnsweredWithSimOrNao_data()
    {
        QTest::addColumn<QString>("press");
        QTest::addColumn<bool>("answer");
        QTest::addRow("Sim") << QStringLiteral("Sim") << true;
        QTest::addRow("Não") << QStringLiteral("Não") << false;
        QTest::addRow("Enter takes the default") << QStringLiteral("Enter") << false;
        QTest::addRow("Esc") << QStringLiteral("Esc") << false;
    }

    void theQuestionIsAnsweredWithSimOrNao()
    {
        QFETCH(QString, press);
        QFETCH(bool, answer);
        QString text, title;
        onModal([&](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            if (!box)
                return;
            text = box->text();
            title = box->windowTitle();
            if (press == QLatin1String("Enter"))
                QTest::keyClick(box, Qt::Key_Return);
            else if (press == QLatin1String("Esc"))
                QTest::keyClick(box, Qt::Key_Escape);
            else if (QAbstractButton *b = buttonWithText(box, press))
                b->click();
        });
        QCOMPARE(HostUi::instance().askYesNo(QStringLiteral("Substituir relatório"), QStringLiteral("Substituir?")), answer);
        QCOMPARE(text, QStringLiteral("Substituir?"));
        QCOMPARE(title, QStringLiteral("Substituir relatório"));
    }

    void thePreviewOffersTheCallersActions()
    {
        NumberedPages doc(1);
        int ran = 0;
        QStringList captions;
        onModal([&](QWidget *w) {
            auto *dlg = qobject_cast<ReportPreviewDialog *>(w);
            if (!dlg)
                return;
            QTimer::singleShot(50, dlg, [dlg] { dlg->reject(); });
            auto *button = dlg->findChild<QToolButton *>(QStringLiteral("previewActions"));
            if (!button || !button->isVisible() || button->text() != QLatin1String("Exportar"))
                return;
            QAction *csv = nullptr;
            for (QAction *a : button->menu()->actions()) {
                captions << a->text();
                if (a->objectName() == QLatin1String("exportcsv"))
                    csv = a;
            }
            if (csv) {
                csv->trigger();
                csv->trigger();
            }
        });
        ReportUi::instance().previewDocument(
            doc, {{QStringLiteral("exportcsv"), QStringLiteral("Exportar para CSV"), [&ran] { ++ran; }},
             {QStringLiteral("exportxlsx"), QStringLiteral("Exportar para Excel (XLSX)"), [] {}}});
        QCOMPARE(ran, 2);
        QVERIFY(captions.contains(QStringLiteral("Exportar para CSV")));
        QVERIFY(captions.contains(QStringLiteral("Exportar para Excel (XLSX)")));
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestExportQtUi)
#include "test_export_qt_ui.moc"
