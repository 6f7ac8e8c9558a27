// Exporting a report's rows to CSV and XLSX, checked by reading the files
// back with other programs' readers (python3's csv module and openpyxl):
// captions, group columns, cell types and formats, quoting, and files that
// are whole or absent whatever goes wrong.
#include "ExportReader.h"
#include "ParamFiller.h"
#include "ReportFixture.h"
#include "report/CsvExportWriter.h"
#include "report/ReportParser.h"
#include "report/TReportDesignerDialog.h"
#include "report/TfrmDadosGerRel.h"
#include "report/XlsxExportWriter.h"
#include "toolkit/TButtonFlat.h"
#include "toolkit/TLabel.h"
#include "toolkit/Errors.h"
#include "toolkit/HostUi.h"
#include "ui/ScriptedHostUi.h"

#include <QDir>
#include <QJsonArray>
#include <QMenu>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {
const QString kCode = QStringLiteral("XEV017");

ReportMessages messages()
{
    return {QStringLiteral("O arquivo contendo a definição do Relatório de código '%s' não foi encontrado no diretório '%s'."),
            QStringLiteral("Título do Relatório"), QStringLiteral("Informe o título do relatório:")};
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList strings(const QJsonValue &row)
{
    QStringList out;
    for (const QJsonValue &v : row.toArray())
        out << v.toString();
    return out;
}

double commaNumber(const QString &s)
{
    bool ok = false;
    const double d = QString(s).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    return ok ? d : qQNaN();
}

ReportColumn column(const QString &caption, ReportColumn::Format format, int decimals = 2, const QString &pattern = {})
{
    ReportColumn c;
    c.field = caption;
    c.caption = caption;
    c.format = format;
    c.decimals = decimals;
    c.pattern = pattern;
    return c;
}

// A sheet of every kind of column, for the sinks on their own.
ExportSheet mixedSheet()
{
    return {QStringLiteral("Tipos: [todos]"),
            {column(QStringLiteral("Texto"), ReportColumn::Format::Text),
             column(QStringLiteral("Data"), ReportColumn::Format::Date, 0, QStringLiteral("dd/MM/yyyy")),
             column(QStringLiteral("Momento"), ReportColumn::Format::DateTime, 0, QStringLiteral("dd/MM/yyyy HH:mm")),
             column(QStringLiteral("Inteiro"), ReportColumn::Format::Integer),
             column(QStringLiteral("Valor"), ReportColumn::Format::Number, 2)}};
}

QList<QVector<QVariant>> mixedRows()
{
    return {{QStringLiteral("São João"), QDate(2026, 3, 10), QDateTime(QDate(2026, 3, 10), QTime(14, 30)), 1234, 1234567.891},
            // Empty values stay empty cells.
            {QVariant(), QVariant(), QVariant(), QVariant(), QVariant()},
            // Dates as SQLite gives them (ISO text), negative numbers.
            {QStringLiteral("Feijão; carioca"), QStringLiteral("2026-12-31"), QStringLiteral("2026-01-02T08:05:00"), -7, -0.5}};
}

void writeMixed(ReportRowSink &sink)
{
    sink.begin(mixedSheet());
    for (const auto &r : mixedRows())
        sink.row(r);
    sink.commit();
}
} // namespace

class TestReportExport : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    ScriptedHostUi *m_ui = nullptr;
    TReportDesignerDialog *m_rpdd = nullptr;
    ParamFiller *m_filler = nullptr;

    QString out(const QString &name) const { return m_dir.filePath(name); }
    QString standardPath(int i) const { return ReportLibrary::list(kCode)[i].path; }
    ReportData runOf(const QString &path) { return m_rpdd->Run(ReportParser::parseFile(path)); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        ReportFixture::create(out(QStringLiteral("fixture.db")));
    }

    void init()
    {
        m_ui = HostUi::install(std::make_unique<ScriptedHostUi>());
        m_rpdd = new TReportDesignerDialog(this);
        m_rpdd->setReportCode(kCode);
        m_filler = new ParamFiller;
        m_filler->setParent(m_rpdd);
        m_filler->standardValues();
        connect(m_rpdd, &TReportDesignerDialog::BeforeGetQueryParams, m_filler, &ParamFiller::fill);
    }

    void cleanup()
    {
        delete m_rpdd;
        HostUi::uninstall();
    }

    void cleanupTestCase() { ReportFixture::close(); }

    void csvOfTheDetailedReportOpensAsABrazilianSpreadsheet()
    {
        const QString file = out(QStringLiteral("detalhado.csv"));
        QVERIFY(m_rpdd->ExportTo(standardPath(0), file, messages(), ReportExport::Format::Csv));
        QVERIFY(m_ui->messages.isEmpty());
        QCOMPARE(m_filler->calls.size(), 1);
        const QByteArray raw = readAll(file);
        QVERIFY(raw.contains("\r\n"));

        const QJsonObject csv = ExportReader::csv(file);
        QVERIFY(csv.value(QStringLiteral("bom")).toBool());
        const QJsonArray rows = csv.value(QStringLiteral("rows")).toArray();
        QVERIFY(!rows.isEmpty());
        // The group (not a column of the report) first, then the columns.
        QCOMPARE(strings(rows[0]), (QStringList{QStringLiteral("Grupo"), QStringLiteral("Código"), QStringLiteral("Produto"),
                                                QStringLiteral("Estoc."), QStringLiteral("Quantidade"),
                                                QStringLiteral("Custo no Período"), QStringLiteral("Custo nos Meses")}));
        const ReportData data = runOf(standardPath(0));
        QVERIFY(data.rows.size() > 5);
        QCOMPARE(rows.size(), data.rows.size() + 1);
        const QRegularExpression decimal(QStringLiteral("^-?\\d+,\\d{2}$"));
        for (int i = 0; i < data.rows.size(); ++i) {
            const QStringList cells = strings(rows[i + 1]);
            const auto value = [&](const char *f) { return data.rows[i][data.fieldIndex(QLatin1String(f))]; };
            QCOMPARE(cells[0], value("CDNIVEL").toString() + QStringLiteral(" - ") + value("NMNIVEL").toString());
            QCOMPARE(cells[1], value("CDARVPROD").toString());
            QCOMPARE(cells[2], value("NMPRODUTO").toString());
            QVERIFY2(decimal.match(cells[5]).hasMatch(), qPrintable(cells[5]));
            QCOMPARE(commaNumber(cells[5]), std::round(value("VRPERIODO").toDouble() * 100) / 100);
            QCOMPARE(commaNumber(cells[4]), std::round(value("QTPERIODO").toDouble() * 1000) / 1000);
        }
    }

    void xlsxOfTheDetailedReportKeepsNumbersAndText()
    {
        const QString file = out(QStringLiteral("detalhado.xlsx"));
        QVERIFY(m_rpdd->ExportTo(standardPath(0), file, messages(), ReportExport::Format::Xlsx));
        QVERIFY(m_ui->messages.isEmpty());
        const QJsonObject book = ExportReader::xlsx(file);
        QCOMPARE(book.value(QStringLiteral("sheets")).toArray().size(), 1);
        QCOMPARE(book.value(QStringLiteral("sheets")).toArray()[0].toString(), QStringLiteral("Custo Realizado Global do Perío"));
        QCOMPARE(book.value(QStringLiteral("freeze")).toString(), QStringLiteral("A2"));
        const QJsonArray rows = book.value(QStringLiteral("rows")).toArray();
        const ReportData data = runOf(standardPath(0));
        QCOMPARE(rows.size(), data.rows.size() + 1);
        QCOMPARE(book.value(QStringLiteral("filter")).toString(), QStringLiteral("A1:G%1").arg(rows.size()));
        for (const QJsonValue &h : rows[0].toArray()) {
            QVERIFY(h[QStringLiteral("bold")].toBool());
            QCOMPARE(h[QStringLiteral("type")].toString(), QStringLiteral("s"));
        }
        for (int i = 0; i < data.rows.size(); ++i) {
            const QJsonArray cells = rows[i + 1].toArray();
            const auto value = [&](const char *f) { return data.rows[i][data.fieldIndex(QLatin1String(f))]; };
            // Codes stay text (leading zeros kept); amounts are numbers in the report's format.
            QCOMPARE(cells[1][QStringLiteral("type")].toString(), QStringLiteral("s"));
            QCOMPARE(cells[1][QStringLiteral("value")].toString(), value("CDARVPROD").toString());
            QVERIFY(!cells[1][QStringLiteral("bold")].toBool());
            QCOMPARE(cells[4][QStringLiteral("type")].toString(), QStringLiteral("n"));
            QCOMPARE(cells[4][QStringLiteral("format")].toString(), QStringLiteral("#,##0.000"));
            QCOMPARE(cells[5][QStringLiteral("type")].toString(), QStringLiteral("n"));
            QCOMPARE(cells[5][QStringLiteral("format")].toString(), QStringLiteral("#,##0.00"));
            QVERIFY(qAbs(cells[5][QStringLiteral("value")].toDouble() - value("VRPERIODO").toDouble()) < 1e-9);
        }
        // Widths fit the captions and the longest value, within bounds.
        const QJsonArray widths = book.value(QStringLiteral("widths")).toArray();
        QCOMPARE(widths.size(), 7);
        int longestName = 0;
        for (const auto &r : data.rows)
            longestName = qMax(longestName, int(r[data.fieldIndex(QStringLiteral("NMPRODUTO"))].toString().size()));
        QVERIFY(widths[2].toDouble() >= longestName);
        QVERIFY(widths[5].toDouble() >= QStringLiteral("Custo no Período").size());
        for (const QJsonValue &w : widths)
            QVERIFY(w.toDouble() >= 6 && w.toDouble() <= 61);
    }

    void theSummaryHasNoGroupColumnAndIntegerCounts()
    {
        const QString csvFile = out(QStringLiteral("resumo.csv"));
        const QString xlsxFile = out(QStringLiteral("resumo.xlsx"));
        QVERIFY(m_rpdd->ExportTo(standardPath(1), csvFile, messages(), ReportExport::Format::Csv));
        QVERIFY(m_rpdd->ExportTo(standardPath(1), xlsxFile, messages(), ReportExport::Format::Xlsx));
        const QJsonArray csvRows = ExportReader::csv(csvFile).value(QStringLiteral("rows")).toArray();
        QVERIFY(!csvRows.isEmpty());
        QCOMPARE(strings(csvRows[0]), (QStringList{QStringLiteral("Código"), QStringLiteral("Nível de Produto"),
                                                   QStringLiteral("Produtos"), QStringLiteral("Custo Realizado")}));
        QVERIFY(csvRows.size() > 1);
        const QJsonArray xlsxRows = ExportReader::xlsx(xlsxFile).value(QStringLiteral("rows")).toArray();
        QCOMPARE(xlsxRows.size(), csvRows.size());
        for (int i = 1; i < csvRows.size(); ++i) {
            QVERIFY(QRegularExpression(QStringLiteral("^\\d+$")).match(strings(csvRows[i])[2]).hasMatch());
            const QJsonValue count = xlsxRows[i].toArray()[2];
            QCOMPARE(count[QStringLiteral("format")].toString(), QStringLiteral("#,##0"));
            QCOMPARE(count[QStringLiteral("value")].toDouble(), strings(csvRows[i])[2].toDouble());
        }
    }

    void datesAndNumbersInCsv()
    {
        const QString file = out(QStringLiteral("tipos.csv"));
        CsvExportWriter sink(file);
        writeMixed(sink);
        const QJsonArray rows = ExportReader::csv(file).value(QStringLiteral("rows")).toArray();
        QCOMPARE(rows.size(), 4);
        QCOMPARE(strings(rows[1]), (QStringList{QStringLiteral("São João"), QStringLiteral("10/03/2026"),
                                                QStringLiteral("10/03/2026 14:30:00"), QStringLiteral("1234"),
                                                QStringLiteral("1234567,89")}));
        QCOMPARE(strings(rows[2]), QStringList(5, QString()));
        QCOMPARE(strings(rows[3]), (QStringList{QStringLiteral("Feijão; carioca"), QStringLiteral("31/12/2026"),
                                                QStringLiteral("02/01/2026 08:05:00"), QStringLiteral("-7"),
                                                QStringLiteral("-0,50")}));
    }

    void datesAndNumbersInXlsx()
    {
        const QString file = out(QStringLiteral("tipos.xlsx"));
        XlsxExportWriter sink(file);
        writeMixed(sink);
        const QJsonObject book = ExportReader::xlsx(file);
        QCOMPARE(book.value(QStringLiteral("sheets")).toArray().size(), 1);
        QCOMPARE(book.value(QStringLiteral("sheets")).toArray()[0].toString(), QStringLiteral("Tipos todos"));
        const QJsonArray rows = book.value(QStringLiteral("rows")).toArray();
        QCOMPARE(rows.size(), 4);
        const QJsonArray first = rows[1].toArray();
        QCOMPARE(first[0][QStringLiteral("value")].toString(), QStringLiteral("São João"));
        QVERIFY(first[1][QStringLiteral("date")].toBool());
        QCOMPARE(first[1][QStringLiteral("value")].toString(), QStringLiteral("2026-03-10T00:00:00"));
        QCOMPARE(first[1][QStringLiteral("format")].toString(), QStringLiteral("dd/mm/yyyy"));
        QVERIFY(first[2][QStringLiteral("date")].toBool());
        QCOMPARE(first[2][QStringLiteral("value")].toString(), QStringLiteral("2026-03-10T14:30:00"));
        QCOMPARE(first[2][QStringLiteral("format")].toString(), QStringLiteral("dd/mm/yyyy hh:mm"));
        QCOMPARE(first[3][QStringLiteral("type")].toString(), QStringLiteral("n"));
        QCOMPARE(first[3][QStringLiteral("value")].toDouble(), 1234.0);
        QCOMPARE(first[4][QStringLiteral("value")].toDouble(), 1234567.891); // the format rounds, not the value
        for (const QJsonValue &c : rows[2].toArray())
            QVERIFY(c[QStringLiteral("value")].isNull());
        const QJsonArray third = rows[3].toArray();
        QCOMPARE(third[1][QStringLiteral("value")].toString(), QStringLiteral("2026-12-31T00:00:00"));
        QCOMPARE(third[2][QStringLiteral("value")].toString(), QStringLiteral("2026-01-02T08:05:00"));
        QCOMPARE(third[4][QStringLiteral("value")].toDouble(), -0.5);
    }

    void csvFieldsAreQuotedWhereTheyMustBe()
    {
        const QStringList texts = {QStringLiteral("a;b"), QStringLiteral("diz \"oi\""), QStringLiteral("linha 1\nlinha 2"),
                                   QStringLiteral("cr\r\nlf"), QStringLiteral(" com margem "), QStringLiteral("€ ção"),
                                   QString(), QStringLiteral("\""), QStringLiteral(";")};
        const QString file = out(QStringLiteral("aspas.csv"));
        CsvExportWriter sink(file);
        ExportSheet sheet{QStringLiteral("Aspas"), {column(QStringLiteral("Texto; livre"), ReportColumn::Format::Text),
                                                    column(QStringLiteral("Outro"), ReportColumn::Format::Text)}};
        sink.begin(sheet);
        for (const QString &t : texts)
            sink.row({t, QStringLiteral("x")});
        sink.commit();
        const QJsonArray rows = ExportReader::csv(file).value(QStringLiteral("rows")).toArray();
        QCOMPARE(rows.size(), texts.size() + 1);
        QCOMPARE(strings(rows[0]), (QStringList{QStringLiteral("Texto; livre"), QStringLiteral("Outro")}));
        for (int i = 0; i < texts.size(); ++i)
            QCOMPARE(strings(rows[i + 1]), (QStringList{texts[i], QStringLiteral("x")}));
        // Plain fields are not quoted.
        QVERIFY(readAll(file).contains("\r\n\xE2\x82\xAC \xC3\xA7\xC3\xA3o;x\r\n"));
    }

    void anAbortedExportLeavesTheOldFileOrNone_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<bool>("existed");
        QTest::addRow("csv, new") << int(ReportExport::Format::Csv) << false;
        QTest::addRow("csv, replacing") << int(ReportExport::Format::Csv) << true;
        QTest::addRow("xlsx, new") << int(ReportExport::Format::Xlsx) << false;
        QTest::addRow("xlsx, replacing") << int(ReportExport::Format::Xlsx) << true;
    }

    void anAbortedExportLeavesTheOldFileOrNone()
    {
        QFETCH(int, format);
        QFETCH(bool, existed);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("saida"));
        if (existed) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("anterior");
        }
        {
            auto sink = ReportExport::sinkFor(ReportExport::Format(format), file);
            sink->begin(mixedSheet());
            for (int i = 0; i < 20000; ++i)
                sink->row(mixedRows()[i % 3]);
            sink->abort();
        }
        {
            // Dropped without commit: the same.
            auto sink = ReportExport::sinkFor(ReportExport::Format(format), file);
            sink->begin(mixedSheet());
            sink->row(mixedRows()[0]);
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 existed ? QStringList{QStringLiteral("saida")} : QStringList());
        if (existed)
            QCOMPARE(readAll(file), QByteArray("anterior"));
    }

    void aFailedRunWritesNothing()
    {
        const QString file = out(QStringLiteral("nada.xlsx"));
        m_filler->set(QStringLiteral("P_DTINICIAL"), ParamFiller::Value::Variant, QStringLiteral("não é data"));
        QVERIFY(!m_rpdd->ExportTo(standardPath(0), file, messages(), ReportExport::Format::Xlsx));
        QVERIFY(!QFile::exists(file));
        QCOMPARE(m_ui->messages.size(), 1);
        QVERIFY(m_ui->messages[0].text.contains(QStringLiteral("P_DTINICIAL")));
    }

    void aFolderThatCannotBeMadeIsNamed()
    {
        QFile blocker(out(QStringLiteral("arquivo-comum")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString file = out(QStringLiteral("arquivo-comum/sub/planilha.csv"));
        QVERIFY(!m_rpdd->ExportTo(standardPath(1), file, messages(), ReportExport::Format::Csv));
        QCOMPARE(m_ui->messages.size(), 1);
        QVERIFY2(m_ui->messages[0].text.startsWith(QStringLiteral("Não foi possível gravar o arquivo \"%1\"").arg(file)),
                 qPrintable(m_ui->messages[0].text));
    }

    void theCommandAsksForTheFileBeforeRunning()
    {
        // Cancelled: nothing runs, nothing is said.
        QVERIFY(!m_rpdd->Export(standardPath(1), messages(), ReportExport::Format::Csv));
        QVERIFY(m_filler->calls.isEmpty());
        QVERIFY(m_ui->messages.isEmpty());
        // A name without a suffix gets the format's.
        m_ui->saveFileAnswers.enqueue(out(QStringLiteral("sem-sufixo")));
        QVERIFY(m_rpdd->Export(standardPath(1), messages(), ReportExport::Format::Xlsx));
        QCOMPARE(m_filler->calls.size(), 1);
        QVERIFY(readAll(out(QStringLiteral("sem-sufixo.xlsx"))).startsWith("PK"));
        // Scripts with an output folder get numbered files there.
        m_ui->outputDir = out(QStringLiteral("roteiro"));
        QVERIFY(m_rpdd->Export(standardPath(1), messages(), ReportExport::Format::Csv));
        QVERIFY(QFile::exists(out(QStringLiteral("roteiro/export-1.csv"))));
    }

    void thePreviewExportsTheRowsItShows()
    {
        m_ui->previewActionAnswers << QStringLiteral("exportxlsx") << QStringLiteral("exportcsv");
        m_ui->saveFileAnswers << out(QStringLiteral("previa.xlsx")) << out(QStringLiteral("previa.csv"));
        QVERIFY(m_rpdd->Preview(standardPath(1), messages()));
        QCOMPARE(m_ui->previewActionsOffered, (QList<QStringList>{{QStringLiteral("exportcsv"), QStringLiteral("exportxlsx")}}));
        QCOMPARE(m_ui->previews.size(), 1);
        // The rows shown are exported; the report does not run again.
        QCOMPARE(m_filler->calls.size(), 1);
        QVERIFY(m_ui->messages.isEmpty());
        const QJsonArray csvRows = ExportReader::csv(out(QStringLiteral("previa.csv"))).value(QStringLiteral("rows")).toArray();
        const QJsonArray xlsxRows = ExportReader::xlsx(out(QStringLiteral("previa.xlsx"))).value(QStringLiteral("rows")).toArray();
        QCOMPARE(csvRows.size(), runOf(standardPath(1)).rows.size() + 1);
        QCOMPARE(xlsxRows.size(), csvRows.size());
    }

    void aFailedExportInThePreviewIsShownThere()
    {
        QFile blocker(out(QStringLiteral("bloqueio")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        m_ui->previewActionAnswers << QStringLiteral("exportcsv") << QStringLiteral("exportxlsx");
        m_ui->saveFileAnswers << out(QStringLiteral("bloqueio/x.csv")) << out(QStringLiteral("depois.xlsx"));
        QVERIFY(m_rpdd->Preview(standardPath(1), messages()));
        QCOMPARE(m_ui->messages.size(), 1);
        QVERIFY(m_ui->messages[0].text.contains(out(QStringLiteral("bloqueio/x.csv"))));
        // The preview went on: the next export worked.
        QVERIFY(QFile::exists(out(QStringLiteral("depois.xlsx"))));
    }

    void theBaseScreenExportsFromItsCommandBar()
    {
        TfrmDadosGerRel form;
        form.Create();
        form.component<TLabel>(QStringLiteral("lblCodRel"))->setCaption(kCode);
        connect(form.component<TReportDesignerDialog>(QStringLiteral("rpddPadrao")),
                &TReportDesignerDialog::BeforeGetQueryParams, m_filler, &ParamFiller::fill);
        auto *button = form.component<TButtonFlat>(QStringLiteral("sbtExportar"));
        QVERIFY(button);
        QStringList entries;
        for (const QAction *a : button->menu_()->actions())
            entries << a->text();
        QCOMPARE(entries, (QStringList{QStringLiteral("Exportar para CSV"), QStringLiteral("Exportar para Excel (XLSX)")}));
        m_ui->saveFileAnswers << out(QStringLiteral("tela.csv")) << out(QStringLiteral("tela.xlsx"));
        form.runCommand(TfrmDadosGerRel::Command::ExportCsv);
        form.runCommand(TfrmDadosGerRel::Command::ExportXlsx);
        QVERIFY(m_ui->messages.isEmpty());
        QCOMPARE(m_filler->calls.size(), 2);
        const QJsonArray rows = ExportReader::csv(out(QStringLiteral("tela.csv"))).value(QStringLiteral("rows")).toArray();
        QVERIFY(rows.size() > 1);
        QCOMPARE(strings(rows[0]).value(0), QStringLiteral("Grupo"));
        QVERIFY(readAll(out(QStringLiteral("tela.xlsx"))).startsWith("PK"));
    }

    void aSheetTakesAtMostItsRowLimit()
    {
        const QString file = out(QStringLiteral("grande.xlsx"));
        XlsxExportWriter sink(file);
        sink.begin({QStringLiteral("Grande"), {column(QStringLiteral("N"), ReportColumn::Format::Integer)}});
        const QVector<QVariant> one{1};
        for (int i = 0; i < XlsxExportWriter::kMaxRows; ++i)
            sink.row(one);
        try {
            sink.row(one);
            QFAIL("a row past the limit was taken");
        } catch (const EHostError &e) {
            QVERIFY2(e.text().contains(QStringLiteral("CSV")), qPrintable(e.text()));
        }
        sink.abort();
        QVERIFY(!QFile::exists(file));
    }

    void sheetNamesAndDatePatternsExcelAccepts()
    {
        QCOMPARE(XlsxExportWriter::sheetName(QStringLiteral("'A/B: [c]*?'")), QStringLiteral("AB c"));
        QCOMPARE(XlsxExportWriter::sheetName(QStringLiteral("???")), QStringLiteral("Relatório"));
        QCOMPARE(XlsxExportWriter::sheetName(QString(40, QLatin1Char('x'))).size(), 31);
        QCOMPARE(XlsxExportWriter::excelDatePattern(QStringLiteral("dd/MM/yyyy HH:mm:ss"), true), QStringLiteral("dd/mm/yyyy hh:mm:ss"));
        QCOMPARE(XlsxExportWriter::excelDatePattern(QStringLiteral("MMM 'de' yyyy"), false), QStringLiteral("mmm \"de\" yyyy"));
        QCOMPARE(XlsxExportWriter::excelDatePattern(QString(), true), QStringLiteral("dd/mm/yyyy hh:mm"));
    }
};

QTEST_MAIN(TestReportExport)
#include "test_report_export.moc"
