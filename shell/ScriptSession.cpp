#include "ScriptSession.h"
#include "MainWindow.h"
#include "ModuleLoader.h"
#include "ScriptError.h"
#include "ScriptLineReader.h"
#include "ScriptTokens.h"
#include "StatusNotice.h"

#include "core/Dispatch.h"
#include "report/commands/ReportCommandTable.h"
#include "report/commands/TfrmDadosGerRel.h"
#include "ui/ScriptedHostUi.h"
#include "widgets/TComboBox.h"
#include "widgets/TDateEditPlus.h"
#include "widgets/TEdit.h"
#include "widgets/TForm.h"
#include "widgets/TRadioGroup.h"
#include "widgets/TSpinEdit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMetaProperty>

ScriptSession::ScriptSession(MainWindow &window, ModuleLoader &loader, ScriptedHostUi &ui, QTextStream &out)
    : m_window(window), m_loader(loader), m_ui(ui), m_output(ui, out)
{
}

int ScriptSession::run(QIODevice &input)
{
    int failures = 0;
    ScriptLineReader reader(input);
    ScriptLineReader::Line line;
    while (reader.next(line)) {
        const QString text = line.text.trimmed();
        if (!line.tooLong && (text.isEmpty() || text.startsWith(QLatin1Char('#'))))
            continue;
        try {
            if (line.tooLong)
                fail(QStringLiteral("line too long: %1 bytes, at most %2; it starts with \"%3\"")
                         .arg(line.bytes).arg(ScriptLineReader::MaxLineBytes).arg(line.start));
            runLine(text);
        } catch (const ScriptError &e) {
            ++failures;
            m_output.print(QJsonObject{{"event", "error"}, {"line", line.number}, {"text", e.text}});
        }
        for (const QString &error : m_output.takeErrors()) {
            ++failures;
            m_output.print(QJsonObject{{"event", "error"}, {"line", line.number}, {"text", error}});
        }
    }
    return failures;
}

void ScriptSession::warn(const QString &text) { m_output.print(QJsonObject{{"event", "warning"}, {"text", text}}); }

void ScriptSession::runLine(const QString &line)
{
    QStringList words;
    QString why;
    if (!ScriptTokens::split(line, words, &why))
        fail(why);
    execute(words);
    settle();
    m_output.print(QJsonObject{{"event", "focus"}, {"control", focusedControl()}});
}

void ScriptSession::settle()
{
    // Let deferred work (activation, deletions, repaints) happen as it would
    // between a user's actions.
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void ScriptSession::execute(const QStringList &w)
{
    const QString action = w.value(0).toLower();
    auto need = [&](int n) {
        if (w.size() != n + 1)
            fail(QStringLiteral("'%1' takes %2 argument(s)").arg(action).arg(n));
    };
    if (action == QLatin1String("open")) {
        need(1);
        open(w[1]);
    } else if (action == QLatin1String("focus")) {
        need(1);
        focus(w[1]);
    } else if (action == QLatin1String("type")) {
        need(1);
        type(w[1]);
    } else if (action == QLatin1String("key")) {
        need(1);
        key(w[1]);
    } else if (action == QLatin1String("click")) {
        need(1);
        click(w[1]);
    } else if (action == QLatin1String("select")) {
        need(2);
        select(w[1], w[2]);
    } else if (action == QLatin1String("answer")) {
        m_ui.search.answers.enqueue(w.size() == 1 ? SearchScript::Answer::cancelled()
                                                  : SearchScript::Answer::choose(w.mid(1)));
    } else if (action == QLatin1String("confirm")) {
        need(1);
        if (w[1].toLower() != QLatin1String("yes") && w[1].toLower() != QLatin1String("no"))
            fail(QStringLiteral("'confirm' takes yes or no"));
        m_ui.yesNoAnswers.enqueue(w[1].toLower() == QLatin1String("yes"));
    } else if (action == QLatin1String("text")) {
        need(1);
        m_ui.textAnswers.enqueue(w[1]);
    } else if (action == QLatin1String("filter")) {
        need(1);
        m_ui.search.filter = w[1];
    } else if (action == QLatin1String("cancel-after")) {
        need(1);
        cancelAfter(w[1]);
    } else if (action == QLatin1String("printer")) {
        printer(w.mid(1));
    } else if (action == QLatin1String("command")) {
        need(1);
        command(w[1].toLower());
    } else if (action == QLatin1String("save") || action == QLatin1String("openparams")) {
        parameterSet(w);
    } else if (action == QLatin1String("get")) {
        need(1);
        get(w[1]);
    } else if (action == QLatin1String("close")) {
        need(0);
        close();
    } else {
        fail(QStringLiteral("unknown action '%1'").arg(w.value(0)));
    }
}

void ScriptSession::cancelAfter(const QString &ms)
{
    bool ok = false;
    m_ui.cancelAfterMs = ms.toInt(&ok);
    if (!ok || m_ui.cancelAfterMs < 0) {
        m_ui.cancelAfterMs = -1;
        fail(QStringLiteral("'%1' is not a number of milliseconds").arg(ms));
    }
}

TForm *ScriptSession::screen()
{
    if (!m_screen || m_screen->isClosed()) {
        m_screen = nullptr;
        if (QMdiSubWindow *sub = m_window.mdiArea()->activeSubWindow())
            m_screen = qobject_cast<TForm *>(sub->widget());
    }
    if (!m_screen)
        fail(QStringLiteral("no screen is open"));
    m_output.watchReportParams(m_screen);
    return m_screen;
}

QObject *ScriptSession::control(const QString &name)
{
    // The screen's controls first; then the shell's own windows (the status
    // bar's labels, the help window), which live beside the screens.
    TForm *form = m_screen && !m_screen->isClosed() ? m_screen.data() : m_window.activeScreen();
    QObject *o = form ? form->component(name) : nullptr;
    if (!o)
        o = m_window.findChild<QObject *>(name);
    if (!o && !form)
        fail(QStringLiteral("no screen is open"));
    if (!o)
        fail(QStringLiteral("no control named '%1'").arg(name));
    return o;
}

QString ScriptSession::focusedControl() const
{
    for (QWidget *w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        const QString n = w->objectName();
        if (!n.isEmpty() && !n.startsWith(QLatin1String("qt_")) && !n.startsWith(QLatin1String("__")))
            return n;
    }
    return QString();
}

void ScriptSession::open(const QString &module)
{
    bool ok = false;
    Dispatch::guard([&] {
        m_loader.open(module);
        ok = true;
    });
    if (!ok)
        return; // the failure was shown as a message
    settle();
    if (QMdiSubWindow *sub = m_window.mdiArea()->activeSubWindow())
        m_screen = qobject_cast<TForm *>(sub->widget());
    if (m_screen)
        m_output.watchReportParams(m_screen);
}

void ScriptSession::command(const QString &name)
{
    const ReportCommand *command = ReportCommandTable::byScriptName(name);
    if (!command)
        fail(QStringLiteral("unknown command '%1'").arg(name));
    auto *form = qobject_cast<TfrmDadosGerRel *>(screen());
    if (!form)
        fail(QStringLiteral("the screen has no report commands"));
    if (command->id == ReportCommand::Id::RecentRuns)
        fail(QStringLiteral("'recent' is the shell's window of past runs, not a command of the screen"));
    if (command->id == ReportCommand::Id::RepeatLastParameters && !form->offers(command->id))
        fail(QStringLiteral("the screen cannot repeat its last parameters"));
    form->run(command->id);
}

void ScriptSession::parameterSet(const QStringList &w)
{
    // The answers a person gives to the command's prompts: the name; to
    // save, whether to share, the period (empty: the rule the screen proposes) and
    // the schedule (empty: none).
    if (w[0].toLower() == QLatin1String("openparams")) {
        if (w.size() != 2)
            fail(QStringLiteral("'openparams' takes 1 argument(s)"));
        m_ui.textAnswers.enqueue(w[1]);
        command(QStringLiteral("openparams"));
        return;
    }
    const QStringList args = w.mid(2);
    const QString scope = args.value(1).toLower();
    if (w.value(1).toLower() != QLatin1String("params") || args.size() < 2 || args.size() > 4 || (scope != QLatin1String("personal") && scope != QLatin1String("shared")))
        fail(QStringLiteral("'save params' takes NAME personal|shared [PERIOD [SCHEDULE]]"));
    m_ui.textAnswers.enqueue(args[0]);
    m_ui.yesNoAnswers.enqueue(scope == QLatin1String("shared"));
    m_ui.textAnswers.enqueue(args.value(2, QStringLiteral("")));
    m_ui.textAnswers.enqueue(args.value(3, QStringLiteral("")));
    command(QStringLiteral("saveparams"));
}

bool ScriptSession::getModuleVariable(const QString &name)
{
    const QByteArray property = name.toLatin1();
    for (const QObject *variables : m_loader.variables()) {
        const int index = variables->metaObject()->indexOfProperty(property.constData());
        if (index < 0)
            continue;
        const QString value = variables->metaObject()->property(index).read(variables).toString();
        m_output.print(QJsonObject{{"event", "value"}, {"control", name}, {"value", value}});
        return true;
    }
    return false;
}

void ScriptSession::get(const QString &name)
{
    // The modules' variables are read as values too.
    if (getModuleVariable(name))
        return;
    QJsonValue value;
    QObject *o = control(name);
    if (auto *date = qobject_cast<TDateEditPlus *>(o))
        value = date->Text();
    else if (auto *edt = qobject_cast<TEdit *>(o))
        value = edt->Text();
    else if (auto *cbb = qobject_cast<TComboBox *>(o))
        value = cbb->Text();
    else if (auto *sed = qobject_cast<TSpinEdit *>(o))
        value = sed->Value();
    else if (auto *rdg = qobject_cast<TRadioGroup *>(o))
        value = rdg->ItemIndex();
    else if (auto *button = qobject_cast<QAbstractButton *>(o))
        value = button->isCheckable() ? button->isChecked() : button->isEnabled();
    else if (auto *notice = qobject_cast<StatusNotice *>(o))
        value = notice->notice(); // whole, however narrow the window
    else if (auto *label = qobject_cast<QLabel *>(o))
        value = label->text();
    else if (auto *window = qobject_cast<QWidget *>(o); window && window->isWindow())
        value = window->isVisible() ? window->windowTitle() : QString();
    else
        fail(QStringLiteral("'%1' has no value to read").arg(name));
    m_output.print(QJsonObject{{"event", "value"}, {"control", name}, {"value", value}});
}

void ScriptSession::close()
{
    TForm *form = screen();
    Dispatch::guard([&] { form->Close(); });
}
