// The XEV017 definitions on the shell's demo database, opened by its data
// module: rows for fixed parameters against committed references, the
// Oracle and SQL Server texts giving the same rows as the default one (run on
// SQLite with the routines those texts call), the first page as a reader
// sees it at grouping level 0, and the preview's find over both reports'
// pages, their lines and the summary's chart included.
#include "ParamFiller.h"
#include "appdata/dtmDBGeral.h"
#include "core/HostUi.h"
#include "data/HostDatabase.h"
#include "support/ForeignDialects.h"
#include "report/commands/TReportDesignerDialog.h"
#include "report/model/ReportLibrary.h"
#include "support/TextRecorder.h"
#include "ui/ReportPreviewDialog.h"
#include "ui/ScriptedHostUi.h"

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

namespace {
QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TestReportDemo : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<TdtmDBGeral> m_dm;
    ScriptedHostUi *m_ui = nullptr;
    TReportDesignerDialog m_rpdd;
    ParamFiller m_filler;

    QString csv(int which, const QString &name)
    {
        const QString out = m_dir.filePath(name);
        const bool ok = m_rpdd.WriteCsv(ReportLibrary::list(QStringLiteral("XEV017"))[which].path, out, {});
        return ok ? QString::fromUtf8(readAll(out)) : QStringLiteral("failed: ") + m_ui->messageTexts().join(QLatin1Char('|'));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const QString path = m_dir.filePath(QStringLiteral("demo.sqlite"));
        TdtmDBGeral::createSqliteFile(path);
        m_dm = std::make_unique<TdtmDBGeral>();
        ShellConfig config;
        config.database = QStringLiteral("sqlite:") + path;
        config.branch = QStringLiteral("0101");
        m_dm->open(config);
        QVERIFY(HostDatabase::instance().isInstalled());
        m_ui = HostUi::install(std::make_unique<ScriptedHostUi>());
        m_rpdd.setReportCode(QStringLiteral("XEV017"));
        connect(&m_rpdd, &TReportDesignerDialog::BeforeGetQueryParams, &m_filler, &ParamFiller::fill);
        // March 2026 for the school São João of the northern central, all
        // its services, the whole product tree grouped by subgroup.
        m_filler.standardValues();
        m_filler.set(QStringLiteral("P_CDSERVFILI"), ParamFiller::Value::String,
                     QStringLiteral("00001_00002_00003_00004_00005_00006_00007_00008_00009_00010"));
        m_filler.set(QStringLiteral("P_CDPRODUTOINI"), ParamFiller::Value::String, QString());
        m_filler.set(QStringLiteral("P_CDPRODUTOFIN"), ParamFiller::Value::String, QStringLiteral("zzzzzzzz"));
        m_filler.set(QStringLiteral("P_DTINICIAL"), ParamFiller::Value::DateTime, QDate(2026, 3, 2).startOfDay());
        m_filler.set(QStringLiteral("P_DTFINAL"), ParamFiller::Value::DateTime, QDate(2026, 3, 13).startOfDay());
        m_filler.set(QStringLiteral("P_DTPERIINIC"), ParamFiller::Value::Variant, QStringLiteral("02/03/2026"));
        m_filler.set(QStringLiteral("P_DTPERIFINA"), ParamFiller::Value::Variant, QStringLiteral("13/03/2026"));
        m_filler.set(QStringLiteral("P_DTMESINIC"), ParamFiller::Value::DateTime, QDate(2026, 3, 1).startOfDay());
        m_filler.set(QStringLiteral("P_DTMESFINA"), ParamFiller::Value::DateTime, QDate(2026, 3, 31).startOfDay());
    }

    void cleanupTestCase()
    {
        m_dm.reset();
        HostUi::uninstall();
    }

    void goldenRows_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<QString>("golden");
        QTest::addRow("detailed") << 0 << QStringLiteral("demo-custo-realizado-global.csv");
        QTest::addRow("summary") << 1 << QStringLiteral("demo-resumo-por-nivel.csv");
    }

    // REPORT_UPDATE_GOLDEN=1 rewrites the references (check the diff!).
    void goldenRows()
    {
        QFETCH(int, which);
        QFETCH(QString, golden);
        const QString got = csv(which, golden);
        const QString ref = QStringLiteral(REPORT_TEST_DIR "/golden/") + golden;
        if (qEnvironmentVariableIntValue("REPORT_UPDATE_GOLDEN")) {
            QFile f(ref);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(got.toUtf8());
            QSKIP("reference rewritten, not compared");
        }
        const QString expected = QString::fromUtf8(readAll(ref));
        QVERIFY2(expected.count(QLatin1Char('\n')) > 5, qPrintable(ref)); // a reference with rows
        QCOMPARE(got, expected);
    }

    void otherDialectTextsGiveTheSameRows()
    {
        const QString detailed = csv(0, QStringLiteral("d0.csv"));
        const QString summary = csv(1, QStringLiteral("s0.csv"));
        QVERIFY(!detailed.startsWith(QLatin1String("failed")));
        const QSqlDatabase db = HostDatabase::instance().database();
        for (const char *texts : {"SQL_ORACLE", "SQL_MSSQL"}) {
            ForeignDialects::runOn(db, QLatin1String(texts));
            QCOMPARE(csv(0, QStringLiteral("d.csv")), detailed);
            QCOMPARE(csv(1, QStringLiteral("s.csv")), summary);
        }
        ForeignDialects::runOn(db, QStringLiteral("SQL"));
        QVERIFY(m_ui->messages.isEmpty());
    }

    // Each page is painted for the search as for the screen: table lines,
    // the chart's bars and axis. Find reads them all and brings the page
    // with the text into view.
    void findReadsEveryPageOfBothReportsLinesAndChartIncluded()
    {
        QStringList chartPage;
        for (const ReportEntry &entry : ReportLibrary::list(QStringLiteral("XEV017"))) {
            const ReportDefinition def = m_rpdd.Load(entry.path, {});
            const std::shared_ptr<ReportDocument> doc = m_rpdd.RunDocument(def);
            QVERIFY(doc->pageCount() > 0);
            const int last = doc->pageCount() - 1;
            RecordingDevice device(doc->pageLayout(), doc->unitsPerMm() * 25.4);
            {
                QPainter p(&device);
                doc->paintPage(p, last);
            }
            QVERIFY2(!device.recorder().lines.isEmpty(), qPrintable(def.title)); // what used to loop until the stack ran out
            QStringList texts;
            for (int i = 0; i <= last; ++i)
                texts << doc->pageTexts(i);
            QCOMPARE(doc->pageTexts(last), device.recorder().textList());
            QVERIFY2(texts.join(QLatin1Char('|')).contains(QStringLiteral("Arroz")), qPrintable(def.title));
            if (!def.chart.title.isEmpty()) {
                QVERIFY(!device.recorder().rects.isEmpty()); // the bars
                chartPage = doc->pageTexts(last);
            }

            ReportPreviewDialog preview(*doc);
            preview.show();
            QVERIFY(QTest::qWaitForWindowExposed(&preview));
            auto *box = preview.findChild<QLineEdit *>(QStringLiteral("edtLocalizar"));
            box->setText(QStringLiteral("ARROZ"));
            QTest::keyClick(box, Qt::Key_Return);
            QVERIFY2(preview.findChild<QLabel *>(QStringLiteral("lblLocalizar"))->text().startsWith(QStringLiteral("Encontrado na página")),
                     qPrintable(def.title));
        }
        QVERIFY2(chartPage.contains(QStringLiteral("Custo Realizado por Grupo de Produtos")), "no chart was painted");
    }

    // Level 0 groups nothing: the first page prints no empty group header
    // and no "Total de -" repeating the grand total; it shows the day it was
    // printed and codes as the product picture shows them.
    void theFirstPageAtLevelZero()
    {
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        if (pdftotext.isEmpty())
            QSKIP("pdftotext (poppler-utils) not installed");
        m_filler.set(QStringLiteral("P_NRTAMACNIVEL"), ParamFiller::Value::Variant, 0);
        const QString pdf = m_dir.filePath(QStringLiteral("level0.pdf"));
        const QDate before = QDate::currentDate();
        int pages = 0;
        const bool written = m_rpdd.WritePdf(ReportLibrary::list(QStringLiteral("XEV017"))[0].path, pdf, {}, &pages);
        const QDate after = QDate::currentDate();
        m_filler.set(QStringLiteral("P_NRTAMACNIVEL"), ParamFiller::Value::Variant, 4);
        QVERIFY2(written, qPrintable(m_ui->messageTexts().join(QLatin1Char('|'))));
        QProcess p;
        p.start(pdftotext, {QStringLiteral("-layout"), QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                            QStringLiteral("1"), pdf, QStringLiteral("-")});
        QVERIFY(p.waitForFinished(30000));
        const QString text = QString::fromUtf8(p.readAllStandardOutput());
        if (qEnvironmentVariableIsSet("REPORT_DUMP_TEXT"))
            qDebug().noquote() << text;
        QVERIFY(text.contains(QStringLiteral("Impresso em ") + before.toString(QStringLiteral("dd/MM/yyyy")))
                || text.contains(QStringLiteral("Impresso em ") + after.toString(QStringLiteral("dd/MM/yyyy"))));
        QVERIFY(text.contains(QStringLiteral("Página 1 de %1").arg(pages)));
        QVERIFY(!text.contains(QStringLiteral("Total de")));
        static const QRegularExpression emptyHeader(QStringLiteral("^\\s*-\\s*$"), QRegularExpression::MultilineOption);
        QVERIFY(!text.contains(emptyHeader));
        QVERIFY(text.contains(QStringLiteral("Agrupar Produtos pelo Nível: 0")));
        QVERIFY(text.contains(QStringLiteral("01.01.0003"))); // Arroz Branco Tipo 1 Pacote 500 g
        if (pages == 1)
            QVERIFY(text.contains(QStringLiteral("Total Geral")));
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestReportDemo)
#include "test_report_demo.moc"
