// What the print dialog chooses reaches the pages: a page range, copies
// (collated or not), the paper and the orientation. A wider page is laid out
// anew (fewer lines a page, so more pages), not rotated; a range outside the
// document is refused with a message and nothing is written. Checked on the
// PDF itself: its page count and each page's size.
#include "ReportRunnerCase.h"
#include "core/HostUi.h"
#include "report/commands/TReportDesignerDialog.h"
#include "report/layout/PageSelection.h"
#include "report/layout/ReportValues.h"
#include "report/model/DefinitionParser.h"
#include "report/model/DefinitionWriter.h"
#include "session/ShellNotices.h"
#include "ui/ScriptedHostUi.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString kCode = QStringLiteral("XEV017");

ReportMessages messages()
{
    return {QStringLiteral("Relatório '%s' não encontrado em '%s'."), QStringLiteral("Título do Relatório"),
            QStringLiteral("Informe o título do relatório:")};
}

// Each page's size in points, as the PDF's page objects state it.
QList<QSizeF> pdfPageSizes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QString pdf = QString::fromLatin1(f.readAll());
    static const QRegularExpression page(
        QStringLiteral("/Type\\s*/Page(?![s])[^>]*?/MediaBox\\s*\\[\\s*0\\s+0\\s+([\\d.]+)\\s+([\\d.]+)\\s*\\]"));
    QList<QSizeF> sizes;
    for (auto it = page.globalMatch(pdf); it.hasNext();) {
        const auto m = it.next();
        sizes << QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble());
    }
    return sizes;
}

bool near(const QSizeF &a, const QSizeF &b) { return qAbs(a.width() - b.width()) < 2 && qAbs(a.height() - b.height()) < 2; }

const QSizeF kA4Portrait(595, 842), kA4Landscape(842, 595), kLetter(612, 792), kLegal(612, 1008);
} // namespace

class TestReportPrint : public ReportRunnerCase {
    Q_OBJECT

    QString m_long;
    int m_file = 0;

    // Prints m_long with the choices given, into a new PDF; its path, or
    // empty when the print was refused.
    QString print(const ScriptedHostUi::PrintDialogChoices &choices)
    {
        const QString pdf = m_dir.filePath(QStringLiteral("print-%1.pdf").arg(++m_file));
        m_ui->printerAnswers.enqueue(pdf);
        m_ui->printChoices = choices;
        return m_rpdd->Print(m_long, messages()) ? pdf : QString();
    }

private slots:
    void initTestCase()
    {
        openDatabase();
        // 3,000 numbered rows with a subtotal every 100: dozens of pages.
        const ReportDefinition def = DefinitionParser::parseText(
            QStringLiteral("title \"Longo\"\nquery q\nSQL <<E\n"
                           "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000)\n"
                           "SELECT printf('r%05d', i) AS A, i * 1.5 AS V, (i - 1) / 100 AS G FROM n\nE\n"
                           "column A \"A\" width 40\ncolumn V \"V\" width 30 align right format number 2 sum\n"
                           "group G header \"Grupo {G}\" subtotal \"Total {G}\"\n"),
            QStringLiteral("long.rel"));
        m_long = m_dir.filePath(QStringLiteral("scratch/long.rel"));
        QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("scratch"))));
        DefinitionWriter::save(def, m_long);
    }

    void init() { startRunner(); }

    void cleanup() { endRunner(); }

    void cleanupTestCase() { closeDatabase(); }

    void everyPageOnA4PortraitByDefault()
    {
        const QString pdf = print({});
        QVERIFY(!pdf.isEmpty());
        const QList<QSizeF> pages = pdfPageSizes(pdf);
        QVERIFY2(pages.size() > 40, qPrintable(QString::number(pages.size())));
        for (const QSizeF &s : pages)
            QVERIFY(near(s, kA4Portrait));
    }

    void pagesTwoToThreeInLandscape()
    {
        const int portrait = pdfPageSizes(print({})).size();
        ScriptedHostUi::PrintDialogChoices all;
        all.orientation = QPageLayout::Landscape;
        const int landscape = pdfPageSizes(print(all)).size();
        // Laid out again for the wider, shorter page: fewer lines fit.
        QVERIFY2(landscape > portrait, qPrintable(QStringLiteral("%1 x %2").arg(landscape).arg(portrait)));

        ScriptedHostUi::PrintDialogChoices range = all;
        range.from = 2;
        range.to = 3;
        const QList<QSizeF> pages = pdfPageSizes(print(range));
        QCOMPARE(pages.size(), 2);
        for (const QSizeF &s : pages)
            QVERIFY(near(s, kA4Landscape));
        QCOMPARE(m_ui->messages.size(), 0);
    }

    void paperAndCopies()
    {
        ScriptedHostUi::PrintDialogChoices letter;
        letter.paper = QPageSize(QPageSize::Letter);
        const QList<QSizeF> onLetter = pdfPageSizes(print(letter));
        QVERIFY(!onLetter.isEmpty());
        QVERIFY(near(onLetter.first(), kLetter));

        ScriptedHostUi::PrintDialogChoices legal;
        legal.paper = QPageSize(QPageSize::Legal);
        const QList<QSizeF> onLegal = pdfPageSizes(print(legal));
        QVERIFY(near(onLegal.value(0), kLegal));
        QVERIFY(onLegal.size() < onLetter.size()); // a longer page holds more lines

        ScriptedHostUi::PrintDialogChoices copies;
        copies.from = 1;
        copies.to = 2;
        copies.copies = 3;
        QCOMPARE(pdfPageSizes(print(copies)).size(), 6);
    }

    void aRangeOutsideTheDocumentIsRefused()
    {
        const int pages = pdfPageSizes(print({})).size();
        ScriptedHostUi::PrintDialogChoices beyond;
        beyond.from = pages;
        beyond.to = pages + 1;
        const QString pdf = m_dir.filePath(QStringLiteral("print-%1.pdf").arg(m_file + 1));
        QVERIFY(print(beyond).isEmpty());
        QVERIFY(!QFile::exists(pdf));
        QCOMPARE(m_ui->messages.size(), 1);
        const QString text = m_ui->messages[0].text;
        QVERIFY2(text.contains(QStringLiteral("tem %1 páginas").arg(pages)), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("Nada foi impresso")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("entre 1 e %1").arg(pages)), qPrintable(text));
    }

    // Not printing, but the same person's next step: the file is offered
    // under the screen's name in the folder last saved to, and once written
    // it is told (the status bar shows it with "Abrir pasta"); printing
    // offers its PDF under the same name.
    void exportsOfferTheirNameInTheLastFolder()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSignalSpy written(&ShellNotices::instance(), &ShellNotices::fileWritten);
        m_rpdd->setFileNameStem(QStringLiteral("custo-realizado-0101-2026-03"));
        const QString folder = m_dir.filePath(QStringLiteral("planilhas"));
        QVERIFY(QDir().mkpath(folder));
        const QString first = QDir(folder).filePath(QStringLiteral("primeira.xlsx"));
        m_ui->saveFileAnswers.enqueue(first);
        QVERIFY(m_rpdd->Export(m_long, messages(), ExportFormat::Id::Xlsx));
        QVERIFY(m_ui->saveFileOffers.value(0).endsWith(QStringLiteral("/custo-realizado-0101-2026-03.xlsx")));
        QCOMPARE(written.size(), 1);
        QCOMPARE(written[0][0].toString(), first);
        QVERIFY(QFile::exists(first));

        m_ui->saveFileAnswers.enqueue(QString()); // cancelled: nothing written, nothing told
        QVERIFY(!m_rpdd->Export(m_long, messages(), ExportFormat::Id::Csv));
        QCOMPARE(m_ui->saveFileOffers.value(1), QDir(folder).filePath(QStringLiteral("custo-realizado-0101-2026-03.csv")));
        QCOMPARE(written.size(), 1);

        // The print dialog is offered the same name for its PDF file.
        QVERIFY(!print({}).isEmpty());
        QCOMPARE(m_ui->offeredPdfNames, QStringList{QStringLiteral("custo-realizado-0101-2026-03.pdf")});
    }

    void pageNumbersAsReadHere()
    {
        const ReportDefinition def = DefinitionParser::parseFile(m_long);
        const ReportValues values(def, TParams(), nullptr, QDateTime::currentDateTime());
        QCOMPARE(values.expand(def.footerTemplate, nullptr, 1234, 17242), QStringLiteral("Página 1.234 de 17.242"));
        QCOMPARE(values.expand(def.footerTemplate, nullptr, 2, 3), QStringLiteral("Página 2 de 3"));
    }

    void selectionRunsAndChecks()
    {
        PageSelection s;
        QCOMPARE(s.runs(5), (QList<QPair<int, int>>{{0, 5}}));
        s.from = 2;
        s.to = 3;
        s.copies = 2;
        QCOMPARE(s.runs(5), (QList<QPair<int, int>>{{1, 3}, {1, 3}}));
        s.collate = false;
        QCOMPARE(s.runs(5), (QList<QPair<int, int>>{{1, 2}, {1, 2}, {2, 3}, {2, 3}}));
        QCOMPARE(s.pagesToPaint(5), 4);
        s.check(3, QStringLiteral("T"));
        QVERIFY_THROWS_EXCEPTION(EHostError, s.check(2, QStringLiteral("T")));
        s.from = 4; // backwards
        QVERIFY_THROWS_EXCEPTION(EHostError, s.check(9, QStringLiteral("T")));
        PageSelection none;
        none.copies = 0;
        QVERIFY_THROWS_EXCEPTION(EHostError, none.check(9, QStringLiteral("T")));
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestReportPrint)
#include "test_report_print.moc"
