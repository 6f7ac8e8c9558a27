// Save as and edit keep one title to one file: titles that make the same
// file name get files of their own, and a title that a user copy already
// has replaces it only when the user says yes (HostUi's yes/no question).
#include "ReportRunnerCase.h"
#include "core/HostUi.h"
#include "report/commands/TReportDesignerDialog.h"
#include "report/model/DefinitionParser.h"
#include "report/model/ReportLibrary.h"
#include "ui/ScriptedHostUi.h"

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

QStringList userTitles()
{
    QStringList out;
    for (const ReportEntry &e : ReportLibrary::list(kCode))
        if (!e.standard)
            out << e.title;
    return out;
}
} // namespace

class TestReportSaveAs : public ReportRunnerCase {
    Q_OBJECT

    QString standardPath(int i) const { return ReportLibrary::list(kCode)[i].path; }
    QString userDir() const { return ReportLibrary::userDir(kCode); }
    QStringList userFiles() const { return QDir(userDir()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

    QString saveAs(int standard, const QString &title)
    {
        m_ui->textAnswers.enqueue(title);
        return m_rpdd->SaveAs(standardPath(standard), messages());
    }

private slots:
    void initTestCase()
    {
        openDatabase();
    }

    void init()
    {
        ReportLibrary::setUserRoot(m_dir.filePath(QStringLiteral("user")));
        QDir(userDir()).removeRecursively();
        startRunner();
    }

    void cleanup() { endRunner(); }

    void cleanupTestCase()
    {
        ReportLibrary::setUserRoot(QString());
        closeDatabase();
    }

    void titlesThatMakeTheSameNameGetFilesOfTheirOwn()
    {
        const QString a = saveAs(0, QStringLiteral("Resumo!"));
        const QString b = saveAs(1, QStringLiteral("Resumo?"));
        const QString c = saveAs(1, QStringLiteral("RESUMO 2"));
        QVERIFY(!a.isEmpty() && !b.isEmpty() && !c.isEmpty());
        QCOMPARE(QSet<QString>({a, b, c}).size(), 3);
        QCOMPARE(userFiles(), (QStringList{QStringLiteral("resumo-2-2.rel"), QStringLiteral("resumo-2.rel"), QStringLiteral("resumo.rel")}));
        QCOMPARE(DefinitionParser::parseFile(a).title, QStringLiteral("Resumo!"));
        QCOMPARE(DefinitionParser::parseFile(a).params.size(), 17);
        QCOMPARE(DefinitionParser::parseFile(b).title, QStringLiteral("Resumo?"));
        QCOMPARE(DefinitionParser::parseFile(b).params.size(), 13);
        QCOMPARE(DefinitionParser::parseFile(c).title, QStringLiteral("RESUMO 2"));
        // Nobody was asked anything: no title was taken.
        QVERIFY(m_ui->questions.isEmpty());
        QVERIFY(m_ui->messages.isEmpty());
    }

    void aTitleInUseIsReplacedOnlyWhenTheUserAgrees()
    {
        const QString first = saveAs(0, QStringLiteral("Meu relatório"));
        const QByteArray before = [&] {
            QFile f(first);
            f.open(QIODevice::ReadOnly);
            return f.readAll();
        }();

        // "No": the title is asked again; cancelling then leaves the copy as it was.
        m_ui->yesNoAnswers.enqueue(false);
        QVERIFY(saveAs(1, QStringLiteral("  meu RELATÓRIO ")).isEmpty());
        QCOMPARE(m_ui->questions.size(), 1);
        QCOMPARE(m_ui->questions[0].text, QStringLiteral("Já existe um relatório com o título \"meu RELATÓRIO\". Deseja substituí-lo?"));
        QCOMPARE(m_ui->textPrompts.size(), 3);
        QCOMPARE(m_ui->textPrompts[2].initial, QStringLiteral("meu RELATÓRIO"));
        QFile f(first);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
        f.close();

        // "No", then another title: a new file beside the first.
        m_ui->yesNoAnswers.enqueue(false);
        m_ui->textAnswers << QStringLiteral("Meu relatório") << QStringLiteral("Outro relatório");
        const QString other = m_rpdd->SaveAs(standardPath(1), messages());
        QVERIFY(!other.isEmpty() && other != first);
        QCOMPARE(userTitles(), (QStringList{QStringLiteral("Meu relatório"), QStringLiteral("Outro relatório")}));

        // "Yes": the same file now holds the other definition, under one title.
        m_ui->yesNoAnswers.enqueue(true);
        QCOMPARE(saveAs(1, QStringLiteral("Meu relatório")), first);
        QCOMPARE(DefinitionParser::parseFile(first).params.size(), 13);
        QCOMPARE(userFiles().size(), 2);
        QVERIFY(m_ui->messages.isEmpty());
    }

    void withNobodyToAnswerNothingIsReplaced()
    {
        const QString first = saveAs(0, QStringLiteral("Único"));
        QVERIFY(saveAs(1, QStringLiteral("Único")).isEmpty());
        QCOMPARE(m_ui->questions.size(), 1);
        QVERIFY(!m_ui->questions[0].answer);
        QCOMPARE(DefinitionParser::parseFile(first).params.size(), 17);
    }

    void aStandardTitleIsRefusedAndAskedAgain()
    {
        const QString standardTitle = ReportLibrary::list(kCode)[0].title;
        m_ui->textAnswers << standardTitle << QStringLiteral("Cópia do padrão");
        const QString saved = m_rpdd->SaveAs(standardPath(0), messages());
        QCOMPARE(DefinitionParser::parseFile(saved).title, QStringLiteral("Cópia do padrão"));
        QCOMPARE(m_ui->messages.size(), 1);
        QVERIFY(m_ui->messages[0].text.contains(QStringLiteral("relatório padrão")));
        QVERIFY(!m_ui->messages[0].abort);
        QCOMPARE(userFiles().size(), 1);
    }

    void editingAStandardUnderAUsedTitleAsksToo()
    {
        const QString mine = saveAs(1, QStringLiteral("Editado"));
        auto rename = [](ReportDefinition &d) {
            d.title = QStringLiteral("Editado");
            return true;
        };
        // "No": the edit is kept, in a file of its own.
        m_ui->reportEdits.enqueue(rename);
        const QString beside = m_rpdd->EditReport(standardPath(0), messages());
        QVERIFY(!beside.isEmpty() && beside != mine);
        QCOMPARE(m_ui->questions.size(), 1);
        QCOMPARE(DefinitionParser::parseFile(mine).params.size(), 13);
        QCOMPARE(DefinitionParser::parseFile(beside).params.size(), 17);
        QVERIFY(QFile::remove(beside));
        // "Yes": it replaces the copy of that title.
        m_ui->yesNoAnswers.enqueue(true);
        m_ui->reportEdits.enqueue(rename);
        QCOMPARE(m_rpdd->EditReport(standardPath(0), messages()), mine);
        QCOMPARE(DefinitionParser::parseFile(mine).params.size(), 17);
        QCOMPARE(userFiles().size(), 1);
    }

    void aCopyThatCannotBeWrittenLeavesNoEmptyFile()
    {
        // The user folder is a file: nothing can be made in it.
        QDir().mkpath(QFileInfo(userDir()).absolutePath());
        QFile blocker(userDir());
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QVERIFY(saveAs(0, QStringLiteral("Qualquer")).isEmpty());
        QCOMPARE(m_ui->messages.size(), 1);
        QVERIFY2(m_ui->messages[0].text.contains(QStringLiteral("Não foi possível gravar")), qPrintable(m_ui->messages[0].text));
        QVERIFY(QFile::remove(userDir()));
    }

    void newNamesAreNeverSharedNorClaimedEmpty()
    {
        QStringList paths;
        for (int i = 0; i < 5; ++i)
            paths << ReportLibrary::writeNewUserFile(kCode, QStringLiteral("Mesmo título"), QByteArray::number(i));
        QCOMPARE(QSet<QString>(paths.begin(), paths.end()).size(), 5);
        QCOMPARE(QFileInfo(paths[0]).fileName(), QStringLiteral("mesmo-titulo.rel"));
        QCOMPARE(QFileInfo(paths[4]).fileName(), QStringLiteral("mesmo-titulo-5.rel"));
        for (int i = 0; i < 5; ++i) {
            QFile f(paths[i]);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), QByteArray::number(i)); // each its own text, none replaced
        }
        // Nothing else in the folder: no reservation or passing files.
        QCOMPARE(QDir(QFileInfo(paths[0]).absolutePath()).entryList(QDir::Files | QDir::Hidden).size(), 5);
    }

    void anEmptyFileIsNoDefinitionInTheList()
    {
        const QString empty = QDir(ReportLibrary::userDir(kCode)).filePath(QStringLiteral("vazio.rel"));
        QDir().mkpath(QFileInfo(empty).absolutePath());
        QFile f(empty);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        for (const ReportEntry &e : ReportLibrary::list(kCode))
            QVERIFY2(e.path != QFileInfo(empty).absoluteFilePath(), qPrintable(e.title));
        QVERIFY(QFile::remove(empty));
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestReportSaveAs)
#include "test_report_saveas.moc"
