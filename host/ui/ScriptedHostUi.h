// HostUi and ReportUi for tests and scripted sessions: records every message,
// answers prompts from queues filled in advance, and never opens a window.
#pragma once

#include "SearchScript.h"
#include "core/HostUi.h"
#include "report/commands/ReportUi.h"

#include <QList>
#include <QPageLayout>
#include <QQueue>
#include <functional>
#include <optional>

class ScriptedHostUi : public HostUi, public ReportUi {
public:
    struct Message {
        enum Kind { Error, Exception, Info } kind;
        QString text;
        bool abort;
    };

    void showError(const QString &text, bool abort) override;
    void showException(const QString &text) override;
    void showInfo(const QString &text) override;
    bool searchList(const SearchRequest &request, SearchSource &source,
                    SearchChoice &choice) override;
    bool askText(const QString &caption, const QString &prompt, QString &value) override;
    // A queued answer, else with outputDir set a file there named
    // export-N with the suffix of the name offered, else a cancel.
    QString askSaveFileName(const QString &title, const QString &filter,
                            const QString &initial) override;
    bool askYesNo(const QString &caption, const QString &question) override;
    // Offers nothing and remembers nothing (the answer decides); fileName
    // is kept in offeredPdfNames.
    bool askPrinter(QPrinter &printer, const QString &fileName) override;
    bool editReport(ReportDefinition &def,
                    const std::function<QString(const ReportDefinition &)> &check) override;
    // Records the preview; with outputDir set, writes its pages there. Then
    // chooses the queued previewActionAnswers that it offers, in order.
    void previewDocument(PagedDocument &doc, const QList<PreviewAction> &actions = {}) override;
    // With outputDir set, writes the rows as report-N.csv there.
    void reportRows(const ReportDocument &doc) override;
    // Waits for the work, processing events; presses Cancel when asked to
    // (cancelAfterMs) and records what the work reported.
    bool waitForWork(const QString &title, Work &work) override;

    // Search lists: queued answers and the searches shown (SearchScript.h).
    SearchScript search;
    QList<Message> messages;
    // An empty optional-like entry (null QString) answers "cancel".
    QQueue<QString> textAnswers;
    // Every text asked for: caption, prompt and the value offered.
    struct TextPrompt {
        QString caption, prompt, initial;
    };
    QList<TextPrompt> textPrompts;
    QQueue<QString> saveFileAnswers;
    // The path each save dialog offered (folder and name).
    QStringList saveFileOffers;
    // Yes/no questions: answers queued in advance (none: no) and each
    // question asked with the answer it got.
    QQueue<bool> yesNoAnswers;
    struct Question {
        QString caption, text;
        bool answer;
    };
    QList<Question> questions;
    std::function<void(const Question &)> onQuestion;
    // Names of preview actions to choose in the next preview ("exportcsv"),
    // and the names each preview offered.
    QQueue<QString> previewActionAnswers;
    QList<QStringList> previewActionsOffered;
    // Printer choices: a PDF file name to print to; a null QString cancels.
    QQueue<QString> printerAnswers;
    QStringList offeredPdfNames;
    // What a person would set in the print dialog, applied to the next
    // printer asked for and then forgotten: a page range (from 0: all),
    // copies (0: as offered), orientation and paper.
    struct PrintDialogChoices {
        int from = 0, to = 0;
        int copies = 0;
        std::optional<QPageLayout::Orientation> orientation;
        std::optional<QPageSize> paper;
    };
    PrintDialogChoices printChoices;
    // Report edits: each changes the definition and returns false to cancel.
    // A definition the check refuses is recorded as an error and cancelled.
    QQueue<std::function<bool(ReportDefinition &)>> reportEdits;
    // Previews shown: title and number of pages (written into outputDir when
    // it is set).
    struct Preview {
        QString title;
        int pages;
    };
    QList<Preview> previews;
    // When set, printing and previews write their PDF into this folder
    // (print-N.pdf, preview-N.pdf) instead of a scratch file, and the rows of
    // every run as report-N.csv.
    QString outputDir;
    int outputCount = 0;
    int rowsCount = 0;
    // Called after each message is recorded (scripted sessions print it).
    std::function<void(const Message &)> onMessage;

    // Long work waited for: its title, the last status and count it showed,
    // whether it was cancelled and whether it had stopped when the wait
    // ended (after Cancel the wait lasts StopWaitMs at most).
    struct WaitSeen {
        QString title, status;
        qint64 done = 0, total = 0;
        bool cancelled = false;
        bool stopped = false;
    };
    static constexpr int StopWaitMs = 10000;
    QList<WaitSeen> works;
    // When 0 or more, the next work waited for is cancelled that many
    // milliseconds after it started (then it goes back to -1).
    int cancelAfterMs = -1;
    // Called after a work was cancelled (scripted sessions print it).
    std::function<void(const WaitSeen &)> onCancelled;

    QStringList messageTexts() const;
    void clear();

private:
    // Records the actions offered and carries out the queued ones.
    void runPreviewActions(const QList<PreviewAction> &actions);
};
