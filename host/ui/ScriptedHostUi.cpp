#include "ScriptedHostUi.h"

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

bool ScriptedHostUi::askText(const QString &, const QString &, QString &value)
{
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
