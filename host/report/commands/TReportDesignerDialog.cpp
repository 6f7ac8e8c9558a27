#include "TReportDesignerDialog.h"
#include "ReportCommandTable.h"
#include "ReportCopies.h"
#include "core/ComponentRegistry.h"
#include "core/Dispatch.h"
#include "core/Errors.h"
#include "core/HostUi.h"
#include "core/MensErro.h"
#include "core/TMessages.h"
#include "core/WorkThread.h"
#include "data/HostDatabase.h"
#include "report/model/DefinitionParser.h"
#include "report/output/RunFileWriter.h"
#include "report/query/ReportRunner.h"
#include "session/CodePictures.h"
#include "session/ShellNotices.h"

#include <QComboBox>
#include <QFileInfo>
#include <QPointer>
#include <QPrinter>
#include <QSqlDatabase>
#include <exception>

REGISTER_COMPONENT(TReportDesignerDialog)

namespace {
// A run's rows exported to file on the worker, as the run ends.
ReportRun::Output exportOutput(ExportFormat::Id format, const QString &file)
{
    ReportRun::Output out;
    out.exports.append({format, file});
    return out;
}
} // namespace

TReportDesignerDialog::TReportDesignerDialog(QObject *parent) : QObject(parent) {}

ReportMessages TReportDesignerDialog::messagesFrom(const TMessages *table)
{
    ReportMessages m;
    if (table) {
        m.arqRelErr = table->Msg(QStringLiteral("Arq_Rel_Err"));
        m.novoCaption = table->Msg(QStringLiteral("NovoCaption"));
        m.novoPrompt = table->Msg(QStringLiteral("NovoPrompt"));
    }
    return m;
}

QList<ReportEntry> TReportDesignerDialog::Reports() const { return ReportLibrary::list(m_reportCode); }

void TReportDesignerDialog::FillReportNames(QComboBox *cbb, const QString &selectPath) const
{
    const QList<ReportEntry> entries = Reports();
    const QSignalBlocker block(cbb);
    cbb->clear();
    int selected = entries.isEmpty() ? -1 : 0;
    for (int i = 0; i < entries.size(); ++i) {
        cbb->addItem(entries[i].title, entries[i].path);
        if (!selectPath.isEmpty() && QFileInfo(entries[i].path) == QFileInfo(selectPath))
            selected = i;
    }
    cbb->setCurrentIndex(selected);
}

ReportDefinition TReportDesignerDialog::Load(const QString &path, const ReportMessages &msgs) const
{
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        const QString folder = path.isEmpty() ? ReportLibrary::standardDir(m_reportCode) : QFileInfo(path).absolutePath();
        MensErro(msgs.fileNotFound(m_reportCode, folder), true);
    }
    return DefinitionParser::parseFile(path);
}

QSqlDatabase TReportDesignerDialog::database() const
{
    if (!m_databaseName.isEmpty())
        return QSqlDatabase::database(m_databaseName);
    // The shell's shared connection (its dialect goes with it: SqlDialect::of).
    HostDatabase &host = HostDatabase::instance();
    if (host.isInstalled())
        return host.database();
    return QSqlDatabase::database();
}

TParams TReportDesignerDialog::askParams(const ReportDefinition &def)
{
    TParams params = ReportRunner::declaredParams(def);
    bool flag = true;
    // The handler's errors must reach this run (not be shown and forgotten at
    // the outermost level), so it is raised as a nested event.
    std::exception_ptr failure;
    Dispatch::guard([&] {
        try {
            Dispatch::fire([&] { emit BeforeGetQueryParams(&params, &flag); });
        } catch (...) {
            failure = std::current_exception();
        }
    });
    if (failure)
        std::rethrow_exception(failure);
    if (!flag)
        throw EAbort();
    return params;
}

void TReportDesignerDialog::refuseWhileRunning() const
{
    if (m_run)
        MensErro(QStringLiteral("Um relatório desta tela ainda está sendo gerado. Aguarde o fim ou cancele-o antes de "
                                "pedir outro."),
                 true);
}

void TReportDesignerDialog::cancelRun()
{
    if (m_run)
        m_run->progress().cancel();
}

namespace {
// The code picture of the definition, when the shell has one.
std::shared_ptr<const TDBPicture> pictureOf(const ReportDefinition &def)
{
    if (def.pictureType < 0)
        return nullptr;
    try {
        return DBPictObj(def.pictureType);
    } catch (const EHostError &) {
        return nullptr; // codes are printed as they are stored
    }
}
} // namespace

std::shared_ptr<ReportDocument> TReportDesignerDialog::RunDocument(const ReportDefinition &def,
                                                                   const ReportRun::Output &output, int *pages)
{
    refuseWhileRunning();
    // The run's own copy: the worker reads it while handlers may change theirs.
    const TParams params = askParams(def).clone();
    // Read first: a connection that fell is seen there and made again below.
    auto doc = std::make_shared<ReportDocument>(def, params, pictureOf(def));
    const QSqlDatabase db = database();
    if (!db.isValid() || !db.isOpen())
        throw EHostError(QStringLiteral("Não há conexão aberta com o banco de dados para executar o relatório."));
    ReportRun run(doc, params, db, output);
    // However the wait ends, the runner is free again (if it still exists).
    struct Free {
        QPointer<TReportDesignerDialog> self;
        ~Free()
        {
            if (self) {
                self->m_run = nullptr;
                emit self->RunEnded();
            }
        }
    } release{this};
    m_run = &run;
    run.start();
    const bool waited = HostUi::instance().waitForWork(def.title, run.progress());
    if (!release.self)
        throw EAbort(); // the runner went away meanwhile
    if (!run.finished()) {
        // The wait gave up (the program is quitting): stop the run.
        run.progress().cancel();
        throw EAbort();
    }
    if (!waited || run.cancelled())
        throw EAbort();
    if (!run.error().isEmpty())
        throw EHostError(run.error());
    if (pages)
        *pages = run.pagesWritten();
    m_rowsRead = doc->rowCount();
    return doc;
}

bool TReportDesignerDialog::command(const std::function<void()> &body)
{
    bool done = false;
    Dispatch::guard([&] {
        try {
            refuseWhileRunning();
            body();
        } catch (const EAbort &) {
            throw;
        } catch (const EHostError &e) {
            MensErro(e.text(), true);
        }
        done = true;
    });
    return done;
}

namespace {
// The definition laid out again for the paper and orientation chosen in the
// print dialog or its page setup: a wider page takes more columns and fewer
// lines, so the pages are counted anew.
ReportDefinition forPage(ReportDefinition def, const QPageLayout &chosen)
{
    if (chosen.isValid()) {
        def.pageSize = chosen.pageSize();
        def.orientation = chosen.orientation() == QPageLayout::Landscape ? ReportDefinition::Orientation::Landscape
                                                                         : ReportDefinition::Orientation::Portrait;
    }
    return def;
}
} // namespace

bool TReportDesignerDialog::Print(const QString &path, const ReportMessages &msgs)
{
    return command([&] {
        const ReportDefinition loaded = Load(path, msgs);
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageLayout(ReportMetrics::pageLayout(loaded));
        printer.setDocName(loaded.title);
        const QString stem = m_fileNameStem.isEmpty() ? ReportLibrary::fileNameFor(loaded.title) : m_fileNameStem;
        if (!ReportUi::instance().askPrinter(printer, stem + QStringLiteral(".pdf")))
            throw EAbort();
        const ReportDefinition def = forPage(loaded, printer.pageLayout());
        ReportRun::Output out;
        if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
            out.kind = ReportRun::Output::Pdf; // written safely, unlike the printer's own PDF
            out.path = printer.outputFileName();
            out.pages = PageSelection::of(printer, false);
        } else {
            out.kind = ReportRun::Output::Printer;
            out.printer = &printer;
            out.pages = PageSelection::of(printer, printer.supportsMultipleCopies());
        }
        ReportUi::instance().reportRows(*RunDocument(def, out));
        if (out.kind == ReportRun::Output::Pdf)
            ShellNotices::instance().written(out.path);
    });
}

bool TReportDesignerDialog::Preview(const QString &path, const ReportMessages &msgs)
{
    return command([&] {
        const ReportDefinition def = Load(path, msgs);
        const std::shared_ptr<ReportDocument> doc = RunDocument(def);
        ReportUi::instance().reportRows(*doc);
        ReportUi::instance().previewDocument(*doc, previewExports(doc));
    });
}

QList<ReportUi::PreviewAction> TReportDesignerDialog::previewExports(const std::shared_ptr<ReportDocument> &doc)
{
    QList<ReportUi::PreviewAction> out;
    for (const ExportFormat &f : ExportFormats::all())
        out.append({f.scriptName, f.caption(), [this, id = f.id, doc] {
                        command([&] {
                            const QString file = ReportExport::askFileName(ExportFormats::of(id), doc->title(), m_fileNameStem);
                            if (file.isEmpty())
                                throw EAbort();
                            exportDocument(id, doc, file);
                            ShellNotices::instance().written(file);
                        });
                    }});
    return out;
}

void TReportDesignerDialog::exportDocument(ExportFormat::Id format, const std::shared_ptr<ReportDocument> &doc,
                                           const QString &file)
{
    WorkThread work([format, doc, file](WorkTask &task) {
        task.setStatus(QStringLiteral("Exportando as linhas..."));
        ReportExport::write(ExportFormats::of(format), *doc, file, [&task, &doc](qint64 n) {
            if ((n & 1023) == 0)
                task.setProgress(n, doc->rowCount());
            return !task.cancelled();
        });
    });
    work.start();
    const bool waited = HostUi::instance().waitForWork(doc->title(), work);
    if (!work.finished()) {
        work.cancel();
        throw EAbort();
    }
    if (!waited || work.wasCancelled())
        throw EAbort();
    if (!work.error().isEmpty())
        throw EHostError(work.error());
}

QString TReportDesignerDialog::SaveAs(const QString &path, const ReportMessages &msgs)
{
    QString saved;
    command([&] { saved = ReportCopies(m_reportCode).saveAs(Load(path, msgs), msgs); });
    if (!saved.isEmpty())
        ShellNotices::instance().written(saved);
    return saved;
}

QString TReportDesignerDialog::checkDefinition(const ReportDefinition &def)
{
    const QString problem = DefinitionParser::check(def);
    if (!problem.isEmpty())
        return problem;
    try {
        RunDocument(def);
    } catch (const EHostError &e) {
        return e.text();
    } catch (const EAbort &e) {
        return e.text().isEmpty() ? QStringLiteral("A execução de teste do relatório foi cancelada.") : e.text();
    }
    return QString();
}

QString TReportDesignerDialog::EditReport(const QString &path, const ReportMessages &msgs)
{
    QString saved;
    command([&] {
        ReportDefinition def = Load(path, msgs);
        if (!ReportUi::instance().editReport(def, [this](const ReportDefinition &d) { return checkDefinition(d); }))
            throw EAbort();
        // The dialog checked it; what is written must pass the structural
        // check whatever implementation of the dialog ran.
        const QString problem = DefinitionParser::check(def);
        if (!problem.isEmpty())
            throw EHostError(problem);
        saved = ReportCopies(m_reportCode).saveEdited(def, path);
    });
    return saved;
}

QString TReportDesignerDialog::StandardReport(const ReportMessages &msgs)
{
    QString found;
    command([&] {
        for (const ReportEntry &e : Reports())
            if (e.standard) {
                found = e.path;
                return;
            }
        MensErro(msgs.fileNotFound(m_reportCode, ReportLibrary::standardDir(m_reportCode)), true);
    });
    return found;
}

bool TReportDesignerDialog::WritePdf(const QString &path, const QString &pdfFile, const ReportMessages &msgs, int *pages)
{
    return command([&] {
        const ReportDefinition def = Load(path, msgs);
        ReportRun::Output out;
        out.kind = ReportRun::Output::Pdf;
        out.path = pdfFile;
        RunDocument(def, out, pages);
    });
}

bool TReportDesignerDialog::Export(const QString &path, const ReportMessages &msgs, ExportFormat::Id format)
{
    return command([&] {
        const ReportDefinition def = Load(path, msgs);
        const QString file = ReportExport::askFileName(ExportFormats::of(format), def.title, m_fileNameStem);
        if (file.isEmpty())
            throw EAbort();
        RunDocument(def, exportOutput(format, file));
        ShellNotices::instance().written(file);
    });
}

bool TReportDesignerDialog::ExportTo(const QString &path, const QString &file, const ReportMessages &msgs,
                                     ExportFormat::Id format)
{
    return command([&] {
        const ReportDefinition def = Load(path, msgs);
        RunDocument(def, exportOutput(format, file));
    });
}

bool TReportDesignerDialog::WriteCsv(const QString &path, const QString &csvFile, const ReportMessages &msgs)
{
    return command([&] {
        const ReportDefinition def = Load(path, msgs);
        ReportRun::Output out;
        out.kind = ReportRun::Output::RowsCsv;
        out.path = csvFile;
        RunDocument(def, out);
    });
}
