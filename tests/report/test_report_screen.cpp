// The base report screen's five commands, driven as its buttons and menu
// entries run them, on its own runner, report list and message table.
#include "ParamFiller.h"
#include "ReportFixture.h"
#include "core/HostUi.h"
#include "report/commands/TfrmDadosGerRel.h"
#include "report/commands/TReportDesignerDialog.h"
#include "report/model/DefinitionParser.h"
#include "report/model/ReportLibrary.h"
#include "ui/ScriptedHostUi.h"
#include "widgets/TLabel.h"

#include <QComboBox>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TestReportScreen : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    ScriptedHostUi *m_ui = nullptr;
    TfrmDadosGerRel *m_form = nullptr;
    ParamFiller m_filler;

    QComboBox *names() const { return m_form->component<QComboBox>(QStringLiteral("cbbReportNames")); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        ReportFixture::create(m_dir.filePath(QStringLiteral("fixture.db")));
        ReportLibrary::setUserRoot(m_dir.filePath(QStringLiteral("user")));
        m_filler.standardValues();
    }

    void init()
    {
        m_ui = HostUi::install(std::make_unique<ScriptedHostUi>());
        m_form = new TfrmDadosGerRel;
        m_form->Create();
        // A report screen's definition puts its report code in lblCodRel.
        m_form->component<TLabel>(QStringLiteral("lblCodRel"))->setCaption(QStringLiteral("XEV017"));
        auto *rpdd = m_form->component<TReportDesignerDialog>(QStringLiteral("rpddPadrao"));
        QVERIFY(rpdd);
        QVERIFY(rpdd->DefaultDatabaseName().isEmpty());
        connect(rpdd, &TReportDesignerDialog::BeforeGetQueryParams, &m_filler, &ParamFiller::fill);
        m_filler.calls.clear();
    }

    void cleanup()
    {
        delete m_form;
        HostUi::uninstall();
        ReportLibrary::setStandardRoot(QString());
    }

    void cleanupTestCase()
    {
        ReportLibrary::setUserRoot(QString());
        ReportFixture::close();
    }

    void commandsRunTheChosenDefinition()
    {
        m_form->runCommand(TfrmDadosGerRel::Command::Preview);
        QCOMPARE(m_ui->previews.size(), 1);
        QCOMPARE(m_ui->previews[0].title, ReportLibrary::list(QStringLiteral("XEV017"))[0].title);
        QCOMPARE(m_filler.calls.size(), 1);
        QCOMPARE(names()->count(), 2);

        names()->setCurrentIndex(1);
        const QString pdf = m_dir.filePath(QStringLiteral("screen.pdf"));
        m_ui->printerAnswers.enqueue(pdf);
        m_form->runCommand(TfrmDadosGerRel::Command::Print);
        QVERIFY(QFile::exists(pdf));
        QCOMPARE(m_filler.calls.size(), 2);
        QCOMPARE(m_filler.calls[1].size(), 13); // the summary's parameters
        QVERIFY(m_ui->messages.isEmpty());
    }

    void savedAndStandardDefinitionsBecomeTheChoice()
    {
        m_ui->textAnswers.enqueue(QStringLiteral("Minha cópia"));
        m_form->runCommand(TfrmDadosGerRel::Command::SaveAs);
        QCOMPARE(names()->count(), 3);
        QCOMPARE(names()->currentText(), QStringLiteral("Minha cópia"));
        QVERIFY(names()->currentData().toString().startsWith(m_dir.filePath(QStringLiteral("user"))));

        m_ui->reportEdits.enqueue([](ReportDefinition &d) {
            d.footerTemplate = QStringLiteral("Folha {page}");
            return true;
        });
        m_form->runCommand(TfrmDadosGerRel::Command::EditReport);
        QCOMPARE(DefinitionParser::parseFile(names()->currentData().toString()).footerTemplate, QStringLiteral("Folha {page}"));

        m_form->runCommand(TfrmDadosGerRel::Command::StandardReport);
        QCOMPARE(names()->currentIndex(), 0);
        QVERIFY(m_ui->messages.isEmpty());
        QDir(m_dir.filePath(QStringLiteral("user"))).removeRecursively();
    }

    void aMissingDefinitionSaysSoWithTheScreensMessage()
    {
        QTemporaryDir empty;
        ReportLibrary::setStandardRoot(empty.path());
        m_form->runCommand(TfrmDadosGerRel::Command::StandardReport);
        m_form->runCommand(TfrmDadosGerRel::Command::Print);
        QCOMPARE(m_ui->messages.size(), 2);
        const QString expected = QStringLiteral("O arquivo contendo a definição do Relatório de código 'XEV017' não foi "
                                                "encontrado no diretório '%1'.")
                                     .arg(QDir(empty.path()).absoluteFilePath(QStringLiteral("XEV017")));
        QCOMPARE(m_ui->messages[0].text, expected);
        QCOMPARE(m_ui->messages[1].text, expected);
        QVERIFY(m_filler.calls.isEmpty());
    }
};

QTEST_MAIN(TestReportScreen)
#include "test_report_screen.moc"
