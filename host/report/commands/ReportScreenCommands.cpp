#include "ReportScreenCommands.h"
#include "TReportDesignerDialog.h"

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
    choose(m_rpdd->StandardReport(TReportDesignerDialog::messagesFrom(m_msgs)));
}

void ReportScreenCommands::exportRows(ExportFormat::Id format)
{
    m_rpdd->Export(chosen(), TReportDesignerDialog::messagesFrom(m_msgs), format);
}
