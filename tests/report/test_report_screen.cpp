// The base report screen's commands, driven as its buttons and menu entries
// run them, on its own runner, report list and message table; the one table
// of commands that the screen, the shell's menu, the help and scripted
// sessions read; the keys the buttons' tool tips show.
#include "ParamFiller.h"
#include "ReportFixture.h"
#include "core/HostUi.h"
#include "core/MensErro.h"
#include "report/commands/TfrmDadosGerRel.h"
#include "report/commands/TReportDesignerDialog.h"
#include "report/model/DefinitionParser.h"
#include "report/model/ReportLibrary.h"
#include "ui/ScriptedHostUi.h"
#include "report/commands/ReportCommandTable.h"
#include "widgets/TLabel.h"
#include "widgets/TMenuItem.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

// A screen whose checks refuse on request, noting each command they ran for.
class CheckedScreen : public TfrmDadosGerRel {
    Q_OBJECT
public:
    QList<ReportCommand::Id> checked;
    bool refuse = false;

protected:
    void beforeCommand(ReportCommand::Id id) override
    {
        checked << id;
        if (refuse)
            MensErro(QStringLiteral("Informe a filial."), true);
    }
};

class TestReportScreen : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    ScriptedHostUi *m_ui = nullptr;
    TfrmDadosGerRel *m_form = nullptr;
    ParamFiller m_filler;

    QComboBox *names() const { return m_form->component<QComboBox>(QStringLiteral("cbbReportNames")); }
    QString toolTip(const char *button) const { return m_form->component<QAbstractButton>(button)->toolTip(); }
    TMenuItem *entry(const char *name) const { return m_form->component<TMenuItem>(name); }

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

    void theTableKeepsTheNamesUsersKnow()
    {
        using Id = ReportCommand::Id;
        struct Row {
            Id id;
            QString caption, key, script;
        };
        const QList<Row> rows = {
            {Id::Print, "&Imprimir", "Ctrl+P", "print"},
            {Id::Preview, "&Visualizar", "F5", "preview"},
            {Id::SaveAs, "&Salvar como...", "Ctrl+S", "saveas"},
            {Id::ExportCsv, "&Exportar para CSV...", "Ctrl+E", "exportcsv"},
            {Id::ExportXlsx, "Exportar para Excel (&XLSX)...", "Ctrl+Shift+E", "exportxlsx"},
            {Id::EditReport, "E&ditar relatório...", "Ctrl+D", "editreport"},
            {Id::StandardReport, "Relatório &padrão", "Ctrl+Shift+D", "standard"},
            {Id::RepeatLastParameters, "&Repetir últimos parâmetros", "Ctrl+R", "recall"},
            {Id::SaveParameterSet, "Salvar parâ&metros como…", "Ctrl+Shift+S", "saveparams"},
            {Id::OpenParameterSet, "&Abrir parâmetros…", "Ctrl+O", "openparams"},
            {Id::RecentRuns, "Relatórios re&centes...", "Ctrl+H", "recent"},
        };
        QCOMPARE(ReportCommandTable::all().size(), rows.size());
        for (int i = 0; i < rows.size(); ++i) {
            const ReportCommand &c = ReportCommandTable::all()[i];
            QCOMPARE(c.id, rows[i].id); // menu order
            QCOMPARE(c.caption, rows[i].caption);
            QCOMPARE(c.key, QKeySequence(rows[i].key));
            QCOMPARE(c.scriptName, rows[i].script);
            QCOMPARE(&ReportCommandTable::of(c.id), &c);
            QCOMPARE(ReportCommandTable::byScriptName(rows[i].script.toUpper()), &c);
        }
        QVERIFY(!ReportCommandTable::byScriptName(QStringLiteral("imprimir")));
        QCOMPARE(ReportCommandTable::of(Id::ExportXlsx).plainCaption(), QStringLiteral("Exportar para Excel (XLSX)"));
        QCOMPARE(ReportCommandTable::of(Id::SaveParameterSet).plainCaption(), QStringLiteral("Salvar parâmetros como"));
        // The help lists the commands with a key, as the menu does.
        const QString help = ReportCommandTable::helpList();
        QVERIFY2(help.contains(QStringLiteral("<li><b>Imprimir</b> (Ctrl+P)</li><li><b>Visualizar</b> (F5)</li>")),
                 qPrintable(help));
        QVERIFY(help.contains(QStringLiteral("<li><b>Repetir últimos parâmetros</b> (Ctrl+R)</li>")));
        QVERIFY(help.contains(QStringLiteral("<li><b>Relatório padrão</b> (Ctrl+Shift+D)</li>")));
    }

    void theButtonsShowTheirKeys()
    {
        QCOMPARE(toolTip("sbtPrint"), QStringLiteral("Imprimir (Ctrl+P)"));
        QCOMPARE(toolTip("sbtPreview"), QStringLiteral("Visualizar (F5)"));
        QCOMPARE(toolTip("sbtSalvarComo"), QStringLiteral("Salvar como (Ctrl+S)"));
        // The export entries share one button: its tip names both keys.
        QCOMPARE(toolTip("sbtExportar"), QStringLiteral("Exportar para planilha (Ctrl+E: CSV; Ctrl+Shift+E: Excel)"));
        // The edit button's menu holds both definition commands: its tip names both keys.
        QCOMPARE(toolTip("sbtReportEdit"), QStringLiteral("Editar relatório (Ctrl+D; Ctrl+Shift+D: relatório padrão)"));
        QCOMPARE(entry("mnuExportarCsv")->action()->shortcut(), QKeySequence(QStringLiteral("Ctrl+E")));
        QCOMPARE(entry("mnuExportarXlsx")->action()->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+E")));
    }

    void aCommandRunsOnlyWhileItsControlIsEnabled()
    {
        using Id = ReportCommand::Id;
        QVERIFY(m_form->offers(Id::Preview));
        QVERIFY(m_form->offers(Id::ExportCsv));
        // The base screen keeps no parameters to repeat.
        QVERIFY(!m_form->offers(Id::RepeatLastParameters));
        m_form->run(Id::RepeatLastParameters);
        m_form->component<QAbstractButton>("sbtPreview")->setEnabled(false);
        QVERIFY(!m_form->offers(Id::Preview));
        m_form->run(Id::Preview);
        QVERIFY(m_ui->previews.isEmpty());
        entry("mnuRelatPadr")->setEnabled(false);
        QVERIFY(!m_form->offers(Id::StandardReport));
        QVERIFY(m_filler.calls.isEmpty());
        QVERIFY(m_ui->messages.isEmpty());
    }

    // Every report command runs the screen's checks first, with its id; a
    // check that refuses stops it before anything is asked or written.
    void theScreensChecksComeFirst()
    {
        CheckedScreen screen;
        screen.Create();
        screen.component<TLabel>(QStringLiteral("lblCodRel"))->setCaption(QStringLiteral("XEV017"));
        connect(screen.reportRunner(), &TReportDesignerDialog::BeforeGetQueryParams, &m_filler, &ParamFiller::fill);
        screen.refuse = true;
        QList<ReportCommand::Id> expected;
        for (const ReportCommand &c : ReportCommandTable::all()) {
            // The screen's own parameter commands and the shell's window run no report.
            if (c.id == ReportCommand::Id::RepeatLastParameters || c.id == ReportCommand::Id::SaveParameterSet
                || c.id == ReportCommand::Id::OpenParameterSet || c.id == ReportCommand::Id::RecentRuns)
                continue;
            screen.run(c.id);
            expected << c.id;
        }
        QCOMPARE(screen.checked, expected);
        QCOMPARE(m_ui->messages.size(), expected.size());
        QVERIFY(m_filler.calls.isEmpty() && m_ui->previews.isEmpty());
        screen.refuse = false;
        screen.run(ReportCommand::Id::Preview);
        QCOMPARE(m_ui->previews.size(), 1);
    }

    void commandsRunTheChosenDefinition()
    {
        m_form->run(ReportCommand::Id::Preview);
        QCOMPARE(m_ui->previews.size(), 1);
        QCOMPARE(m_ui->previews[0].title, ReportLibrary::list(QStringLiteral("XEV017"))[0].title);
        QCOMPARE(m_filler.calls.size(), 1);
        QCOMPARE(names()->count(), 2);

        names()->setCurrentIndex(1);
        const QString pdf = m_dir.filePath(QStringLiteral("screen.pdf"));
        m_ui->printerAnswers.enqueue(pdf);
        m_form->run(ReportCommand::Id::Print);
        QVERIFY(QFile::exists(pdf));
        QCOMPARE(m_filler.calls.size(), 2);
        QCOMPARE(m_filler.calls[1].size(), 13); // the summary's parameters
        QVERIFY(m_ui->messages.isEmpty());
    }

    void savedAndStandardDefinitionsBecomeTheChoice()
    {
        m_ui->textAnswers.enqueue(QStringLiteral("Minha cópia"));
        m_form->run(ReportCommand::Id::SaveAs);
        QCOMPARE(names()->count(), 3);
        QCOMPARE(names()->currentText(), QStringLiteral("Minha cópia"));
        QVERIFY(names()->currentData().toString().startsWith(m_dir.filePath(QStringLiteral("user"))));

        m_ui->reportEdits.enqueue([](ReportDefinition &d) {
            d.footerTemplate = QStringLiteral("Folha {page}");
            return true;
        });
        m_form->run(ReportCommand::Id::EditReport);
        QCOMPARE(DefinitionParser::parseFile(names()->currentData().toString()).footerTemplate, QStringLiteral("Folha {page}"));

        m_form->run(ReportCommand::Id::StandardReport);
        QCOMPARE(names()->currentIndex(), 0);
        QVERIFY(m_ui->messages.isEmpty());
        QDir(m_dir.filePath(QStringLiteral("user"))).removeRecursively();
    }

    void aMissingDefinitionSaysSoWithTheScreensMessage()
    {
        QTemporaryDir empty;
        ReportLibrary::setStandardRoot(empty.path());
        m_form->run(ReportCommand::Id::StandardReport);
        m_form->run(ReportCommand::Id::Print);
        QCOMPARE(m_ui->messages.size(), 2);
        const QString expected = QStringLiteral("O arquivo contendo a definição do Relatório de código 'XEV017' não foi "
                                                "encontrado no diretório '%1'.")
                                     .arg(QDir(empty.path()).absoluteFilePath(QStringLiteral("XEV017")));
        QCOMPARE(m_ui->messages[0].text, expected);
        QCOMPARE(m_ui->messages[1].text, expected);
        QVERIFY(m_filler.calls.isEmpty());
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestReportScreen)
#include "test_report_screen.moc"
