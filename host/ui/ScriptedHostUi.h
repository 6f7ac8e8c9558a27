// HostUi for tests and scripted sessions: records every message, answers
// prompts from queues filled in advance, and never opens a window.
#pragma once

#include "toolkit/HostUi.h"
#include "SearchScript.h"

#include <QList>
#include <QQueue>
#include <functional>

class ScriptedHostUi : public HostUi {
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
    bool askPrinter(QPrinter &printer) override;
    void previewReport(const QString &title, QPrinter &printer,
                       const std::function<int(QPrinter *)> &paint) override;
    // Shows the preview as previewReport does, then chooses the queued
    // previewActionAnswers that it offers, in order.
    void previewReportWithActions(const QString &title, QPrinter &printer,
                                  const std::function<int(QPrinter *)> &paint,
                                  const QList<PreviewAction> &actions) override;
    bool editReport(ReportDefinition &def,
                    const std::function<QString(const ReportDefinition &)> &check) override;
    // With outputDir set, writes the rows as report-N.csv there.
    void reportRows(const ReportDefinition &def, const ReportData &data) override;

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
    // Report edits: each changes the definition and returns false to cancel.
    // A definition the check refuses is recorded as an error and cancelled.
    QQueue<std::function<bool(ReportDefinition &)>> reportEdits;
    // Previews shown: title and number of pages (painted to a scratch PDF).
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

    QStringList messageTexts() const;
    void clear();
};
