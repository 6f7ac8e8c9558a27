// The base screen's report commands through TReportDesignerDialog: listing,
// save as, edit report, standard report, print and preview, with the scripted
// HostUi answering the dialogs.
#include "ReportRunnerCase.h"
#include "core/Dispatch.h"
#include "core/HostUi.h"
#include "report/commands/TReportDesignerDialog.h"
#include "report/model/DefinitionParser.h"
#include "report/model/DefinitionWriter.h"
#include "ui/ScriptedHostUi.h"

#include <QComboBox>
#include <QCryptographicHash>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString kCode = QStringLiteral("XEV017");

ReportMessages messages()
{
    return {QStringLiteral("O arquivo contendo a definição do Relatório de código '%s' não foi encontrado no diretório '%s'."),
            QStringLiteral("Título do Relatório"), QStringLiteral("Informe o título do relatório:")};
}

QByteArray digest(const QString &dir)
{
    QCryptographicHash h(QCryptographicHash::Sha1);
    const QFileInfoList files = QDir(dir).entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo &fi : files) {
        QFile f(fi.absoluteFilePath());
        f.open(QIODevice::ReadOnly);
        h.addData(fi.fileName().toUtf8());
        h.addData(f.readAll());
    }
    return h.result();
}
} // namespace

class TestReportCommands : public ReportRunnerCase {
    Q_OBJECT

    QString m_standardDir;
    QByteArray m_standardDigest;

    QString standardPath(int i) { return ReportLibrary::list(kCode)[i].path; }
    QString userDir() const { return ReportLibrary::userDir(kCode); }

private slots:
    void initTestCase()
    {
        openDatabase();
        m_standardDir = ReportLibrary::standardDir(kCode);
        m_standardDigest = digest(m_standardDir);
    }

    void init()
    {
        ReportLibrary::setUserRoot(m_dir.filePath(QStringLiteral("user")));
        QDir(userDir()).removeRecursively();
        startRunner();
    }

    void cleanup()
    {
        endRunner();
        // No command ever writes into the shipped definitions.
        QCOMPARE(digest(m_standardDir), m_standardDigest);
    }

    void cleanupTestCase()
    {
        ReportLibrary::setUserRoot(QString());
        closeDatabase();
    }

    void saveAsAddsAUserCopyListedAfterTheStandardOnes()
    {
        m_ui->textAnswers.enqueue(QStringLiteral("  Meu custo de março  "));
        const QString saved = m_rpdd->SaveAs(standardPath(0), messages());
        // Asked with the message table's texts, the current title offered.
        QCOMPARE(m_ui->textPrompts.size(), 1);
        QCOMPARE(m_ui->textPrompts[0].caption, QStringLiteral("Título do Relatório"));
        QCOMPARE(m_ui->textPrompts[0].prompt, QStringLiteral("Informe o título do relatório:"));
        QCOMPARE(m_ui->textPrompts[0].initial, DefinitionParser::parseFile(standardPath(0)).title);
        QCOMPARE(QFileInfo(saved).absolutePath(), userDir());
        const ReportDefinition copy = DefinitionParser::parseFile(saved);
        QCOMPARE(copy.title, QStringLiteral("Meu custo de março"));
        const ReportDefinition original = DefinitionParser::parseFile(standardPath(0));
        QCOMPARE(copy.queries[0].sql, original.queries[0].sql);
        QCOMPARE(copy.params.size(), 17);

        const QList<ReportEntry> list = m_rpdd->Reports();
        QCOMPARE(list.size(), 3);
        QVERIFY(list[0].standard && list[1].standard);
        QVERIFY(!list[2].standard);
        QCOMPARE(list[2].title, QStringLiteral("Meu custo de março"));

        // The combo box shows them in that order, with the file in the data.
        QComboBox cbb;
        m_rpdd->FillReportNames(&cbb, saved);
        QCOMPARE(cbb.count(), 3);
        QCOMPARE(cbb.currentIndex(), 2);
        QCOMPARE(cbb.currentData().toString(), saved);
        m_rpdd->FillReportNames(&cbb);
        QCOMPARE(cbb.currentIndex(), 0);

        // The copy runs like the original.
        QVERIFY(m_rpdd->WriteCsv(saved, m_dir.filePath(QStringLiteral("copy.csv")), messages()));
        QVERIFY(m_ui->messages.isEmpty());
    }

    void saveAsAsksWithTheTableTextsAndCanBeCancelled()
    {
        // Cancel, and an empty title: nothing is written.
        m_ui->textAnswers.enqueue(QString());
        QVERIFY(m_rpdd->SaveAs(standardPath(0), messages()).isEmpty());
        m_ui->textAnswers.enqueue(QStringLiteral("   "));
        QVERIFY(m_rpdd->SaveAs(standardPath(0), messages()).isEmpty());
        QVERIFY(!QDir(userDir()).exists() || QDir(userDir()).isEmpty());
        QVERIFY(m_ui->messages.isEmpty());
    }

    void saveAsOfTheSameTitleReplacesTheCopyWhole()
    {
        m_ui->textAnswers.enqueue(QStringLiteral("Resumo"));
        const QString first = m_rpdd->SaveAs(standardPath(0), messages());
        m_ui->textAnswers.enqueue(QStringLiteral("Resumo"));
        m_ui->yesNoAnswers.enqueue(true); // replacing the copy of that title is asked first
        const QString second = m_rpdd->SaveAs(standardPath(1), messages());
        QCOMPARE(second, first);
        QCOMPARE(DefinitionParser::parseFile(second).params.size(), 13); // the summary's, not a mix
        // Atomic writing leaves no temporary files behind.
        QCOMPARE(QDir(userDir()).entryList(QDir::Files), QStringList{QStringLiteral("resumo.rel")});
    }

    void editingAStandardDefinitionMakesAUserCopy()
    {
        m_ui->reportEdits.enqueue([](ReportDefinition &d) {
            d.title = QStringLiteral("Custo sem quantidades");
            d.columns.removeAt(3); // QTPERIODO
            return true;
        });
        const QString saved = m_rpdd->EditReport(standardPath(0), messages());
        QVERIFY(!saved.isEmpty());
        QCOMPARE(QFileInfo(saved).absolutePath(), userDir());
        const ReportDefinition d = DefinitionParser::parseFile(saved);
        QCOMPARE(d.columns.size(), 5);
        QVERIFY(m_ui->messages.isEmpty());
        // The trial run of the check raised the event once.
        QCOMPARE(m_filler->calls.size(), 1);

        // Editing the user copy changes it in place.
        m_ui->reportEdits.enqueue([](ReportDefinition &d) {
            d.columns[1].caption = QStringLiteral("Descrição");
            return true;
        });
        QCOMPARE(m_rpdd->EditReport(saved, messages()), saved);
        QCOMPARE(DefinitionParser::parseFile(saved).columns[1].caption, QStringLiteral("Descrição"));
        QCOMPARE(QDir(userDir()).entryList(QDir::Files).size(), 1);
    }

    void anEditThatBreaksTheDefinitionIsRefused_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("fragment");
        QTest::addRow("bad SQL") << 0 << QStringLiteral("O banco de dados não aceitou a consulta");
        QTest::addRow("unknown parameter") << 1 << QStringLiteral(":P_NAO_DECLARADO");
        QTest::addRow("unknown column") << 2 << QStringLiteral("CDNAOHA");
        QTest::addRow("too wide") << 3 << QStringLiteral("não cabem");
        QTest::addRow("no title") << 4 << QStringLiteral("título");
        QTest::addRow("not a query") << 5 << QStringLiteral("só pode consultar");
    }

    void anEditThatBreaksTheDefinitionIsRefused()
    {
        QFETCH(int, kind);
        QFETCH(QString, fragment);
        m_ui->reportEdits.enqueue([kind](ReportDefinition &d) {
            switch (kind) {
            case 0: d.queries[0].sql[0] = QStringLiteral("SELECT CDARVPROD FROM"); break;
            case 1: d.queries[0].sql[0] += QStringLiteral(" AND 1 = :P_NAO_DECLARADO"); break;
            case 2: d.columns[0].field = QStringLiteral("CDNAOHA"); break;
            case 3: d.columns[1].widthMm = 300; break;
            case 4: d.title.clear(); break;
            case 5: d.queries[0].sql[0] = QStringLiteral("SELEC CDARVPROD FROM PRODUTO"); break;
            }
            return true;
        });
        QVERIFY(m_rpdd->EditReport(standardPath(0), messages()).isEmpty());
        QCOMPARE(m_ui->messages.size(), 1);
        QVERIFY2(m_ui->messages[0].text.contains(fragment), qPrintable(m_ui->messages[0].text));
        QVERIFY(!QDir(userDir()).exists() || QDir(userDir()).isEmpty());
    }

    void cancellingTheEditorSavesNothing()
    {
        m_ui->reportEdits.enqueue([](ReportDefinition &d) {
            d.title = QStringLiteral("X");
            return false;
        });
        QVERIFY(m_rpdd->EditReport(standardPath(1), messages()).isEmpty());
        QVERIFY(!QDir(userDir()).exists() || QDir(userDir()).isEmpty());
        QVERIFY(m_ui->messages.isEmpty());
    }

    void standardReportChoosesTheShippedDefinitionAgain()
    {
        m_ui->textAnswers.enqueue(QStringLiteral("Cópia"));
        const QString copy = m_rpdd->SaveAs(standardPath(1), messages());
        QComboBox cbb;
        m_rpdd->FillReportNames(&cbb, copy);
        QCOMPARE(cbb.currentData().toString(), copy);
        const QString standard = m_rpdd->StandardReport(messages());
        QCOMPARE(standard, standardPath(0));
        m_rpdd->FillReportNames(&cbb, standard);
        QCOMPARE(cbb.currentIndex(), 0);
    }

    void aCodeWithoutDefinitionsGivesTheFilledMessage()
    {
        m_rpdd->setReportCode(QStringLiteral("XYZ999"));
        QVERIFY(m_rpdd->StandardReport(messages()).isEmpty());
        QCOMPARE(m_ui->messageTexts(),
                 QStringList{QStringLiteral("O arquivo contendo a definição do Relatório de código 'XYZ999' não foi "
                                            "encontrado no diretório '%1'.").arg(ReportLibrary::standardDir(QStringLiteral("XYZ999")))});
        // Every command on a file that vanished says the same.
        const QString gone = m_dir.filePath(QStringLiteral("gone/x.rel"));
        m_ui->clear();
        QVERIFY(!m_rpdd->Print(gone, messages()));
        QVERIFY(!m_rpdd->Preview(gone, messages()));
        QVERIFY(m_rpdd->SaveAs(gone, messages()).isEmpty());
        QVERIFY(m_rpdd->EditReport(gone, messages()).isEmpty());
        QCOMPARE(m_ui->messages.size(), 4);
        for (const auto &m : m_ui->messages)
            QVERIFY(m.text.endsWith(QStringLiteral("'%1'.").arg(m_dir.filePath(QStringLiteral("gone")))));
    }

    void printToAPdfFileTheUserNames()
    {
        const QString pdf = m_dir.filePath(QStringLiteral("impresso.pdf"));
        m_ui->printerAnswers.enqueue(pdf);
        QVERIFY(m_rpdd->Print(standardPath(0), messages()));
        QFile f(pdf);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().startsWith("%PDF"));
        QCOMPARE(m_filler->calls.size(), 1);

        // Cancelling the printer dialog runs nothing.
        QVERIFY(!m_rpdd->Print(standardPath(0), messages()));
        QCOMPARE(m_filler->calls.size(), 1);
        QVERIFY(m_ui->messages.isEmpty());
    }

    void printWithADatabaseErrorPrintsNothing()
    {
        const QString pdf = m_dir.filePath(QStringLiteral("nada.pdf"));
        m_ui->printerAnswers.enqueue(pdf);
        m_filler->set(QStringLiteral("P_DTINICIAL"), ParamFiller::Value::Variant, QStringLiteral("não é data"));
        QVERIFY(!m_rpdd->Print(standardPath(0), messages()));
        QVERIFY(!QFile::exists(pdf));
        QCOMPARE(m_ui->messages.size(), 1);
        QVERIFY(m_ui->messages[0].text.contains(QStringLiteral("P_DTINICIAL")));
    }

    void previewShowsThePages()
    {
        QVERIFY(m_rpdd->Preview(standardPath(1), messages()));
        QCOMPARE(m_ui->previews.size(), 1);
        QCOMPARE(m_ui->previews[0].title, DefinitionParser::parseFile(standardPath(1)).title);
        QCOMPARE(m_ui->previews[0].pages, 1);
        QCOMPARE(m_filler->calls.size(), 1);
    }

    // From inside an event handler a failing command ends that handler too
    // (the silent exception travels), after its message was shown once.
    void insideAHandlerTheFailureTravelsOn()
    {
        bool after = false;
        Dispatch::guard([&] {
            m_rpdd->WriteCsv(m_dir.filePath(QStringLiteral("gone/x.rel")), m_dir.filePath(QStringLiteral("h.csv")), messages());
            after = true;
        });
        QVERIFY(!after);
        QCOMPARE(m_ui->messages.size(), 1);
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestReportCommands)
#include "test_report_commands.moc"
