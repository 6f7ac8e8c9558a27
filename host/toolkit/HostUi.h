// Every dialog the host shows goes through HostUi, an interface the lowest
// layer owns so that every layer can ask for a dialog. The programs install
// an implementation: QtHostUi for people, ScriptedHostUi for tests and
// scripted sessions (both in ui/). Screens and modules never include a dialog
// header.
#pragma once

#include "SearchRequest.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class PagedDocument;
class QPrinter;
class ReportDefinition;
class ReportDocument;
class WorkProgress;

class SearchSource;

class HostUi {
public:
    virtual ~HostUi();

    // The installed implementation. With none installed, a stand-in writes
    // messages to standard error and declines every prompt.
    static HostUi &instance();
    // Installs ui, destroying the one installed before; returns ui.
    template <class Ui> static Ui *install(std::unique_ptr<Ui> ui)
    {
        Ui *raw = ui.get();
        replace(std::move(ui));
        return raw;
    }
    // Removes the installed implementation (the stand-in answers again).
    static void uninstall();

    // --- messages -------------------------------------------------------
    // An error message of MensErro; abort tells whether the action ends.
    virtual void showError(const QString &text, bool abort) = 0;
    // An unexpected exception that ended an event.
    virtual void showException(const QString &text) = 0;
    // A plain information message.
    virtual void showInfo(const QString &text) = 0;
    // What the program is (its "Sobre" box) under title; by default an
    // information message.
    virtual void showAbout(const QString &title, const QString &text);

    // --- search lists ---------------------------------------------------
    // Offers the rows of source for a choice (SearchRequest.h); false when
    // the user cancels or the list is empty (its empty-list text is shown).
    virtual bool searchList(const SearchRequest &request, SearchSource &source,
                            SearchChoice &choice) = 0;

    // --- prompts --------------------------------------------------------
    // Asks for a line of text; false when the user cancels.
    virtual bool askText(const QString &caption, const QString &prompt, QString &value) = 0;
    // Asks for a file name to save to; empty when the user cancels.
    virtual QString askSaveFileName(const QString &title, const QString &filter,
                                    const QString &initial) = 0;
    // Asks a question answered yes or no (replace a file?); true for yes.
    // Where nobody can answer (no window, a script with no answer queued)
    // the answer is no, so nothing is replaced unasked.
    virtual bool askYesNo(const QString &caption, const QString &question);

    // --- reports --------------------------------------------------------
    // Lets the user choose a printer (or a PDF file); false when cancelled.
    virtual bool askPrinter(QPrinter &printer) = 0;
    // Shows a print preview of a few pages painted up front: paint draws the
    // pages on the printer it gets and returns how many there are. Reports
    // use previewDocument, which paints a page only when it is shown.
    virtual void previewReport(const QString &title, QPrinter &printer,
                               const std::function<int(QPrinter *)> &paint) = 0;
    // A command a preview offers beside printing (export to a spreadsheet):
    // name is for scripts ("exportcsv"), caption for people; run is carried
    // out while the preview stays open, its errors shown there.
    struct PreviewAction {
        QString name;
        QString caption;
        std::function<void()> run;
    };
    // previewReport with actions of the caller's. By default the plain
    // preview, without them.
    virtual void previewReportWithActions(const QString &title, QPrinter &printer,
                                          const std::function<int(QPrinter *)> &paint,
                                          const QList<PreviewAction> &actions);
    // Edits a report definition (title, statements, columns); check gives an
    // error text, empty when the definition is sound, and must pass before
    // the edit is accepted. False when the user cancels.
    virtual bool editReport(ReportDefinition &def,
                            const std::function<QString(const ReportDefinition &)> &check) = 0;
    // Shows the pages of a document, painting each page as it comes into
    // view (a report of thousands of pages opens at once), with the caller's
    // actions beside printing.
    virtual void previewDocument(PagedDocument &doc, const QList<PreviewAction> &actions = {});
    // A report's rows, once they are all in, before they are printed or
    // previewed. People see the pages; a scripted session may keep the rows.
    virtual void reportRows(const ReportDocument &doc);

    // --- long work ------------------------------------------------------
    // Waits for work running on another thread while the windows stay alive
    // (their events are processed): after half a second its progress shows,
    // with a Cancel button (and Esc), and the busy cursor while it works.
    // False when the user cancelled. On return the work has finished, or it
    // was told to stop and did not within a few seconds (the caller must then
    // not use its results). The stand-in just waits.
    virtual bool waitForWork(const QString &title, WorkProgress &work);

private:
    static void replace(std::unique_ptr<HostUi> ui);
};
