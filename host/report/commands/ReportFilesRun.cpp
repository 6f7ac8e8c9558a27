// The base report screen's run into a folder, for merenda-report.
#include "ReportScreenCommands.h"
#include "TReportDesignerDialog.h"
#include "TfrmDadosGerRel.h"
#include "core/Errors.h"
#include "report/layout/ReportRowStore.h"

#include <QComboBox>
#include <QDir>

TfrmDadosGerRel::FilesRun TfrmDadosGerRel::writeFiles(const QString &folder, bool pdf,
                                                       const QList<ExportFormat::Id> &formats)
{
    // The checks a person's Print goes through, and the file names they give.
    beforeCommand(ReportCommand::Id::Print);
    if (m_reportNames->count() == 0)
        ReportScreenCommands(m_runner, m_reportNames, m_messages, reportCode()).list();
    const ReportDefinition def =
        m_runner->Load(m_reportNames->currentData().toString(), TReportDesignerDialog::messagesFrom(m_messages));
    const QString stem = m_runner->FileNameStem().isEmpty() ? def.title : m_runner->FileNameStem();
    const QDir dir(folder);
    FilesRun result;
    result.title = def.title;
    ReportRun::Output output;
    if (pdf) {
        output.kind = ReportRun::Output::Pdf;
        output.path = dir.filePath(stem + QStringLiteral(".pdf"));
        result.files << output.path;
    }
    for (const ExportFormat::Id id : formats) {
        output.exports.append({id, dir.filePath(ExportFormats::of(id).proposedFileName(def.title, stem))});
        result.files << output.exports.last().path;
    }
    const std::shared_ptr<ReportDocument> doc = m_runner->RunDocument(def, output);
    result.rows = doc && doc->rows() ? doc->rows()->rowCount() : 0;
    return result;
}
