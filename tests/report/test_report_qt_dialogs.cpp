// The report dialogs people see (QtHostUi): the preview paints the report's
// pages and a failure while painting is shown, not thrown through Qt; the
// editor gives back nothing when cancelled.
#include "report/ReportParser.h"
#include "toolkit/Errors.h"
#include "ui/QtHostUi.h"
#include "ui/ReportEditDialog.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTimer>
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
} // namespace

class TestReportQtDialogs : public QObject {
    Q_OBJECT

private slots:
    // Errors raised inside a dialog are shown through the installed HostUi,
    // as the shell installs it for people.
    void initTestCase() { HostUi::install(std::make_unique<QtHostUi>()); }
    void cleanupTestCase() { HostUi::uninstall(); }

    void previewPaintsThePages()
    {
        QtHostUi ui;
        QPrinter printer;
        int painted = 0;
        bool wasPreview = false;
        onModal([&](QWidget *w) {
            wasPreview = qobject_cast<QPrintPreviewDialog *>(w) != nullptr;
            QTimer::singleShot(100, w, [w] { qobject_cast<QDialog *>(w)->reject(); });
        });
        ui.previewReport(QStringLiteral("Relatório"), printer, [&](QPrinter *p) {
            QPainter painter(p);
            painter.drawText(100, 100, QStringLiteral("página 1"));
            p->newPage();
            painter.drawText(100, 100, QStringLiteral("página 2"));
            ++painted;
            return 2;
        });
        QVERIFY(wasPreview);
        QVERIFY(painted >= 1);
    }

    void aPaintingFailureIsShownInsideThePreview()
    {
        QtHostUi ui;
        QPrinter printer;
        // Whatever comes up modal: read and close the error box, then the preview.
        QString shown;
        QTimer closer;
        closer.setInterval(20);
        connect(&closer, &QTimer::timeout, [&shown] {
            QWidget *w = QApplication::activeModalWidget();
            if (auto *m = qobject_cast<QMessageBox *>(w)) {
                shown = m->text();
                m->reject();
            } else if (auto *d = qobject_cast<QPrintPreviewDialog *>(w)) {
                if (!shown.isEmpty())
                    d->reject();
            }
        });
        closer.start();
        bool escaped = false;
        try {
            ui.previewReport(QStringLiteral("Relatório"), printer, [](QPrinter *) -> int {
                throw EHostError(QStringLiteral("A página é pequena demais."));
            });
        } catch (...) {
            escaped = true;
        }
        QVERIFY(!escaped);
        QCOMPARE(shown, QStringLiteral("A página é pequena demais."));
    }

    void cancellingTheEditorChangesNothing()
    {
        QtHostUi ui;
        ReportDefinition def = ReportParser::parseFile(QStringLiteral(REPORT_TEST_DIR "/full.rel"));
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
};

QTEST_MAIN(TestReportQtDialogs)
#include "test_report_qt_dialogs.moc"
