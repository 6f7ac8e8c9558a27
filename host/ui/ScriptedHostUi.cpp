#include "ScriptedHostUi.h"

#include "report/ReportFileWriter.h"

#include "toolkit/Dispatch.h"

#include <QDir>
#include <QFileInfo>
#include "report/ReportDefinition.h"

#include <QPrinter>
#include <QTemporaryDir>

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

bool ScriptedHostUi::askPrinter(QPrinter &printer)
{
    QString answer = printerAnswers.isEmpty() ? QString() : printerAnswers.dequeue();
    if (answer.isNull() && !outputDir.isEmpty())
        answer = QDir(outputDir).filePath(QStringLiteral("print-%1.pdf").arg(++outputCount));
    if (answer.isNull())
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(answer);
    return true;
}

void ScriptedHostUi::previewReport(const QString &title, QPrinter &printer,
                                   const std::function<int(QPrinter *)> &paint)
{
    QTemporaryDir dir;
    const QString file = outputDir.isEmpty() ? dir.filePath(QStringLiteral("preview.pdf"))
                                             : QDir(outputDir).filePath(QStringLiteral("preview-%1.pdf").arg(++outputCount));
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);
    previews.append({title, paint(&printer)});
}

void ScriptedHostUi::previewReportWithActions(const QString &title, QPrinter &printer,
                                              const std::function<int(QPrinter *)> &paint,
                                              const QList<PreviewAction> &actions)
{
    previewReport(title, printer, paint);
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

void ScriptedHostUi::reportRows(const ReportDefinition &def, const ReportData &data)
{
    if (outputDir.isEmpty())
        return;
    ReportFileWriter::writeCsv(def, data, QDir(outputDir).filePath(QStringLiteral("report-%1.csv").arg(++rowsCount)));
}
