// The report editor: what the user types becomes the definition, and OK
// keeps the dialog open, with the check's message shown, until the
// definition passes.
#include "report/model/DefinitionParser.h"
#include "ui/ReportEditDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

class TestReportEditDialog : public QObject {
    Q_OBJECT

    ReportDefinition m_def;

    static QPushButton *okButton(QDialog &dlg)
    {
        return dlg.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
    }

private slots:
    void initTestCase() { m_def = DefinitionParser::parseFile(QStringLiteral(REPORT_TEST_DIR "/full.rel")); }

    void typedChangesMakeTheDefinition()
    {
        ReportEditDialog dlg(m_def, {});
        dlg.show();
        dlg.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        auto *title = dlg.findChild<QLineEdit *>(QStringLiteral("edtTitulo"));
        title->setFocus();
        title->selectAll();
        QTest::keyClicks(title, QStringLiteral("Novo relatorio"));
        auto *sql = dlg.findChild<QPlainTextEdit *>(QStringLiteral("edtmain_SQL_ORACLE"));
        QVERIFY(sql);
        sql->setFocus();
        QTest::keyClicks(sql, QStringLiteral("SELECT A FROM DUAL"));
        auto *grid = dlg.findChild<QTableWidget *>(QStringLiteral("grdColunas"));
        QCOMPARE(grid->rowCount(), 3);
        grid->item(1, 1)->setText(QStringLiteral("Valor (R$)"));
        grid->item(1, 2)->setText(QStringLiteral("35,5"));
        qobject_cast<QComboBox *>(grid->cellWidget(1, 3))->setCurrentIndex(0);

        const ReportDefinition d = dlg.definition();
        QCOMPARE(d.title, QStringLiteral("Novo relatorio"));
        QCOMPARE(d.queries[0].sql[ReportQuery::Oracle], QStringLiteral("SELECT A FROM DUAL"));
        QCOMPARE(d.queries[0].sql[ReportQuery::Default], m_def.queries[0].sql[ReportQuery::Default]);
        QCOMPARE(d.columns[1].caption, QStringLiteral("Valor (R$)"));
        QCOMPARE(d.columns[1].widthMm, 35.5);
        QCOMPARE(d.columns[1].align, ReportColumn::Align::Left);
        QCOMPARE(d.columns[1].decimals, 3);
        QVERIFY(d.columns[1].sum);
        QCOMPARE(d.columns[2].pattern, QStringLiteral("dd/MM/yyyy"));
        // What the editor does not show stays as it was.
        QCOMPARE(d.params.size(), m_def.params.size());
        QCOMPARE(d.groups[0].headerTemplate, m_def.groups[0].headerTemplate);

        // Adding a column.
        const auto buttons = dlg.findChildren<QPushButton *>();
        for (QPushButton *b : buttons)
            if (b->text() == QLatin1String("Incluir coluna"))
                QTest::mouseClick(b, Qt::LeftButton);
        QCOMPARE(grid->rowCount(), 4);
        QCOMPARE(dlg.definition().columns.size(), 4);
    }

    void okStaysOpenUntilTheCheckPasses()
    {
        int checks = 0;
        ReportEditDialog dlg(m_def, [&checks](const ReportDefinition &d) {
            ++checks;
            return DefinitionParser::check(d);
        });
        dlg.show();
        dlg.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        auto *title = dlg.findChild<QLineEdit *>(QStringLiteral("edtTitulo"));
        title->clear();

        // The check's message comes up; close it as the user would.
        QString shown;
        QTimer::singleShot(0, [&shown] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (box) {
                shown = box->text();
                box->accept();
            }
        });
        QTest::mouseClick(okButton(dlg), Qt::LeftButton);
        QCOMPARE(checks, 1);
        QVERIFY2(shown.contains(QStringLiteral("título")), qPrintable(shown));
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.result(), 0);

        title->setText(QStringLiteral("Corrigido"));
        QTest::mouseClick(okButton(dlg), Qt::LeftButton);
        QCOMPARE(checks, 2);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QVERIFY(!dlg.isVisible());
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestReportEditDialog)
#include "test_report_edit_dialog.moc"
