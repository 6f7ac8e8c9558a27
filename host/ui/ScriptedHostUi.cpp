#include "ScriptedHostUi.h"

#include "report/ReportFileWriter.h"

#include <QDir>
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

QString ScriptedHostUi::askSaveFileName(const QString &, const QString &, const QString &)
{
    return saveFileAnswers.isEmpty() ? QString() : saveFileAnswers.dequeue();
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
