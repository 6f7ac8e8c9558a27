// What a definition may hold, and that nothing larger ties up the machine:
// the counts and the size a definition is refused beyond (with its line and
// column), a list of definitions that reads only their titles (and shows a
// file that cannot be read with its problem), a run of a very large file in a
// child process that ends with a message in little memory, and the headers
// repeated at the top of a page that leave room for the page's own lines.
#include "report/layout/ReportDocument.h"
#include "report/model/DefinitionParser.h"
#include "report/model/ReportLibrary.h"
#include "report/model/ReportParseError.h"

#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char **environ;

// The sanitizer's shadow memory and quarantine roughly double what a run
// keeps; the fault guarded against grew to gigabytes either way.
#ifdef __SANITIZE_ADDRESS__
constexpr long kRssLimitKb = 1024 * 1024;
#else
constexpr long kRssLimitKb = 512 * 1024;
#endif

namespace {
const QString kCode = QStringLiteral("XEV017");
const QString kTail = QStringLiteral("query q\nSQL <<E\nSELECT 1 AS A\nE\ncolumn A \"A\" width 10\n");

QString repeated(const QString &line, int n)
{
    QString out;
    for (int i = 0; i < n; ++i)
        out += line.arg(i);
    return out;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

// The error a text gives, or a failure when it gives none.
ReportParseError errorOf(const QString &text)
{
    try {
        DefinitionParser::parseText(text, QStringLiteral("grande.rel"));
    } catch (const ReportParseError &e) {
        return e;
    }
    return ReportParseError(QString(), 0, 0, QStringLiteral("no error"));
}

// Runs this program as a child that reads `file` and lists its folder;
// returns its exit code and peak memory (kB), with what it printed.
int runChild(const QString &file, long *maxRssKb, QByteArray *printed)
{
    const QByteArray self = QCoreApplication::applicationFilePath().toLocal8Bit();
    const QByteArray arg = file.toLocal8Bit();
    const QByteArray out = (file + QStringLiteral(".out")).toLocal8Bit();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    char *argv[] = {const_cast<char *>(self.constData()), const_cast<char *>("--child"),
                    const_cast<char *>(arg.constData()), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, self.constData(), &actions, nullptr, argv, environ) != 0)
        return -1;
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    *maxRssKb = usage.ru_maxrss;
    QFile f(QString::fromLocal8Bit(out));
    if (f.open(QIODevice::ReadOnly))
        *printed = f.readAll();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The child: reads the definition and lists its folder as a screen does.
int childMain(const QString &file)
{
    ReportLibrary::setStandardRoot(QFileInfo(file).absolutePath() + QStringLiteral("/.."));
    for (const ReportEntry &e : ReportLibrary::list(QFileInfo(file).dir().dirName()))
        std::printf("listed %s\n", qUtf8Printable(e.title));
    try {
        DefinitionParser::parseFile(file);
    } catch (const EHostError &e) {
        std::printf("error %s\n", qUtf8Printable(e.text()));
        return 0;
    }
    return 1;
}
} // namespace

class TestReportBounds : public QObject {
    Q_OBJECT

private slots:
    void countsBeyondTheLimitsAreRefusedWhereTheyStart_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("fragment");
        const QString title = QStringLiteral("title \"T\"\n");
        QTest::addRow("groups") << title + kTail + repeated(QStringLiteral("group G%1\n"), 65)
                                << 6 + 65 << QStringLiteral("no máximo 64 grupos");
        QTest::addRow("parameters") << title + repeated(QStringLiteral("param P_%1 string\n"), 300) + kTail
                                    << 2 + 256 << QStringLiteral("no máximo 256 parâmetros");
        QTest::addRow("queries") << title + repeated(QStringLiteral("query q%1\nSQL <<E\nSELECT 1\nE\n"), 40)
                                 << 2 + 32 * 4 << QStringLiteral("no máximo 32 consultas");
    }

    void countsBeyondTheLimitsAreRefusedWhereTheyStart()
    {
        QFETCH(QString, text);
        QFETCH(int, line);
        QFETCH(QString, fragment);
        const ReportParseError e = errorOf(text);
        QVERIFY2(e.message().contains(fragment), qPrintable(e.message()));
        QCOMPARE(e.line(), line);
        QCOMPARE(e.column(), 1);
    }

    void theLimitsThemselvesAreAccepted()
    {
        const QString text = QStringLiteral("title \"T\"\n") + repeated(QStringLiteral("param P_%1 string\n"), 256)
                             + kTail + repeated(QStringLiteral("group G%1\n"), 64);
        const ReportDefinition def = DefinitionParser::parseText(text, QStringLiteral("cheio.rel"));
        QCOMPARE(def.params.size(), 256);
        QCOMPARE(def.groups.size(), 64);
    }

    void aTextOverOneMegabyteIsNotRead()
    {
        const QString text = QStringLiteral("title \"T\"\n#") + QString(ReportDefinition::MaxTextBytes, QLatin1Char('x'));
        const ReportParseError e = errorOf(text);
        QVERIFY2(e.message().contains(QStringLiteral("o máximo é 1024 KB")), qPrintable(e.message()));
        QCOMPARE(e.line(), 1);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("grande.rel"));
        writeFile(path, text.toUtf8());
        QVERIFY_THROWS_EXCEPTION(ReportParseError, DefinitionParser::parseFile(path));
        QVERIFY_THROWS_EXCEPTION(ReportParseError, DefinitionParser::readTitle(path));
    }

    void theTitleIsReadAloneSkippingStatementTexts()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("r.rel"));
        // A title line inside a statement text is no title; the rest of the
        // file is not looked at.
        writeFile(path, "# comentario\nquery q\nSQL <<FIM\ntitle \"Falso\"\nFIM\ntitle \"Relat\xc3\xb3rio\" # certo\nbogus 1\n");
        QCOMPARE(DefinitionParser::readTitle(path), QStringLiteral("Relatório"));
        writeFile(path, "query q\nSQL <<FIM\ntitle \"Falso\"\n");
        try {
            DefinitionParser::readTitle(path);
            QFAIL("no error");
        } catch (const ReportParseError &e) {
            QVERIFY2(e.message().contains(QStringLiteral("falta o título")), qPrintable(e.message()));
        }
        writeFile(path, "title Sem aspas\n");
        try {
            DefinitionParser::readTitle(path);
            QFAIL("no error");
        } catch (const ReportParseError &e) {
            QCOMPARE(e.line(), 1);
            QCOMPARE(e.column(), 7);
        }
    }

    void aFileThatCannotBeReadIsListedWithItsProblem()
    {
        QTemporaryDir dir;
        ReportLibrary::setStandardRoot(dir.filePath(QStringLiteral("padrao")));
        ReportLibrary::setUserRoot(dir.filePath(QStringLiteral("usuario")));
        writeFile(ReportLibrary::standardDir(kCode) + QStringLiteral("/01.rel"), "title \"Padr\xc3\xa3o\"\n");
        // A text with no title (an empty file is a leftover of an old save and not listed).
        writeFile(ReportLibrary::userDir(kCode) + QStringLiteral("/sem-titulo.rel"), "\n");
        writeFile(ReportLibrary::userDir(kCode) + QStringLiteral("/meu.rel"), "title \"Meu\"\n");
        const QList<ReportEntry> entries = ReportLibrary::list(kCode);
        ReportLibrary::setStandardRoot(QString());
        ReportLibrary::setUserRoot(QString());
        QCOMPARE(entries.size(), 3);
        QCOMPARE(entries[0].title, QStringLiteral("Padrão"));
        QVERIFY(entries[0].problem.isEmpty());
        const ReportEntry &broken = entries[1].problem.isEmpty() ? entries[2] : entries[1];
        QVERIFY2(broken.title.startsWith(QStringLiteral("Definição com erro: ")), qPrintable(broken.title));
        QVERIFY2(broken.title.contains(QStringLiteral("sem-titulo.rel")), qPrintable(broken.title));
        QVERIFY2(broken.problem.contains(QStringLiteral("falta o título")), qPrintable(broken.problem));
        QVERIFY(broken.title.size() <= 120);
    }

    void hugeDefinitionsEndWithAMessageInLittleMemory_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("count");
        QTest::addColumn<QByteArray>("listed");
        // Under 1 MB the title is read and the file refused at its 65th
        // group; over it, the file is refused unread, in the list too.
        QTest::addRow("10,000 groups") << QStringLiteral("group G%1 header \"{G%1}\" subtotal \"Total\"\n") << 10000
                                       << QByteArray("listed Enorme\n");
        QTest::addRow("1,000,000 parameters") << QStringLiteral("param P_%1 string\n") << 1000000
                                              << QByteArray("listed Definição com erro: ");
    }

    void hugeDefinitionsEndWithAMessageInLittleMemory()
    {
        QFETCH(QString, line);
        QFETCH(int, count);
        QFETCH(QByteArray, listed);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("XEV017/huge.rel"));
        QByteArray text = "title \"Enorme\"\n" + kTail.toUtf8();
        text.reserve(count * (line.size() + 8));
        for (int i = 0; i < count; ++i)
            text += line.arg(i).toUtf8();
        writeFile(path, text);
        long maxRssKb = 0;
        QByteArray printed;
        QCOMPARE(runChild(path, &maxRssKb, &printed), 0);
        QVERIFY2(printed.contains(listed), printed.constData());
        QVERIFY2(printed.contains("error "), printed.constData());
        QVERIFY2(maxRssKb < kRssLimitKb, qPrintable(QString::number(maxRssKb)));
    }

    void repeatedHeadersLeaveTheHalfOfAPage()
    {
        // 64 nested groups in large type: every row opens and closes all of
        // them, more lines than a page holds.
        const QString text = QStringLiteral("title \"T\"\nfont \"DejaVu Sans\" 40\n") + kTail
                             + repeated(QStringLiteral("group A header \"Grupo %1 {A}\"\n"), 64);
        const ReportDefinition def = DefinitionParser::parseText(text, QStringLiteral("fundo.rel"));
        auto doc = std::make_shared<ReportDocument>(def, TParams());
        doc->begin({QStringLiteral("A")}, {}, std::make_shared<ReportMemoryRows>());
        for (int r = 0; r < 20; ++r)
            doc->addRow({QStringLiteral("linha %1").arg(r)});
        doc->finish();
        const int perPage = doc->metrics().linesPerPage;
        QVERIFY(perPage < 64);
        for (const ReportPageStart &p : doc->pages())
            QVERIFY(p.continued.size() <= perPage / 2);
        // Each page but the last carries at least half a page of its own.
        QVERIFY2(doc->pageCount() <= 2 * doc->lineCount() / perPage + 2,
                 qPrintable(QStringLiteral("%1 pages for %2 lines").arg(doc->pageCount()).arg(doc->lineCount())));
    }
};

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--child") == 0) {
        QCoreApplication app(argc, argv);
        return childMain(QString::fromLocal8Bit(argv[2]));
    }
    QApplication app(argc, argv);
    TestReportBounds t;
    return QTest::qExec(&t, argc, argv);
}
#include "test_report_bounds.moc"
