// Report runs a person makes from the screen go to the history of runs, and
// "Relatórios recentes" shows them: a preview and an export done, a run the
// screen's checks refused (with the check's own words), an export cancelled; the window lists
// them newest first, filters by text, opens a written file (a file gone is
// named, not opened) and runs one again with its choices put back through
// the screen's checks.
#include "shell/RecentRunsWindow.h"
#include "screen/TfrmRealGlobal.h"
#include "session/RunHistory.h"
#include "support/ScreenFixture.h"
#include "support/ScreenView.h"
#include "ui/ScriptedHostUi.h"

#include <QDesktopServices>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QtTest>

// Takes what the window hands to the desktop instead of opening it.
class DesktopCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened << url; }
};

class TestRecentRuns : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    static void choose(TfrmRealGlobal *s, const QString &branch, QDate from, QDate to)
    {
        ScreenView v(s);
        v.medCdFilial()->setText_(branch);
        v.depDataInic()->SetDate(from);
        v.depDataFina()->SetDate(to);
        v.medCdProdInic()->setText_(QStringLiteral("01"));
        v.medCdProdFina()->setText_(QStringLiteral("02"));
    }
    static QString column(QTableWidget *t, int row, const QString &header)
    {
        for (int c = 0; c < t->columnCount(); ++c)
            if (t->horizontalHeaderItem(c)->text() == header)
                return t->item(row, c)->text();
        return QStringLiteral("<no column %1>").arg(header);
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void runsAreKeptListedFilteredOpenedAndRunAgain()
    {
        RunHistory history(m_dir.filePath(QStringLiteral("historico.sqlite")));
        RunHistory::install(&history);
        ScreenFixture fx;
        TfrmRealGlobal *s = fx.open();
        QVERIFY(s);

        choose(s, QStringLiteral("0101"), QDate(2026, 3, 1), QDate(2026, 3, 31));
        s->run(ReportCommand::Id::Preview);
        QVERIFY2(fx.ui->previews.size() == 1, qPrintable(fx.ui->messageTexts().join(QLatin1Char('\n'))));
        const QString csv = m_dir.filePath(QStringLiteral("custo-março.csv"));
        fx.ui->saveFileAnswers.enqueue(csv);
        s->run(ReportCommand::Id::ExportCsv);
        QVERIFY(QFileInfo(csv).isFile());
        choose(s, QStringLiteral("0101"), QDate(2026, 4, 30), QDate(2026, 4, 1));
        fx.ui->messages.clear();
        s->run(ReportCommand::Id::Preview);
        QCOMPARE(fx.ui->messages.size(), 1);

        const QList<RunRecord> runs = history.recent();
        QCOMPARE(runs.size(), 3);
        QCOMPARE(runs[0].outcome, RunRecord::Outcome::Refused);
        QCOMPARE(runs[0].reason, fx.ui->messages[0].text);
        QCOMPARE(runs[1].outcome, RunRecord::Outcome::Done);
        QCOMPARE(runs[1].files, QStringList{csv});
        QCOMPARE(runs[2].command, QStringLiteral("preview"));
        QVERIFY(runs[2].rows > 0);
        QCOMPARE(runs[2].choices.value(QStringLiteral("dataFinal")).toString(), QStringLiteral("2026-03-31"));

        RecentRunsWindow window(history, [s](const QString &code) { return code == s->reportCode() ? s : nullptr; });
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto *table = window.findChild<QTableWidget *>(QStringLiteral("tblExecucoes"));
        QCOMPARE(table->rowCount(), 3);
        QVERIFY(column(table, 0, QStringLiteral("Situação")).startsWith(QStringLiteral("recusado: ")));
        QCOMPARE(column(table, 2, QStringLiteral("Período")), QStringLiteral("01/03/2026 a 31/03/2026"));
        QCOMPARE(column(table, 2, QStringLiteral("Comando")), QStringLiteral("Visualizar"));

        auto *filter = window.findChild<QLineEdit *>(QStringLiteral("edtFiltro"));
        QTest::keyClicks(filter, QStringLiteral("CONCLUIDO"));
        QCOMPARE(table->rowCount(), 2);
        filter->clear();
        QTest::keyClicks(filter, QStringLiteral("MARCO.CSV"));
        QCOMPARE(table->rowCount(), 1);

        DesktopCatcher desktop;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &desktop, "open");
        window.findChild<QPushButton *>(QStringLiteral("btnAbrirArquivo"))->click();
        window.findChild<QPushButton *>(QStringLiteral("btnAbrirPasta"))->click();
        QCOMPARE(desktop.opened, (QList<QUrl>{QUrl::fromLocalFile(csv), QUrl::fromLocalFile(m_dir.path())}));
        QFile::remove(csv);
        fx.ui->messages.clear();
        window.findChild<QPushButton *>(QStringLiteral("btnAbrirArquivo"))->click();
        QCOMPARE(desktop.opened.size(), 2);
        QVERIFY(fx.ui->messageTexts().value(0).contains(QStringLiteral("não existe mais")));
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));

        // Again: the March preview, while the screen holds other choices.
        filter->clear();
        QTest::keyClicks(filter, QStringLiteral("visualizar"));
        QCOMPARE(table->rowCount(), 2); // as the list shows the command
        filter->clear();
        table->selectRow(2);
        QCOMPARE(window.chosenRun().id, runs[2].id);
        choose(s, QStringLiteral("0101"), QDate(2026, 1, 1), QDate(2026, 1, 31));
        window.findChild<QPushButton *>(QStringLiteral("btnExecutarNovamente"))->click();
        QCOMPARE(fx.ui->previews.size(), 2);
        QCOMPARE(ScreenView(s).depDataFina()->GetDate(), QDate(2026, 3, 31));
        QCOMPARE(table->rowCount(), 4);
        QCOMPARE(history.recent().first().outcome, RunRecord::Outcome::Done);
        // A save dialog closed without a name: cancelled, not failed.
        s->run(ReportCommand::Id::ExportXlsx);
        QCOMPARE(history.recent().first().outcome, RunRecord::Outcome::Cancelled);
        QCOMPARE(history.recent().first().reason, QString());
        fx.closeScreen();
        RunHistory::install(nullptr);
    }
};

QTEST_MAIN(TestRecentRuns)
#include "test_recent_runs.moc"
