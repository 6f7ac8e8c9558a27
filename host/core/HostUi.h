// Every dialog the host shows goes through HostUi, an interface the lowest
// layer owns so that every layer can ask for a dialog: messages, search
// lists, prompts and the wait for long work. The report layer adds its own
// dialogs (report/commands/ReportUi.h), which the same implementation offers.
// The programs install an implementation: QtHostUi for people, ScriptedHostUi
// for tests and scripted sessions (both in ui/). Screens and modules never
// include a dialog header.
#pragma once

#include "SearchRequest.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class Work;

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

    // --- long work ------------------------------------------------------
    // Waits for work running on another thread while the windows stay alive
    // (their events are processed): after half a second its progress shows,
    // with a Cancel button (and Esc), and the busy cursor while it works.
    // False when the user cancelled. On return the work has finished, or it
    // was told to stop and did not within a few seconds (the caller must then
    // not use its results). The stand-in just waits.
    virtual bool waitForWork(const QString &title, Work &work);

private:
    static void replace(std::unique_ptr<HostUi> ui);
};
