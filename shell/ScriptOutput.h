// What a scripted session prints: one JSON object a line for each message,
// search list, question and cancelled run the scripted dialogs record, and
// for each parameter set a screen hands to its report runner (README,
// "Scripted sessions"). A search list that could not be read is no search
// event but an error of the line that opened it (takeErrors). Stops
// printing when it goes.
#pragma once

#include <QJsonObject>
#include <QPointer>
#include <QStringList>
#include <utility>

class QTextStream;
class ScriptedHostUi;
class TForm;

class ScriptOutput {
public:
    ScriptOutput(ScriptedHostUi &ui, QTextStream &out);
    ~ScriptOutput();
    ScriptOutput(const ScriptOutput &) = delete;
    ScriptOutput &operator=(const ScriptOutput &) = delete;

    void print(const QJsonObject &o);
    // Prints the parameters form's report runner receives, once its own
    // handler has filled them; a form already watched is left as it is.
    void watchReportParams(TForm *form);
    // The errors met since the last call (a list that could not be read,
    // in the list's own words), for the line's error events.
    QStringList takeErrors() { return std::exchange(m_errors, {}); }

private:
    ScriptedHostUi &m_ui;
    QTextStream &m_out;
    QPointer<QObject> m_watched;
    QStringList m_errors;
};
