// The report definition format: reading every statement, writing it back,
// errors that name file, line and column, parameter scanning of statements,
// templates and the names of user files.
#include "report/model/DefinitionParser.h"
#include "report/model/DefinitionWriter.h"
#include "report/model/ReportLibrary.h"
#include "report/model/ReportParseError.h"
#include "report/model/ReportSqlText.h"
#include "report/model/ReportTemplate.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QString fullText()
{
    QFile f(QStringLiteral(REPORT_TEST_DIR "/full.rel"));
    if (!f.open(QIODevice::ReadOnly))
        qFatal("full.rel missing");
    return QString::fromUtf8(f.readAll());
}

struct Bad {
    const char *text;
    int line, column;
    const char *fragment;
};
} // namespace

class TestReportDefinition : public QObject {
    Q_OBJECT

private slots:
    void readsEveryStatement()
    {
        const ReportDefinition d = DefinitionParser::parseText(fullText(), QStringLiteral("full.rel"));
        QCOMPARE(d.title, QStringLiteral("Custo \"realizado\" do Período"));
        QCOMPARE(d.orientation, ReportDefinition::Orientation::Landscape);
        QCOMPARE(d.fontSize, 9.5);
        QCOMPARE(d.params.size(), 3);
        QCOMPARE(d.params[0].defaultValue.toString(), QStringLiteral("0101"));
        QCOMPARE(d.params[1].type, TParam::DataType::Date);
        QCOMPARE(d.params[1].format, QStringLiteral("dd/MM/yy"));
        QCOMPARE(d.params[2].type, TParam::DataType::Integer);
        QCOMPARE(d.queries.size(), 2);
        QCOMPARE(d.queries[0].label, QString());
        QCOMPARE(d.queries[1].label, QStringLiteral("Consulta à parte \"B\""));
        QVERIFY(d.queries[0].sql[ReportQuery::Default].startsWith(QLatin1String("SELECT A, B")));
        QVERIFY(d.queries[0].sql[ReportQuery::InterBase].endsWith(QLatin1String("END")));
        QVERIFY(d.queries[0].sql[ReportQuery::Oracle].isEmpty());
        // A dialect without its own text runs the default one.
        QCOMPARE(d.queries[0].textFor(ReportQuery::Oracle), d.queries[0].sql[ReportQuery::Default]);
        QCOMPARE(d.queries[0].textFor(ReportQuery::InterBase), d.queries[0].sql[ReportQuery::InterBase]);
        QCOMPARE(d.queries[0].sqlLine[ReportQuery::Default], 10);
        QCOMPARE(d.columns.size(), 3);
        QCOMPARE(d.columns[0].align, ReportColumn::Align::Center);
        QCOMPARE(d.columns[1].format, ReportColumn::Format::Number);
        QCOMPARE(d.columns[1].decimals, 3);
        QCOMPARE(d.columns[1].widthMm, 40.5);
        QVERIFY(d.columns[1].sum);
        QCOMPARE(d.columns[2].align, ReportColumn::Align::Left);
        QCOMPARE(d.columns[2].pattern, QStringLiteral("dd/MM/yyyy"));
        QCOMPARE(d.groups.size(), 1);
        QCOMPARE(d.groups[0].subtotalCaption, QStringLiteral("Total {A}"));
        QCOMPARE(d.totalCaption, QStringLiteral("Total Geral"));
        QCOMPARE(d.headerLines, QStringList{QStringLiteral("Filial {P_CDFILIAL}")});
        QCOMPARE(d.footerTemplate, QStringLiteral("Folha {page}/{pages}"));
    }

    void writerRoundTrips()
    {
        const ReportDefinition a = DefinitionParser::parseText(fullText(), QStringLiteral("full.rel"));
        const QString text = DefinitionWriter::toText(a);
        const ReportDefinition b = DefinitionParser::parseText(text, QStringLiteral("written.rel"));
        QCOMPARE(b.title, a.title);
        QCOMPARE(b.orientation, a.orientation);
        QCOMPARE(b.params.size(), a.params.size());
        for (int i = 0; i < a.params.size(); ++i) {
            QCOMPARE(b.params[i].name, a.params[i].name);
            QCOMPARE(b.params[i].type, a.params[i].type);
            QCOMPARE(b.params[i].label, a.params[i].label);
            QCOMPARE(b.params[i].defaultValue.toString(), a.params[i].defaultValue.toString());
        }
        for (int q = 0; q < a.queries.size(); ++q) {
            QCOMPARE(b.queries[q].label, a.queries[q].label);
            for (int k = 0; k < ReportQuery::DialectCount; ++k)
                QCOMPARE(b.queries[q].sql[k], a.queries[q].sql[k]);
        }
        for (int c = 0; c < a.columns.size(); ++c) {
            QCOMPARE(b.columns[c].field, a.columns[c].field);
            QCOMPARE(b.columns[c].caption, a.columns[c].caption);
            QCOMPARE(b.columns[c].widthMm, a.columns[c].widthMm);
            QCOMPARE(b.columns[c].align, a.columns[c].align);
            QCOMPARE(b.columns[c].format, a.columns[c].format);
            QCOMPARE(b.columns[c].decimals, a.columns[c].decimals);
            QCOMPARE(b.columns[c].pattern, a.columns[c].pattern);
            QCOMPARE(b.columns[c].sum, a.columns[c].sum);
        }
        QCOMPARE(b.groups[0].headerTemplate, a.groups[0].headerTemplate);
        QCOMPARE(b.totalCaption, a.totalCaption);
        QCOMPARE(b.headerLines, a.headerLines);
        QCOMPARE(b.footerTemplate, a.footerTemplate);
        // Writing again gives the same text.
        QCOMPARE(DefinitionWriter::toText(b), text);
    }

    void writerPicksATagNoLineEquals()
    {
        ReportDefinition d = DefinitionParser::parseText(fullText(), QStringLiteral("full.rel"));
        d.queries[0].sql[ReportQuery::Default] = QStringLiteral("SELECT CASE WHEN 1 = 1 THEN 'a'\nEND AS A, B FROM T");
        const ReportDefinition b = DefinitionParser::parseText(DefinitionWriter::toText(d), QStringLiteral("w.rel"));
        QCOMPARE(b.queries[0].sql[ReportQuery::Default], d.queries[0].sql[ReportQuery::Default]);
    }

    // Sizes and widths go out as the parser reads them (plain decimals, no
    // exponent) and with every digit that tells them apart.
    void writerKeepsNumbersExact()
    {
        ReportDefinition d = DefinitionParser::parseText(fullText(), QStringLiteral("full.rel"));
        d.fontSize = 4.00000000000001;
        d.columns[0].widthMm = 0.00001;
        d.columns[1].widthMm = 12.345678901234567;
        const QString text = DefinitionWriter::toText(d);
        ReportDefinition b;
        try {
            b = DefinitionParser::parseText(text, QStringLiteral("w.rel"));
        } catch (const ReportParseError &e) {
            QFAIL(qPrintable(e.text() + QLatin1Char('\n') + text));
        }
        // Exact comparisons: QCOMPARE would forgive the lost digits.
        QVERIFY2(b.fontSize == d.fontSize, qPrintable(text));
        QVERIFY2(b.columns[0].widthMm == d.columns[0].widthMm, qPrintable(text));
        QVERIFY2(b.columns[1].widthMm == d.columns[1].widthMm, qPrintable(text));
        QVERIFY(text.contains(QLatin1String("width 0.00001 ")));
    }

    // Lines may end in several carriage returns (a file converted to CRLF
    // twice): none belongs to the text, so the statements read the same and
    // writing and reading back keeps them.
    void carriageReturnsBelongToNoLine()
    {
        const ReportDefinition plain = DefinitionParser::parseText(fullText(), QStringLiteral("full.rel"));
        const ReportDefinition a =
            DefinitionParser::parseText(fullText().replace(QLatin1String("\n"), QLatin1String("\r\r\n")), QStringLiteral("crlf.rel"));
        const ReportDefinition b = DefinitionParser::parseText(DefinitionWriter::toText(a), QStringLiteral("w.rel"));
        for (int d = 0; d < ReportQuery::DialectCount; ++d) {
            QCOMPARE(a.queries[0].sql[d], plain.queries[0].sql[d]);
            QCOMPARE(b.queries[0].sql[d], a.queries[0].sql[d]);
        }
    }

    void errorsNameLineAndColumn_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("fragment");
        const QString tail = QStringLiteral("query q\nSQL <<E\nSELECT A FROM T\nE\ncolumn A \"A\" width 10\n");
        const Bad cases[] = {
            {"title \"T\"\nbogus 1\n", 2, 1, "desconhecida 'bogus'"},
            {"title \"T\nquery q\n", 1, 7, "não terminado"},
            {"title \"T\"\nquery q\nSQL <<END\nSELECT 1\n", 3, 5, "não terminado"},
            {"title \"T\"\nparam P_A string\nquery q\nSQL <<E\nSELECT A\n  FROM T WHERE X = :P_B\nE\ncolumn A \"A\" width 10\n",
             6, 20, ":P_B não declarado"},
            {"orientation portrait\nquery q\nSQL <<E\nSELECT A FROM T\nE\ncolumn A \"A\" width 10\n", 1, 1, "falta o título"},
            {"title \"T\"\nSQL <<E\nSELECT 1\nE\n", 2, 1, "fora de uma consulta"},
            {"title \"T\"\nparam P_A string\nparam P_A integer\n", 3, 7, "repetido"},
            {"title \"T\"\nparam P_A money\n", 2, 11, "tipo desconhecido"},
            {"title \"T\"\norientation sideways\n", 2, 13, "orientação desconhecida"},
            {"title \"T\"\ncolumn A \"A\" width 0\n", 2, 20, "maior que zero"},
            {"title \"T\"\ncolumn A \"A\" align left\n", 2, 1, "sem largura"},
            {"title \"T\"\ncolumn A \"A\" width 10 format text sum\n", 2, 1, "numéricas"},
            {"title \"T\"\ncolumn A \"A\" width 10 format number x\n", 2, 37, "casas decimais"},
            {"title \"T\"\nheader \"Filial {P_X}\"\n", 2, 16, "P_X' não declarado"},
            {"title \"T\"\nheader \"Nome {q.NOME}\"\n", 2, 14, "consulta 'q' não declarada"},
            {"title \"T\"\ntitle \"U\"\n", 2, 1, "título repetido"},
            {"title \"T\" extra\n", 1, 11, "inesperado 'extra'"},
            {"title \"T\"\nfont \"X\" 2\n", 2, 10, "tamanho de fonte"},
            {"title \"T\\q\"\n", 1, 9, "escape"},
            {"title \"T\"\nquery q\n", 2, 1, "nenhuma coluna"},
            {"title \"T\"\ncolumn A \"A\" width 10\n", 2, 1, "nenhuma consulta"},
            {"title \"T\"\nquery q\ncolumn A \"A\" width 10\n", 2, 1, "sem texto SQL"},
            {"title \"T\"\n@\n", 2, 1, "caractere inesperado"},
        };
        int n = 0;
        for (const Bad &b : cases)
            QTest::addRow("case%d", n++) << QString::fromUtf8(b.text) << b.line << b.column << QString::fromUtf8(b.fragment);
        // Columns wider than a portrait page: the column that overflows.
        QTest::addRow("too-wide") << QStringLiteral("title \"T\"\n") + tail.left(tail.size() - 1) +
                                         QStringLiteral("\ncolumn B \"B\" width 150\ncolumn C \"C\" width 40\n")
                                  << 8 << 1 << QStringLiteral("não cabem");
    }

    void errorsNameLineAndColumn()
    {
        QFETCH(QString, text);
        QFETCH(int, line);
        QFETCH(int, column);
        QFETCH(QString, fragment);
        try {
            DefinitionParser::parseText(text, QStringLiteral("bad.rel"));
            QFAIL("no error");
        } catch (const ReportParseError &e) {
            QCOMPARE(e.file(), QStringLiteral("bad.rel"));
            QVERIFY2(e.message().contains(fragment), qPrintable(e.message()));
            QCOMPARE(e.line(), line);
            QCOMPARE(e.column(), column);
            QVERIFY(e.text().contains(QStringLiteral("linha %1, coluna %2").arg(line).arg(column)));
        }
    }

    void parseFileNamesTheFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("quebrado.rel"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("title \"T\"\nquery\n");
        f.close();
        try {
            DefinitionParser::parseFile(path);
            QFAIL("no error");
        } catch (const ReportParseError &e) {
            QCOMPARE(e.file(), QStringLiteral("quebrado.rel"));
            QCOMPARE(e.line(), 2);
        }
        QVERIFY_THROWS_EXCEPTION(EHostError, DefinitionParser::parseFile(dir.filePath(QStringLiteral("none.rel"))));
    }

    void checkOfAnEditedDefinition()
    {
        ReportDefinition d = DefinitionParser::parseText(fullText(), QStringLiteral("full.rel"));
        QCOMPARE(DefinitionParser::check(d), QString());
        d.queries[0].sql[0] += QStringLiteral(" AND Y = :P_UNKNOWN");
        QVERIFY(DefinitionParser::check(d).contains(QStringLiteral(":P_UNKNOWN")));
        d = DefinitionParser::parseText(fullText(), QStringLiteral("full.rel"));
        d.title.clear();
        QVERIFY(!DefinitionParser::check(d).isEmpty());
        d = DefinitionParser::parseText(fullText(), QStringLiteral("full.rel"));
        d.columns[0].widthMm = 500;
        QVERIFY(DefinitionParser::check(d).contains(QStringLiteral("não cabem")));
    }

    void sqlParametersAreFoundOutsideQuotesAndComments()
    {
        const QString sql = QStringLiteral("SELECT ':P_A', \"x:P_B\", a::text /* :P_C */ FROM t -- :P_D\n"
                                           "WHERE a = :P_E AND b = :P_E OR c = 'it''s :P_F' AND d=:P_G");
        QStringList names;
        const QString pos = ReportSqlText::positional(sql, names);
        QCOMPARE(names, (QStringList{QStringLiteral("P_E"), QStringLiteral("P_E"), QStringLiteral("P_G")}));
        QVERIFY(pos.contains(QLatin1String("WHERE a = ? AND b = ? OR c = 'it''s :P_F' AND d=?")));
        QVERIFY(pos.contains(QLatin1String("':P_A'")));
        QVERIFY(pos.contains(QLatin1String("a::text")));
        QCOMPARE(ReportSqlText::scan(QStringLiteral(":P_X")).first().offset, 0);
    }

    void templatesExpand()
    {
        const QString out = ReportTemplate::expand(QStringLiteral("{A} de {B} {A}{}"), [](const QString &n) {
            return n == QLatin1String("A") ? QStringLiteral("1") : QStringLiteral("dois");
        });
        QCOMPARE(out, QStringLiteral("1 de dois 1{}"));
        QVERIFY(ReportTemplate::isRowField(QStringLiteral("CDNIVEL")));
        QVERIFY(!ReportTemplate::isRowField(QStringLiteral("P_CDFILIAL")));
        QVERIFY(!ReportTemplate::isRowField(QStringLiteral("q.X")));
        QVERIFY(!ReportTemplate::isRowField(QStringLiteral("pages")));
    }

    void userFileNamesComeFromTitles()
    {
        QTemporaryDir dir;
        ReportLibrary::setUserRoot(dir.path());
        QCOMPARE(QFileInfo(ReportLibrary::userPathFor(QStringLiteral("XEV017"), QStringLiteral("Custo Realizado: Março/2026 (São Paulo)")))
                     .fileName(),
                 QStringLiteral("custo-realizado-marco-2026-sao-paulo.rel"));
        QCOMPARE(QFileInfo(ReportLibrary::userPathFor(QStringLiteral("XEV017"), QStringLiteral("../../etc/passwd"))).absolutePath(),
                 QDir(dir.path()).absoluteFilePath(QStringLiteral("XEV017")));
        QCOMPARE(QFileInfo(ReportLibrary::userPathFor(QStringLiteral("XEV017"), QStringLiteral("???"))).fileName(),
                 QStringLiteral("relatorio.rel"));
        ReportLibrary::setUserRoot(QString());
    }

    // The shipped definitions are read from the copy beside the executable.
    void standardDefinitionsAreShippedAndValid()
    {
        ReportLibrary::setStandardRoot(QString());
        QCOMPARE(ReportLibrary::standardRoot(), QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("reports")));
        const QList<ReportEntry> list = ReportLibrary::list(QStringLiteral("XEV017"));
        QVERIFY(list.size() >= 2);
        QStringList all;
        for (const ReportEntry &e : list) {
            QVERIFY(e.standard);
            const ReportDefinition d = DefinitionParser::parseFile(e.path); // throws when broken
            QCOMPARE(e.title, d.title);
            // The rows' query carries its own text for each of the four dialects.
            for (int k = 0; k < ReportQuery::DialectCount; ++k)
                QVERIFY2(!d.queries.first().sql[k].isEmpty(), qPrintable(ReportQuery::dialectKeyword(k)));
            for (const auto &p : d.params)
                if (!all.contains(p.name))
                    all << p.name;
        }
        QCOMPARE(list.first().title,
                 QStringLiteral("Custo Realizado Global do Período (Planejamento de Alimentação Escolar)"));
        const QStringList seventeen = {
            QStringLiteral("P_CDFILCENTXEV"), QStringLiteral("P_CDFILIAL"), QStringLiteral("P_NMCUSTO"),
            QStringLiteral("P_NRTIPOCUSTO"), QStringLiteral("P_CDSERVFILI"), QStringLiteral("P_CDPRODUTOINI"),
            QStringLiteral("P_CDPRODUTOFIN"), QStringLiteral("P_DTINICIAL"), QStringLiteral("P_DTFINAL"),
            QStringLiteral("P_DTPERIINIC"), QStringLiteral("P_DTPERIFINA"), QStringLiteral("P_DTMESINIC"),
            QStringLiteral("P_DTMESFINA"), QStringLiteral("P_IDESTOCAVEIS"), QStringLiteral("P_IDNESTOCAVEIS"),
            QStringLiteral("P_NRTAMACNIVEL"), QStringLiteral("P_NRTAMCODIGO")};
        for (const QString &n : seventeen)
            QVERIFY2(all.contains(n), qPrintable(n));
        QCOMPARE(all.size(), 17);
        // The queries of the first definition name each of the seventeen.
        const ReportDefinition first = DefinitionParser::parseFile(list.first().path);
        QStringList used;
        for (const auto &q : first.queries)
            for (int k = 0; k < ReportQuery::DialectCount; ++k)
                for (const auto &u : ReportSqlText::scan(q.textFor(k)))
                    used << u.name;
        for (const auto &h : first.headerLines)
            used += ReportTemplate::names(h);
        for (const QString &n : seventeen)
            QVERIFY2(used.contains(n), qPrintable(n));
        // The second one declares only a subset.
        const ReportDefinition second = DefinitionParser::parseFile(list[1].path);
        QVERIFY(second.params.size() < 17);
        QVERIFY(!second.findParam(QStringLiteral("P_DTPERIINIC")));
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestReportDefinition)
#include "test_report_definition.moc"
