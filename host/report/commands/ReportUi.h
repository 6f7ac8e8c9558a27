// The dialogs of the report commands, beside HostUi's: choosing a printer,
// editing a definition, showing a run's pages, handing over a run's rows.
// The report layer owns this interface so that the core's HostUi names no
// report type. The implementation installed as HostUi offers it too (QtHostUi,
// ScriptedHostUi), and instance() finds it there; while the installed HostUi
// is no ReportUi, a stand-in declines every dialog (no printer, no edit) and
// shows nothing.
#pragma once

#include <QList>
#include <QString>
#include <functional>

class PagedDocument;
class QPrinter;
class ReportDefinition;
class ReportDocument;

class ReportUi {
public:
    virtual ~ReportUi();

    // The report dialogs of the installed HostUi, else the stand-in.
    static ReportUi &instance();

    // Lets the user choose a printer (or a PDF file); false when cancelled.
    // With fileName ("custo-realizado-0101-2026-03.pdf") a PDF file is
    // offered under that name in the folder last saved to, and the paper and
    // orientation last chosen for the document (PrintChoices); without it the
    // printer's own are offered (a preview's pages, laid out already).
    virtual bool askPrinter(QPrinter &printer, const QString &fileName) = 0;
    // Edits a report definition (title, statements, columns); check gives an
    // error text, empty when the definition is sound, and must pass before
    // the edit is accepted. False when the user cancels.
    virtual bool editReport(ReportDefinition &def,
                            const std::function<QString(const ReportDefinition &)> &check) = 0;

    // A command a preview offers beside printing (export to a spreadsheet):
    // name is for scripts ("exportcsv"), caption for people; run is carried
    // out while the preview stays open, its errors shown there.
    struct PreviewAction {
        QString name;
        QString caption;
        std::function<void()> run;
    };
    // Shows the pages of a document, painting each page as it comes into
    // view (a report of thousands of pages opens at once), with the caller's
    // actions beside printing.
    virtual void previewDocument(PagedDocument &doc, const QList<PreviewAction> &actions = {}) = 0;
    // A report's rows, once they are all in, before they are printed or
    // previewed. People see the pages; a scripted session may keep the rows.
    virtual void reportRows(const ReportDocument &doc);
};
