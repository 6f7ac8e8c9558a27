// Exporting a report's rows to CSV and XLSX from the runner, the preview and
// the base screen, checked by reading the files back with other programs'
// readers (python3's csv module and openpyxl): captions, group columns, cell
// types and formats, and no file at all when the run or the write fails.
#include "ExportReader.h"
#include "ReportRunnerCase.h"
#include "StreamedRows.h"
#include "core/HostUi.h"
#include "report/commands/TfrmDadosGerRel.h"
#include "report/commands/TReportDesignerDialog.h"
#include "report/model/DefinitionParser.h"
#include "ui/ScriptedHostUi.h"
#include "widgets/TButtonFlat.h"
#include "widgets/TLabel.h"

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

using ExportReader::readAll;
using ExportReader::strings;

double commaNumber(const QString &s)
{
    bool ok = false;
    const double d = QString(s).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    return ok ? d : qQNaN();
}

} // namespace

class TestReportExport : public ReportRunnerCase {
    Q_OBJECT

    QString standardPath(int i) const { return ReportLibrary::list(kCode)[i].path; }
    // The rows of a run with the parameters the screen would fill.
    StreamedRows runOf(const QString &path)
    {
        const ReportDefinition def = DefinitionParser::parseFile(path);
        TParams params = ReportRunner::declaredParams(def);
        bool flag = true;
        m_filler->fill(&params, &flag);
        return StreamedRows::read(def, params, QSqlDatabase::database());
    }

private slots:
    void initTestCase()
    {
        openDatabase();
    }

    void init() { startRunner(); }

    void cleanup() { endRunner(); }

    void cleanupTestCase() { closeDatabase(); }

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
        const StreamedRows data = runOf(standardPath(0));
        QVERIFY(data.rows.size() > 5);
        QCOMPARE(rows.size(), data.rows.size() + 1);
        const QRegularExpression decimal(QStringLiteral("^-?\\d+,\\d{2}$"));
        for (int i = 0; i < data.rows.size(); ++i) {
            const QStringList cells = strings(rows[i + 1]);
            const auto value = [&](const char *f) { return data.rows[i][data.fieldIndex(QLatin1String(f))]; };
            QCOMPARE(cells[0], value("CDNIVEL").toString() + QStringLiteral(" - ") + value("NMNIVEL").toString());
            // A code as a spreadsheet keeps it text: ="01010001".
            QCOMPARE(cells[1], QStringLiteral("=\"%1\"").arg(value("CDARVPROD").toString()));
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
        const StreamedRows data = runOf(standardPath(0));
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
        form.run(ReportCommand::Id::ExportCsv);
        form.run(ReportCommand::Id::ExportXlsx);
        QVERIFY(m_ui->messages.isEmpty());
        QCOMPARE(m_filler->calls.size(), 2);
        const QJsonArray rows = ExportReader::csv(out(QStringLiteral("tela.csv"))).value(QStringLiteral("rows")).toArray();
        QVERIFY(rows.size() > 1);
        QCOMPARE(strings(rows[0]).value(0), QStringLiteral("Grupo"));
        QVERIFY(readAll(out(QStringLiteral("tela.xlsx"))).startsWith("PK"));
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestReportExport)
#include "test_report_export.moc"
