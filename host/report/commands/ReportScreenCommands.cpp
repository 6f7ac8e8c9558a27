#include "ReportScreenCommands.h"
#include "TReportDesignerDialog.h"
#include "session/ShellNotices.h"

#include <QComboBox>

ReportScreenCommands::ReportScreenCommands(TReportDesignerDialog *rpdd, QComboBox *names, const TMessages *msgs,
                                           const QString &code)
    : m_rpdd(rpdd), m_names(names), m_msgs(msgs)
{
    if (m_rpdd && !code.trimmed().isEmpty())
        m_rpdd->setReportCode(code.trimmed());
}

void ReportScreenCommands::list()
{
    if (m_rpdd && m_names)
        m_rpdd->FillReportNames(m_names, m_names->currentData().toString());
}

QString ReportScreenCommands::chosen()
{
    // A list never filled (or emptied) is filled first.
    if (m_names && m_names->count() == 0)
        list();
    return m_names ? m_names->currentData().toString() : QString();
}

void ReportScreenCommands::choose(const QString &path)
{
    if (!path.isEmpty() && m_names)
        m_rpdd->FillReportNames(m_names, path);
}

void ReportScreenCommands::print() { m_rpdd->Print(chosen(), TReportDesignerDialog::messagesFrom(m_msgs)); }

void ReportScreenCommands::preview() { m_rpdd->Preview(chosen(), TReportDesignerDialog::messagesFrom(m_msgs)); }

void ReportScreenCommands::saveAs() { choose(m_rpdd->SaveAs(chosen(), TReportDesignerDialog::messagesFrom(m_msgs))); }

void ReportScreenCommands::editReport()
{
    choose(m_rpdd->EditReport(chosen(), TReportDesignerDialog::messagesFrom(m_msgs)));
}

void ReportScreenCommands::standardReport()
{
    const QString path = m_rpdd->StandardReport(TReportDesignerDialog::messagesFrom(m_msgs));
    if (path.isEmpty())
        return; // the runner said why
    choose(path);
    // The list may have shown it already: the person is told it is chosen.
    ShellNotices::instance().tell(QStringLiteral("Relatório padrão escolhido: %1.").arg(m_names ? m_names->currentText()
                                                                                                : path));
}

void ReportScreenCommands::exportRows(ExportFormat::Id format)
{
    m_rpdd->Export(chosen(), TReportDesignerDialog::messagesFrom(m_msgs), format);
}
