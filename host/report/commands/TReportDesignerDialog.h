// The report runner of the base report screen (component rpddPadrao).
//
// Lists the definitions of a report code (standard first, then the user's
// own, ReportLibrary), runs one and prints, previews or writes it, and
// carries the base screen's commands: print, preview, save as, edit report,
// standard report (the user's copies written by ReportCopies).
//
// Every run first raises BeforeGetQueryParams, on the GUI thread, with a
// parameter list holding exactly the parameters the definition declares
// (with their declared types and defaults) and a Boolean that starts true: a
// handler that sets it false cancels the run quietly. Then the queries run
// on the connection named by DefaultDatabaseName with the values bound by
// name; with DefaultDatabaseName empty the connection is the shell's shared
// one (HostDatabase, opened by dtmDBGeral); the statement text is the one of
// the connection's dialect.
//
// Print, preview, PDF and CSV runs read and lay out the rows on a worker
// thread (ReportRun) while the window stays alive: HostUi::waitForWork shows
// their progress after half a second, with Cancel. A cancelled run prints and
// writes nothing and shows no message. Only one run at a time: a command
// given while one runs is refused with a message. Nothing is printed or
// written until every row has arrived.
//
// Failures: a missing definition file shows "Arq_Rel_Err" filled with the
// report code and the folder; a bad definition or a database error shows its
// text; either way through MensErro, so the command ends and nothing is
// printed or saved. Each file a command writes for the person (a PDF, an
// export, a saved copy) is told through ShellNotices::written once it is in
// place. Called from an event handler the commands let that
// silent exception travel on; called outside any handler they catch it and
// return false / an empty path.
#pragma once

#include "ReportMessages.h"
#include "ReportRun.h"
#include "data/TParam.h"
#include "report/model/ReportDefinition.h"
#include "report/model/ReportLibrary.h"
#include "report/output/ReportExport.h"

#include "ReportUi.h"

#include <QObject>

class QComboBox;
class QSqlDatabase;
class TMessages;

class TReportDesignerDialog : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString DefaultDatabaseName READ DefaultDatabaseName WRITE setDefaultDatabaseName)
    Q_PROPERTY(QString ReportCode READ ReportCode WRITE setReportCode)
    Q_PROPERTY(QString FileNameStem READ FileNameStem WRITE setFileNameStem)

public:
    explicit TReportDesignerDialog(QObject *parent = nullptr);

    QString DefaultDatabaseName() const { return m_databaseName; }
    void setDefaultDatabaseName(const QString &v) { m_databaseName = v; }
    // The report code whose definitions are listed ("XEV017").
    QString ReportCode() const { return m_reportCode; }
    void setReportCode(const QString &v) { m_reportCode = v; }
    // The name (without suffix) the save dialogs offer for an export, such
    // as "custo-realizado-0101-2026-03"; empty: the report's title.
    QString FileNameStem() const { return m_fileNameStem; }
    void setFileNameStem(const QString &v) { m_fileNameStem = v; }

    // The texts of "Arq_Rel_Err", "NovoCaption", "NovoPrompt" in a table.
    static ReportMessages messagesFrom(const TMessages *table);

    // --- definitions ------------------------------------------------------
    QList<ReportEntry> Reports() const;
    // Fills a combo box with the titles, the path in each item's user data,
    // and selects selectPath (the first entry when empty or not listed).
    void FillReportNames(QComboBox *cbb, const QString &selectPath = QString()) const;
    // Reads a definition; a missing file shows "Arq_Rel_Err" (MensErro).
    ReportDefinition Load(const QString &path, const ReportMessages &msgs) const;

    // --- running ----------------------------------------------------------
    // Raises BeforeGetQueryParams, then reads and lays out the rows off the
    // GUI thread, writing the pages to output as well. Throws EHostError on
    // a database error, EAbort when a handler or the user cancels.
    std::shared_ptr<ReportDocument> RunDocument(const ReportDefinition &def,
                                                const ReportRun::Output &output = {}, int *pages = nullptr);
    // Whether a run is under way; asks it to stop.
    bool isRunning() const { return m_run != nullptr; }
    // The rows the last run that ended well read; -1 before any.
    qint64 rowsRead() const { return m_rowsRead; }
    void cancelRun();

    // --- the base screen's commands -----------------------------------------
    bool Print(const QString &path, const ReportMessages &msgs);
    bool Preview(const QString &path, const ReportMessages &msgs);
    // Saves a copy under a title the user gives; returns its path. A title
    // of a standard definition is refused and asked again; a title of a user
    // copy replaces that copy when the user agrees (else the title is asked
    // again); any other title gets a file of its own.
    QString SaveAs(const QString &path, const ReportMessages &msgs);
    // Edits a user copy (a standard definition is copied first); returns the
    // path of the saved user file. A new copy whose title a user copy has
    // replaces it when the user agrees, else is saved beside it.
    QString EditReport(const QString &path, const ReportMessages &msgs);
    // Asks for a file and exports the rows of a run to it (ReportExport.h).
    bool Export(const QString &path, const ReportMessages &msgs, ExportFormat::Id format);
    // The standard definition of ReportCode (the first one shipped).
    QString StandardReport(const ReportMessages &msgs);

    // --- without dialogs ------------------------------------------------------
    // pages receives the number of pages written.
    bool WritePdf(const QString &path, const QString &pdfFile, const ReportMessages &msgs, int *pages = nullptr);
    bool WriteCsv(const QString &path, const QString &csvFile, const ReportMessages &msgs);
    bool ExportTo(const QString &path, const QString &file, const ReportMessages &msgs, ExportFormat::Id format);

signals:
    void BeforeGetQueryParams(TParams *Params, bool *Flag);
    // A run of RunDocument has ended, however it ended.
    void RunEnded();

private:
    // DefaultDatabaseName's connection, else the shell's (HostDatabase),
    // else Qt's default one.
    QSqlDatabase database() const;
    // Runs body as a command: errors become messages (see the header note).
    bool command(const std::function<void()> &body);
    // Structural check, then a trial run; the error text or empty.
    QString checkDefinition(const ReportDefinition &def);
    // The preview's export commands on a run already laid out.
    QList<ReportUi::PreviewAction> previewExports(const std::shared_ptr<ReportDocument> &doc);
    // Writes the rows of a laid-out run to a file, off the GUI thread.
    void exportDocument(ExportFormat::Id format, const std::shared_ptr<ReportDocument> &doc, const QString &file);
    // The event on the GUI thread; the parameters as the handlers left them.
    TParams askParams(const ReportDefinition &def);
    // Refuses a command while a run is under way (MensErro).
    void refuseWhileRunning() const;

    QString m_databaseName;
    QString m_reportCode;
    QString m_fileNameStem;
    ReportRun *m_run = nullptr;
    qint64 m_rowsRead = -1;
};
