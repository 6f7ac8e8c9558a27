// Exporting a report to CSV and XLSX from the runner, the preview and the
// base screen, checked by reading the files back with other programs'
// readers (python3's csv module and openpyxl): the header, group rows,
// subtotals and total as on paper, codes shown and plain, cell types and
// formats, and no file at all when the run or the write fails.
#include "ExportReader.h"
#include "ReportRunnerCase.h"
#include "StreamedRows.h"
#include "core/FixedDecimal.h"
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

// "1234,56" as cents, exactly.
qint64 cents(const QString &s)
{
    const std::optional<FixedDecimal> d = FixedDecimal::fromText(s, 2);
    return d ? d->units() : std::numeric_limits<qint64>::min();
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

    // The detailed report's CSV stands alone: title and header, then every
    // group's header, details, subtotal, and the grand total, each line
    // saying its kind; every amount exact, the sums those of the details.
    void csvOfTheDetailedReportStandsAlone()
    {
        const QString file = out(QStringLiteral("detalhado.csv"));
        QVERIFY(m_rpdd->ExportTo(standardPath(0), file, messages(), ExportFormat::Id::Csv));
        QVERIFY(m_ui->messages.isEmpty());
        QCOMPARE(m_filler->calls.size(), 1);
        QVERIFY(readAll(file).contains("\r\n"));
        const QJsonObject csv = ExportReader::csv(file);
        QVERIFY(csv.value(QStringLiteral("bom")).toBool());
        const QJsonArray rows = csv.value(QStringLiteral("rows")).toArray();
        QCOMPARE(strings(rows[0]), (QStringList{QStringLiteral("Tipo"), QStringLiteral("Descrição"),
                                                QStringLiteral("Grupo (chave)"), QStringLiteral("Grupo"),
                                                QStringLiteral("Código"), QStringLiteral("Código (chave)"),
                                                QStringLiteral("Produto"), QStringLiteral("Estoc."), QStringLiteral("Quantidade"),
                                                QStringLiteral("Custo no Período"), QStringLiteral("Custo nos Meses")}));
        QCOMPARE(strings(rows[1]).mid(0, 2), (QStringList{QStringLiteral("Relatório"), DefinitionParser::parseFile(standardPath(0)).title}));
        QStringList header;
        int at = 2;
        for (; strings(rows[at])[0] == QStringLiteral("Parâmetro"); ++at)
            header << strings(rows[at])[1];
        QVERIFY2(header.contains(QStringLiteral("Filial Agregada: 0101 - Escola Alfa")), qPrintable(header.join('|')));
        QVERIFY2(header.contains(QStringLiteral("Meses: 01/03/2026 a 30/04/2026")), qPrintable(header.join('|')));

        const StreamedRows data = runOf(standardPath(0));
        QVERIFY(data.rows.size() > 5);
        qint64 groupCents = 0, totalCents = 0;
        QString group;
        int detail = 0, subtotals = 0;
        for (; at < rows.size(); ++at) {
            const QStringList cells = strings(rows[at]);
            if (cells[0] == QLatin1String("Grupo")) {
                group = cells[2];
                QCOMPARE(cells[3], cells[1]); // the header as printed, in the group column too
                groupCents = 0;
            } else if (cells[0] == QLatin1String("Linha")) {
                const auto value = [&](const char *f) { return data.rows[detail][data.fieldIndex(QLatin1String(f))]; };
                QCOMPARE(cells[2], value("CDNIVEL").toString());
                QCOMPARE(cells[2], group);
                QCOMPARE(cells[3], value("CDNIVEL").toString() + QStringLiteral(" - ") + value("NMNIVEL").toString());
                QCOMPARE(cells[5], value("CDARVPROD").toString()); // plain, zeros kept
                QCOMPARE(QString(cells[4]).remove(QLatin1Char('.')), cells[5]); // as the paper shows it
                QCOMPARE(cells[6], value("NMPRODUTO").toString());
                QCOMPARE(cents(cells[9]), qRound64(value("VRPERIODO").toDouble() * 100));
                groupCents += cents(cells[9]);
                totalCents += cents(cells[9]);
                ++detail;
            } else if (cells[0] == QLatin1String("Subtotal")) {
                QCOMPARE(cells[2], group);
                QVERIFY(cells[1].startsWith(QStringLiteral("Total de ")));
                QCOMPARE(cents(cells[9]), groupCents);
                ++subtotals;
            } else {
                QCOMPARE(cells.mid(0, 2), (QStringList{QStringLiteral("Total"), QStringLiteral("Total Geral")}));
                QCOMPARE(cents(cells[9]), totalCents);
                QCOMPARE(at, rows.size() - 1);
            }
        }
        QCOMPARE(detail, data.rows.size());
        QVERIFY(subtotals > 1);
    }

    void xlsxOfTheDetailedReportIsStyledAsThePaper()
    {
        const QString file = out(QStringLiteral("detalhado.xlsx"));
        QVERIFY(m_rpdd->ExportTo(standardPath(0), file, messages(), ExportFormat::Id::Xlsx));
        QVERIFY(m_ui->messages.isEmpty());
        const QJsonObject book = ExportReader::xlsx(file);
        QCOMPARE(book.value(QStringLiteral("sheets")).toArray().size(), 1);
        QCOMPARE(book.value(QStringLiteral("sheets")).toArray()[0].toString(), QStringLiteral("Custo Realizado Global"));
        const QJsonArray rows = book.value(QStringLiteral("rows")).toArray();
        QCOMPARE(rows[0].toArray()[0][QStringLiteral("value")].toString(), DefinitionParser::parseFile(standardPath(0)).title);
        int captions = 1;
        while (rows[captions].toArray()[0][QStringLiteral("value")].toString() != QLatin1String("Grupo (chave)"))
            QVERIFY(++captions < 20);
        QCOMPARE(book.value(QStringLiteral("freeze")).toString(), QStringLiteral("A%1").arg(captions + 2));
        QCOMPARE(book.value(QStringLiteral("filter")).toString(), QStringLiteral("A%1:I%2").arg(captions + 1).arg(rows.size()));
        for (const QJsonValue &h : rows[captions].toArray())
            QVERIFY(h[QStringLiteral("bold")].toBool());
        const StreamedRows data = runOf(standardPath(0));
        int detail = 0;
        for (int r = captions + 1; r < rows.size(); ++r) {
            const QJsonArray cells = rows[r].toArray();
            const bool bold = cells[0][QStringLiteral("bold")].toBool();
            if (cells[2][QStringLiteral("type")].toString() != QLatin1String("s") || bold) {
                // A group header, subtotal or the total: bold, its caption shown.
                QVERIFY(bold);
                continue;
            }
            const auto value = [&](const char *f) { return data.rows[detail][data.fieldIndex(QLatin1String(f))]; };
            QCOMPARE(cells[0][QStringLiteral("value")].toString(), value("CDNIVEL").toString());
            QCOMPARE(cells[3][QStringLiteral("type")].toString(), QStringLiteral("s"));
            QCOMPARE(cells[3][QStringLiteral("value")].toString(), value("CDARVPROD").toString());
            QCOMPARE(cells[6][QStringLiteral("type")].toString(), QStringLiteral("n"));
            QCOMPARE(cells[6][QStringLiteral("format")].toString(), QStringLiteral("#,##0.000"));
            QCOMPARE(cells[7][QStringLiteral("format")].toString(), QStringLiteral("#,##0.00"));
            QVERIFY(qAbs(cells[7][QStringLiteral("value")].toDouble() - value("VRPERIODO").toDouble()) < 1e-9);
            ++detail;
        }
        QCOMPARE(detail, data.rows.size());
        const QJsonArray last = rows.last().toArray();
        QCOMPARE(last[0][QStringLiteral("value")].toString(), QStringLiteral("Total Geral"));
        QVERIFY(last[7][QStringLiteral("bold")].toBool());
        const QJsonArray widths = book.value(QStringLiteral("widths")).toArray();
        QCOMPARE(widths.size(), 9);
        for (const QJsonValue &w : widths)
            QVERIFY(w.toDouble() >= 6 && w.toDouble() <= 61);
    }

    // At level 0 the report has no groups: the group columns say so rather
    // than stay empty, and no subtotal repeats the total.
    void atLevelZeroTheGroupColumnsAreFilled()
    {
        m_filler->set(QStringLiteral("P_NRTAMACNIVEL"), ParamFiller::Value::Variant, 0);
        const QString file = out(QStringLiteral("nivel0.csv"));
        QVERIFY(m_rpdd->ExportTo(standardPath(0), file, messages(), ExportFormat::Id::Csv));
        QStringList kinds;
        for (const QJsonValue &r : ExportReader::csv(file).value(QStringLiteral("rows")).toArray()) {
            const QStringList cells = strings(r);
            kinds << cells[0];
            if (cells[0] == QLatin1String("Linha"))
                QCOMPARE(cells[3], QStringLiteral("Todos"));
        }
        QVERIFY(!kinds.contains(QStringLiteral("Subtotal")) && !kinds.contains(QStringLiteral("Grupo")));
        QCOMPARE(kinds.count(QStringLiteral("Total")), 1);
    }

    void theSummaryHasNoGroupColumnAndIntegerCounts()
    {
        const QString csvFile = out(QStringLiteral("resumo.csv"));
        const QString xlsxFile = out(QStringLiteral("resumo.xlsx"));
        QVERIFY(m_rpdd->ExportTo(standardPath(1), csvFile, messages(), ExportFormat::Id::Csv));
        QVERIFY(m_rpdd->ExportTo(standardPath(1), xlsxFile, messages(), ExportFormat::Id::Xlsx));
        const QJsonArray csvRows = ExportReader::csv(csvFile).value(QStringLiteral("rows")).toArray();
        QCOMPARE(strings(csvRows[0]), (QStringList{QStringLiteral("Tipo"), QStringLiteral("Descrição"), QStringLiteral("Código"),
                                                   QStringLiteral("Código (chave)"), QStringLiteral("Nível de Produto"),
                                                   QStringLiteral("Produtos"), QStringLiteral("Custo Realizado")}));
        const QJsonArray xlsxRows = ExportReader::xlsx(xlsxFile).value(QStringLiteral("rows")).toArray();
        QList<double> counts;
        for (const QJsonValue &r : csvRows)
            if (strings(r)[0] == QLatin1String("Linha")) {
                QVERIFY(QRegularExpression(QStringLiteral("^\\d+$")).match(strings(r)[5]).hasMatch());
                counts << strings(r)[5].toDouble();
            }
        QVERIFY(counts.size() > 1);
        QList<double> sheetCounts;
        for (const QJsonValue &r : xlsxRows) {
            const QJsonArray cells = r.toArray();
            const QJsonValue count = cells.size() > 3 ? cells[3] : QJsonValue();
            if (count[QStringLiteral("type")].toString() == QLatin1String("n") && !count[QStringLiteral("value")].isNull()
                && !count[QStringLiteral("bold")].toBool()) {
                QVERIFY2(count[QStringLiteral("format")].toString() == QLatin1String("#,##0"),
                         qPrintable(QJsonDocument(cells).toJson(QJsonDocument::Compact)));
                sheetCounts << count[QStringLiteral("value")].toDouble();
            }
        }
        QCOMPARE(sheetCounts, counts);
    }

    // One run writes its PDF and every format into a folder under the names
    // the formats propose, as a routine that files each month's reports.
    void oneRunWritesThePdfAndEveryFormat()
    {
        const ReportDefinition def = DefinitionParser::parseFile(standardPath(1));
        ReportRun::Output output;
        output.kind = ReportRun::Output::Pdf;
        output.path = out(QStringLiteral("mensal/resumo.pdf"));
        QVERIFY(QDir().mkpath(out(QStringLiteral("mensal"))));
        QStringList names;
        for (const ExportFormat &f : ExportFormats::all()) {
            names << f.proposedFileName(def.title, QStringLiteral("resumo-2026-03"));
            output.exports.append({f.id, out(QStringLiteral("mensal/") + names.last())});
        }
        QVERIFY(m_rpdd->RunDocument(def, output));
        QCOMPARE(m_filler->calls.size(), 1);
        QCOMPARE(names, (QStringList{QStringLiteral("resumo-2026-03.csv"), QStringLiteral("resumo-2026-03.xlsx"),
                                     QStringLiteral("resumo-2026-03-planilha.csv")}));
        QCOMPARE(QDir(out(QStringLiteral("mensal"))).entryList(QDir::Files, QDir::Name),
                 (QStringList{names[2], names[0], names[1], QStringLiteral("resumo.pdf")}));
        QVERIFY(readAll(out(QStringLiteral("mensal/") + names[2])).contains(";=\""));
    }

    void aFailedRunWritesNothing()
    {
        const QString file = out(QStringLiteral("nada.xlsx"));
        m_filler->set(QStringLiteral("P_DTINICIAL"), ParamFiller::Value::Variant, QStringLiteral("não é data"));
        QVERIFY(!m_rpdd->ExportTo(standardPath(0), file, messages(), ExportFormat::Id::Xlsx));
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
        QVERIFY(!m_rpdd->ExportTo(standardPath(1), file, messages(), ExportFormat::Id::Csv));
        QCOMPARE(m_ui->messages.size(), 1);
        QVERIFY2(m_ui->messages[0].text.startsWith(QStringLiteral("Não foi possível gravar o arquivo \"%1\"").arg(file)),
                 qPrintable(m_ui->messages[0].text));
    }

    void theCommandAsksForTheFileBeforeRunning()
    {
        // Cancelled: nothing runs, nothing is said.
        QVERIFY(!m_rpdd->Export(standardPath(1), messages(), ExportFormat::Id::Csv));
        QVERIFY(m_filler->calls.isEmpty());
        QVERIFY(m_ui->messages.isEmpty());
        // A name without a suffix gets the format's.
        m_ui->saveFileAnswers.enqueue(out(QStringLiteral("sem-sufixo")));
        QVERIFY(m_rpdd->Export(standardPath(1), messages(), ExportFormat::Id::Xlsx));
        QCOMPARE(m_filler->calls.size(), 1);
        QVERIFY(readAll(out(QStringLiteral("sem-sufixo.xlsx"))).startsWith("PK"));
        // Scripts with an output folder get numbered files there.
        m_ui->outputDir = out(QStringLiteral("roteiro"));
        QVERIFY(m_rpdd->Export(standardPath(1), messages(), ExportFormat::Id::Csv));
        QVERIFY(QFile::exists(out(QStringLiteral("roteiro/export-1.csv"))));
    }

    void thePreviewExportsTheRowsItShows()
    {
        m_ui->previewActionAnswers << QStringLiteral("exportxlsx") << QStringLiteral("exportcsv");
        m_ui->saveFileAnswers << out(QStringLiteral("previa.xlsx")) << out(QStringLiteral("previa.csv"));
        QVERIFY(m_rpdd->Preview(standardPath(1), messages()));
        QCOMPARE(m_ui->previewActionsOffered, (QList<QStringList>{{QStringLiteral("exportcsv"), QStringLiteral("exportxlsx"),
                                                                    QStringLiteral("exportcsvplanilha")}}));
        QCOMPARE(m_ui->previews.size(), 1);
        // The rows shown are exported; the report does not run again.
        QCOMPARE(m_filler->calls.size(), 1);
        QVERIFY(m_ui->messages.isEmpty());
        const QJsonArray csvRows = ExportReader::csv(out(QStringLiteral("previa.csv"))).value(QStringLiteral("rows")).toArray();
        const QJsonArray xlsxRows = ExportReader::xlsx(out(QStringLiteral("previa.xlsx"))).value(QStringLiteral("rows")).toArray();
        int details = 0;
        for (const QJsonValue &r : csvRows)
            details += strings(r)[0] == QLatin1String("Linha") ? 1 : 0;
        QCOMPARE(details, runOf(standardPath(1)).rows.size());
        QCOMPARE(xlsxRows.size(), csvRows.size() + 1); // the same lines and a blank row
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
        QCOMPARE(strings(rows[0]).value(2), QStringLiteral("Grupo (chave)"));
        QVERIFY(readAll(out(QStringLiteral("tela.xlsx"))).startsWith("PK"));
    }
};

#include "support/TestPrograms.h"
REGISTER_TEST(TestReportExport)
#include "test_report_export.moc"
