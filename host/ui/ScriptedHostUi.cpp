#include "ScriptedHostUi.h"

#include "core/Dispatch.h"
#include "core/Errors.h"
#include "core/Work.h"
#include "report/layout/PagedDocument.h"
#include "report/model/ReportDefinition.h"
#include "report/output/RunFileWriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QThread>

namespace {
void record(ScriptedHostUi &ui, ScriptedHostUi::Message m)
{
    ui.messages.append(m);
    if (ui.onMessage)
        ui.onMessage(m);
}
}

void ScriptedHostUi::showError(const QString &text, bool abort)
{
    record(*this, {Message::Error, text, abort});
}

void ScriptedHostUi::showException(const QString &text)
{
    record(*this, {Message::Exception, text, true});
}

void ScriptedHostUi::showInfo(const QString &text)
{
    record(*this, {Message::Info, text, false});
}

bool ScriptedHostUi::askText(const QString &caption, const QString &prompt, QString &value)
{
    textPrompts.append({caption, prompt, value});
    if (textAnswers.isEmpty())
        return false;
    const QString answer = textAnswers.dequeue();
    if (answer.isNull())
        return false;
    value = answer;
    return true;
}

QString ScriptedHostUi::askSaveFileName(const QString &, const QString &, const QString &initial)
{
    saveFileOffers << initial;
    if (!saveFileAnswers.isEmpty())
        return saveFileAnswers.dequeue();
    const QString suffix = QFileInfo(initial).suffix();
    if (outputDir.isEmpty() || suffix.isEmpty())
        return QString();
    return QDir(outputDir).filePath(QStringLiteral("export-%1.%2").arg(++outputCount).arg(suffix));
}

bool ScriptedHostUi::askYesNo(const QString &caption, const QString &question)
{
    const bool answer = !yesNoAnswers.isEmpty() && yesNoAnswers.dequeue();
    questions.append({caption, question, answer});
    if (onQuestion)
        onQuestion(questions.last());
    return answer;
}

QStringList ScriptedHostUi::messageTexts() const
{
    QStringList out;
    for (const auto &m : messages)
        out << m.text;
    return out;
}

void ScriptedHostUi::clear() { messages.clear(); }

bool ScriptedHostUi::askPrinter(QPrinter &printer, const QString &fileName)
{
    offeredPdfNames << fileName;
    QString answer = printerAnswers.isEmpty() ? QString() : printerAnswers.dequeue();
    if (answer.isNull() && !outputDir.isEmpty())
        answer = QDir(outputDir).filePath(QStringLiteral("print-%1.pdf").arg(++outputCount));
    if (answer.isNull())
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(answer);
    const PrintDialogChoices choices = std::exchange(printChoices, {});
    if (choices.from > 0) {
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(choices.from, choices.to);
    }
    if (choices.copies > 0)
        printer.setCopyCount(choices.copies);
    if (choices.paper)
        printer.setPageSize(*choices.paper);
    if (choices.orientation)
        printer.setPageOrientation(*choices.orientation);
    return true;
}

namespace {
// Every page of doc into a PDF, written safely.
void writePages(PagedDocument &doc, const QString &path)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        throw EHostError(QStringLiteral("Não foi possível gravar \"%1\": %2").arg(path, f.errorString()));
    {
        QPdfWriter pdf(&f);
        pdf.setResolution(1200);
        pdf.setPageLayout(doc.pageLayout());
        pdf.setTitle(doc.title());
        QPainter p(&pdf);
        const double scale = 1200.0 / 25.4 / doc.unitsPerMm();
        for (int i = 0; i < doc.pageCount(); ++i) {
            if (i > 0)
                pdf.newPage();
            p.save();
            p.scale(scale, scale);
            doc.paintPage(p, i);
            p.restore();
        }
    }
    if (!f.commit())
        throw EHostError(QStringLiteral("Não foi possível gravar \"%1\": %2").arg(path, f.errorString()));
}
} // namespace

void ScriptedHostUi::previewDocument(PagedDocument &doc, const QList<PreviewAction> &actions)
{
    if (!outputDir.isEmpty())
        writePages(doc, QDir(outputDir).filePath(QStringLiteral("preview-%1.pdf").arg(++outputCount)));
    previews.append({doc.title(), doc.pageCount()});
    runPreviewActions(actions);
}

void ScriptedHostUi::runPreviewActions(const QList<PreviewAction> &actions)
{
    QStringList offered;
    for (const PreviewAction &a : actions)
        offered << a.name;
    previewActionsOffered.append(offered);
    // As in a real preview, an action's failure is shown and ends only that action.
    Dispatch::ModalScope modal;
    while (!previewActionAnswers.isEmpty()) {
        const QString name = previewActionAnswers.dequeue();
        for (const PreviewAction &a : actions)
            if (a.name == name)
                Dispatch::guard(a.run);
    }
}

bool ScriptedHostUi::waitForWork(const QString &title, Work &work)
{
    const int cancelAfter = cancelAfterMs;
    cancelAfterMs = -1;
    // Events handled meanwhile are outermost events of their own.
    Dispatch::ModalScope modal;
    QElapsedTimer clock;
    clock.start();
    WaitSeen seen{title, QString(), 0, 0, false, false};
    QElapsedTimer sinceCancel;
    // Work done before the wait began (run on this thread) is past cancelling.
    while (!work.finished()) {
        if (cancelAfter >= 0 && !seen.cancelled && clock.elapsed() >= cancelAfter) {
            work.cancel();
            seen.cancelled = true;
        }
        if (seen.cancelled && !sinceCancel.isValid())
            sinceCancel.start();
        if (sinceCancel.isValid() && sinceCancel.elapsed() > StopWaitMs)
            break;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (!work.finished())
            QThread::msleep(2);
    }
    seen.stopped = work.finished();
    seen.status = work.status();
    seen.done = work.done();
    seen.total = work.total();
    works.append(seen);
    if (seen.cancelled && onCancelled)
        onCancelled(seen);
    return !seen.cancelled;
}

bool ScriptedHostUi::editReport(ReportDefinition &def,
                                const std::function<QString(const ReportDefinition &)> &check)
{
    if (reportEdits.isEmpty())
        return false;
    ReportDefinition edited = def;
    if (!reportEdits.dequeue()(edited))
        return false;
    const QString problem = check(edited);
    if (!problem.isEmpty()) {
        record(*this, {Message::Error, problem, false});
        return false;
    }
    def = edited;
    return true;
}

bool ScriptedHostUi::searchList(const SearchRequest &request, SearchSource &source,
                                SearchChoice &choice)
{
    return search.answer(*this, request, source, choice);
}

void ScriptedHostUi::reportRows(const ReportDocument &doc)
{
    if (outputDir.isEmpty())
        return;
    RunFileWriter::writeRowsCsv(doc, QDir(outputDir).filePath(QStringLiteral("report-%1.csv").arg(++rowsCount)));
}
