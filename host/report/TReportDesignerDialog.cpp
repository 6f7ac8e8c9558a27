#include "TReportDesignerDialog.h"
#include "ReportFileWriter.h"
#include "ReportParser.h"
#include "ReportRenderer.h"
#include "ReportRunner.h"
#include "ReportWriter.h"
#include "data/HostDatabase.h"
#include "services/MensErro.h"
#include "toolkit/ComponentRegistry.h"
#include "toolkit/Dispatch.h"
#include "toolkit/Errors.h"
#include "toolkit/TMessages.h"
#include "toolkit/HostUi.h"

#include <QComboBox>
#include <QFileInfo>
#include <QPrinter>
#include <QSqlDatabase>
#include <exception>

REGISTER_COMPONENT(TReportDesignerDialog)

namespace {
// Writes a user copy; a file claimed empty for it that could not be written
// is removed again, so the list never shows it.
void saveCopy(const ReportDefinition &def, const QString &dest)
{
    const bool claimed = QFileInfo(dest).size() == 0;
    try {
        ReportWriter::save(def, dest);
    } catch (...) {
        if (claimed)
            QFile::remove(dest);
        throw;
    }
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
    return ReportParser::parseFile(path);
}

QSqlDatabase TReportDesignerDialog::database(int &dialect) const
{
    dialect = -1;
    if (!m_databaseName.isEmpty())
        return QSqlDatabase::database(m_databaseName);
    // The shell's shared connection, in the dialect its queries run.
    HostDatabase &host = HostDatabase::instance();
    if (host.isInstalled()) {
        dialect = int(host.dialect());
        return host.database();
    }
    return QSqlDatabase::database();
}

ReportData TReportDesignerDialog::Run(const ReportDefinition &def)
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
    int dialect = -1;
    const QSqlDatabase db = database(dialect);
    return ReportRunner::run(def, params, db, ReportRunner::layoutFields(def), dialect);
}

bool TReportDesignerDialog::command(const std::function<void()> &body)
{
    bool done = false;
    Dispatch::guard([&] {
        try {
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

bool TReportDesignerDialog::Print(const QString &path, const ReportMessages &msgs)
{
    return command([&] {
        const ReportDefinition def = Load(path, msgs);
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageLayout(ReportRenderer::pageLayout(def));
        printer.setDocName(def.title);
        if (!HostUi::instance().askPrinter(printer))
            throw EAbort();
        const ReportData data = Run(def);
        HostUi::instance().reportRows(def, data);
        if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
            ReportFileWriter::writePdf(def, data, printer.outputFileName());
        } else {
            printer.setPageLayout(ReportRenderer::pageLayout(def));
            ReportRenderer(def, data).paint(&printer);
        }
    });
}

bool TReportDesignerDialog::Preview(const QString &path, const ReportMessages &msgs)
{
    return command([&] {
        const ReportDefinition def = Load(path, msgs);
        const ReportData data = Run(def);
        HostUi::instance().reportRows(def, data);
        ReportRenderer renderer(def, data);
        QPrinter printer(QPrinter::HighResolution);
        printer.setPageLayout(ReportRenderer::pageLayout(def));
        printer.setDocName(def.title);
        HostUi::instance().previewReportWithActions(def.title, printer, [&](QPrinter *p) { return renderer.paint(p); },
                                                    previewExports(def, data));
    });
}

QList<HostUi::PreviewAction> TReportDesignerDialog::previewExports(const ReportDefinition &def, const ReportData &data)
{
    QList<HostUi::PreviewAction> out;
    for (const ReportExport::Format f : {ReportExport::Format::Csv, ReportExport::Format::Xlsx})
        out.append({ReportExport::commandName(f), ReportExport::caption(f), [this, f, &def, &data] {
                        command([&] {
                            const QString file = ReportExport::askFileName(f, def.title);
                            if (file.isEmpty())
                                throw EAbort();
                            ReportExport::write(f, def, data, file);
                        });
                    }});
    return out;
}

QString TReportDesignerDialog::SaveAs(const QString &path, const ReportMessages &msgs)
{
    QString saved;
    command([&] {
        ReportDefinition def = Load(path, msgs);
        QString title = def.title;
        QString dest;
        while (dest.isEmpty()) {
            if (!HostUi::instance().askText(msgs.novoCaption, msgs.novoPrompt, title) || title.trimmed().isEmpty())
                throw EAbort();
            title = title.trimmed();
            if (ReportLibrary::isStandardTitle(m_reportCode, title))
                HostUi::instance().showError(QStringLiteral("\"%1\" é o título de um relatório padrão, que não pode ser "
                                                            "substituído. Informe outro título.").arg(title), false);
            else
                dest = newCopyPath(title, QStringLiteral("Já existe um relatório com o título \"%1\". Deseja substituí-lo?"));
        }
        def.title = title;
        saveCopy(def, dest);
        saved = dest;
    });
    return saved;
}

QString TReportDesignerDialog::newCopyPath(const QString &title, const QString &question)
{
    const QString existing = ReportLibrary::userPathOfTitle(m_reportCode, title);
    if (existing.isEmpty())
        return ReportLibrary::claimUserPath(m_reportCode, title);
    if (HostUi::instance().askYesNo(QStringLiteral("Substituir relatório"), question.arg(title)))
        return existing;
    return QString();
}

QString TReportDesignerDialog::checkDefinition(const ReportDefinition &def)
{
    const QString problem = ReportParser::check(def);
    if (!problem.isEmpty())
        return problem;
    try {
        Run(def);
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
        if (!HostUi::instance().editReport(def, [this](const ReportDefinition &d) { return checkDefinition(d); }))
            throw EAbort();
        // The dialog checked it; what is written must pass the structural
        // check whatever implementation of the dialog ran.
        const QString problem = ReportParser::check(def);
        if (!problem.isEmpty())
            throw EHostError(problem);
        QString dest = path;
        if (ReportLibrary::isStandard(path) || !QFileInfo(path).isWritable()) {
            dest = newCopyPath(def.title, QStringLiteral("Já existe um relatório com o título \"%1\". Deseja substituí-lo? "
                                                         "(Não: o relatório editado é gravado ao lado dele.)"));
            if (dest.isEmpty())
                dest = ReportLibrary::claimUserPath(m_reportCode, def.title);
        }
        saveCopy(def, dest);
        saved = dest;
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
        const ReportData data = Run(def);
        const int n = ReportFileWriter::writePdf(def, data, pdfFile);
        if (pages)
            *pages = n;
    });
}

bool TReportDesignerDialog::Export(const QString &path, const ReportMessages &msgs, ReportExport::Format format)
{
    return command([&] {
        const ReportDefinition def = Load(path, msgs);
        const QString file = ReportExport::askFileName(format, def.title);
        if (file.isEmpty())
            throw EAbort();
        ReportExport::write(format, def, Run(def), file);
    });
}

bool TReportDesignerDialog::ExportTo(const QString &path, const QString &file, const ReportMessages &msgs,
                                     ReportExport::Format format)
{
    return command([&] {
        const ReportDefinition def = Load(path, msgs);
        ReportExport::write(format, def, Run(def), file);
    });
}

bool TReportDesignerDialog::WriteCsv(const QString &path, const QString &csvFile, const ReportMessages &msgs)
{
    return command([&] {
        const ReportDefinition def = Load(path, msgs);
        const ReportData data = Run(def);
        ReportFileWriter::writeCsv(def, data, csvFile);
    });
}
