// The report editor: title, orientation, the dialect texts of each query and
// the columns of a report definition. OK runs the check it was given and
// stays open, showing the problem, until the definition passes.
#pragma once

#include "report/model/ReportDefinition.h"

#include <QDialog>
#include <QList>
#include <functional>

class QComboBox;
class QFormLayout;
class QLineEdit;
class QPlainTextEdit;
class QTableWidget;

class ReportEditDialog : public QDialog {
    Q_OBJECT

public:
    ReportEditDialog(const ReportDefinition &def, std::function<QString(const ReportDefinition &)> check,
                     QWidget *parent = nullptr);

    // The definition as the dialog's fields now describe it.
    ReportDefinition definition() const;

    void accept() override;

private:
    QFormLayout *titleFields(const ReportDefinition &def);
    QWidget *queryPage(const ReportQuery &q);
    QWidget *columnsPage(const ReportDefinition &def);
    void addColumnRow(const ReportColumn &c);
    void moveColumnUp();

    ReportDefinition m_original;
    std::function<QString(const ReportDefinition &)> m_check;
    QLineEdit *m_title = nullptr;
    QComboBox *m_orientation = nullptr;
    QList<std::array<QPlainTextEdit *, ReportQuery::DialectCount>> m_sql;
    QTableWidget *m_columns = nullptr;
};
