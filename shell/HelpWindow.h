// The help of a screen: the page its module names for the help context the
// screen's definition stores (ModuleDescription), shown in a text browser
// window of its own (one at a time). A page's report commands come from
// ReportCommandTable: the page marks their place with kReportCommandsMark.
#pragma once

#include "core/ModuleDescription.h"

#include <QTextBrowser>

class TForm;

class HelpWindow : public QTextBrowser {
    Q_OBJECT
public:
    // Where a help page lists the report commands and their keys.
    static constexpr const char *kReportCommandsMark = "<!-- report-commands -->";

    explicit HelpWindow(QWidget *parent = nullptr);
    // The page of form's help context among the modules' pages; empty when
    // the form has none or no module has a page for it.
    static QString pageOf(const TForm *form, const QList<ModuleDescription> &modules);
    // Shows the page; false when there is none (nothing is shown).
    bool showPage(const QString &page);
};
