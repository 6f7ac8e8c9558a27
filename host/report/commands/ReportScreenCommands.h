// The report commands of the base report screen, on its components: the
// runner rpddPadrao, the combo box cbbReportNames (titles; each item's data
// is the definition's file), the message table msgPadrao and the report code
// shown in lblCodRel. The screen's handlers call these after validation.
#pragma once

#include "report/output/ReportExport.h"

#include <QString>

class QComboBox;
class TMessages;
class TReportDesignerDialog;

class ReportScreenCommands {
public:
    ReportScreenCommands(TReportDesignerDialog *rpdd, QComboBox *names, const TMessages *msgs, const QString &code);

    // Fills the combo box (standard definitions first), keeping the choice.
    void list();
    void print();
    void preview();
    // A saved or edited copy becomes the chosen definition.
    void saveAs();
    void editReport();
    // Chooses the standard definition again and says so (ShellNotices::tell).
    void standardReport();
    // Exports the chosen report's rows to a spreadsheet file.
    void exportRows(ExportFormat::Id format);

private:
    QString chosen();
    void choose(const QString &path);

    TReportDesignerDialog *m_rpdd;
    QComboBox *m_names;
    const TMessages *m_msgs;
};
