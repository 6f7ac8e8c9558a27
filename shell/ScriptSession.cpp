#include "ScriptSession.h"
#include "MainWindow.h"
#include "ModuleLoader.h"
#include "ScriptKeys.h"
#include "ScriptLineReader.h"
#include "ScriptTokens.h"
#include "UserInput.h"

#include "core/Dispatch.h"
#include "data/TParam.h"
#include "report/commands/TfrmDadosGerRel.h"
#include "report/commands/TReportDesignerDialog.h"
#include "ui/ScriptedHostUi.h"
#include "widgets/TCheckBox.h"
#include "widgets/TComboBox.h"
#include "widgets/TDateEditPlus.h"
#include "widgets/TEdit.h"
#include "widgets/TForm.h"
#include "widgets/TRadioButton.h"
#include "widgets/TRadioGroup.h"
#include "widgets/TSpinEdit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTextStream>

namespace {
struct ScriptError {
    QString text;
};

[[noreturn]] void fail(const QString &text) { throw ScriptError{text}; }

QJsonValue jsonOf(const QVariant &v)
{
    if (v.isNull() || !v.isValid())
        return QJsonValue::Null;
    switch (v.typeId()) {
    case QMetaType::QDateTime: {
        const QDateTime dt = v.toDateTime();
        return dt.time() == QTime(0, 0) ? dt.toString(QStringLiteral("yyyy-MM-dd"))
                                        : dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    case QMetaType::QDate: return v.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::Int:
    case QMetaType::LongLong: return v.toLongLong();
    case QMetaType::Double: return v.toDouble();
    case QMetaType::Bool: return v.toBool();
    default: return v.toString();
    }
}
}

ScriptSession::ScriptSession(MainWindow &window, ModuleLoader &loader, ScriptedHostUi &ui, QTextStream &out)
    : m_window(window), m_loader(loader), m_ui(ui), m_out(out)
{
    m_ui.onMessage = [this](const ScriptedHostUi::Message &m) {
        print(QJsonObject{{"event", "message"}, {"text", m.text}, {"abort", m.abort}});
    };
    m_ui.search.onSearch = [this](const SearchScript::Shown &s) {
        QJsonObject o{{"event", "search"}, {"title", s.title}, {"rows", s.rows}};
        if (!s.filter.isNull()) {
            QJsonArray matches;
            for (const QStringList &row : s.matches)
                matches.append(QJsonArray::fromStringList(row));
            o.insert("filter", s.filter);
            o.insert("total", s.total);
            o.insert("matches", matches);
        }
        print(o);
    };
    m_ui.onQuestion = [this](const ScriptedHostUi::Question &q) {
        print(QJsonObject{{"event", "question"}, {"text", q.text}, {"answer", q.answer ? "yes" : "no"}});
    };
    m_ui.onCancelled = [this](const ScriptedHostUi::WaitSeen &w) {
        print(QJsonObject{{"event", "cancelled"}, {"title", w.title}});
    };
}

ScriptSession::~ScriptSession()
{
    m_ui.onMessage = nullptr;
    m_ui.search.onSearch = nullptr;
    m_ui.onQuestion = nullptr;
    m_ui.onCancelled = nullptr;
}

void ScriptSession::print(const QJsonObject &o)
{
    m_out << QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact)) << '\n';
    m_out.flush();
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
            print(QJsonObject{{"event", "error"}, {"line", line.number}, {"text", e.text}});
        }
    }
    return failures;
}

void ScriptSession::runLine(const QString &line)
{
    QStringList words;
    QString why;
    if (!ScriptTokens::split(line, words, &why))
        fail(why);
    execute(words);
    settle();
    print(QJsonObject{{"event", "focus"}, {"control", focusedControl()}});
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
        bool ok = false;
        m_ui.cancelAfterMs = w[1].toInt(&ok);
        if (!ok || m_ui.cancelAfterMs < 0) {
            m_ui.cancelAfterMs = -1;
            fail(QStringLiteral("'%1' is not a number of milliseconds").arg(w[1]));
        }
    } else if (action == QLatin1String("command")) {
        need(1);
        command(w[1].toLower());
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

TForm *ScriptSession::screen()
{
    if (!m_screen || m_screen->isClosed()) {
        m_screen = nullptr;
        if (QMdiSubWindow *sub = m_window.mdiArea()->activeSubWindow())
            m_screen = qobject_cast<TForm *>(sub->widget());
    }
    if (!m_screen)
        fail(QStringLiteral("no screen is open"));
    watchReportParams(m_screen);
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

void ScriptSession::watchReportParams(TForm *form)
{
    auto *runner = form->component<TReportDesignerDialog>(QStringLiteral("rpddPadrao"));
    if (!runner || runner == m_watched)
        return;
    m_watched = runner;
    // Connected after the screen's own handler, so it sees the values it set.
    QObject::connect(runner, &TReportDesignerDialog::BeforeGetQueryParams, runner,
                     [this, form = QPointer<TForm>(form)](TParams *params, bool *) {
        QJsonArray list;
        for (int i = 0; i < params->Count(); ++i) {
            const TParam &p = params->at(i);
            list.append(QJsonObject{{"name", p.Name()},
                                    {"type", TParam::typeName(p.dataType())},
                                    {"value", jsonOf(p.Value())}});
        }
        QString report;
        if (form)
            if (auto *names = form->component<TComboBox>(QStringLiteral("cbbReportNames")))
                report = names->currentText();
        print(QJsonObject{{"event", "params"}, {"report", report}, {"params", list}});
    });
}

void ScriptSession::open(const QString &module)
{
    m_module = module;
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
        watchReportParams(m_screen);
}

void ScriptSession::focus(const QString &name)
{
    auto *w = qobject_cast<QWidget *>(control(name));
    if (!w)
        fail(QStringLiteral("'%1' is not a control").arg(name));
    if (!w->isEnabled() || !w->isVisible())
        fail(QStringLiteral("'%1' cannot take the focus").arg(name));
    QWidget *target = w->focusProxy() ? w->focusProxy() : w;
    UserInput::click(target, QPoint(2, target->height() / 2));
    if (QApplication::focusWidget() != target)
        target->setFocus(Qt::MouseFocusReason);
}

QWidget *ScriptSession::keyTarget() const
{
    // Keys go where a keyboard's go: the focus widget, else the active window.
    if (QWidget *w = QApplication::focusWidget())
        return w;
    if (QWidget *w = QApplication::activeWindow())
        return w;
    return &m_window;
}

void ScriptSession::type(const QString &text)
{
    if (!QApplication::focusWidget())
        fail(QStringLiteral("nothing holds the focus"));
    // Every character is checked before the first is typed.
    QList<KeyStroke> strokes;
    for (const char32_t c : text.toUcs4()) {
        KeyStroke stroke;
        QString why;
        if (!ScriptKeys::forCharacter(c, stroke, &why))
            fail(why);
        strokes << stroke;
    }
    for (const KeyStroke &stroke : strokes)
        UserInput::keyClick(keyTarget(), stroke);
}

void ScriptSession::key(const QString &name)
{
    KeyStroke stroke;
    QString why;
    if (!ScriptKeys::parse(name, stroke, &why))
        fail(why);
    UserInput::keyClick(keyTarget(), stroke);
}

void ScriptSession::click(const QString &name)
{
    auto *w = qobject_cast<QWidget *>(control(name));
    if (!w)
        fail(QStringLiteral("'%1' is not a control").arg(name));
    if (!w->isVisible())
        fail(QStringLiteral("'%1' is not visible").arg(name));
    UserInput::click(w, QPoint(w->width() / 2, w->height() / 2));
}

void ScriptSession::select(const QString &name, const QString &indexText)
{
    bool ok = false;
    const int index = indexText.toInt(&ok);
    if (!ok)
        fail(QStringLiteral("'%1' is not an index").arg(indexText));
    QObject *o = control(name);
    if (auto *cbb = qobject_cast<TComboBox *>(o)) {
        if (index < 0 || index >= cbb->count())
            fail(QStringLiteral("'%1' has no item %2").arg(name).arg(index));
        if (!cbb->isEnabled())
            fail(QStringLiteral("'%1' is disabled").arg(name));
        cbb->setFocus(Qt::MouseFocusReason);
        cbb->setCurrentIndex(index);
        emit cbb->activated(index); // as the user's choice in the list
        return;
    }
    if (auto *rdg = qobject_cast<TRadioGroup *>(o)) {
        if (!rdg->button(index))
            fail(QStringLiteral("'%1' has no item %2").arg(name).arg(index));
        UserInput::click(rdg->button(index), QPoint(4, rdg->button(index)->height() / 2));
        return;
    }
    fail(QStringLiteral("'%1' is neither a combo box nor a radio group").arg(name));
}

void ScriptSession::command(const QString &name)
{
    static const QHash<QString, TfrmDadosGerRel::Command> commands = {
        {QStringLiteral("print"), TfrmDadosGerRel::Command::Print},
        {QStringLiteral("preview"), TfrmDadosGerRel::Command::Preview},
        {QStringLiteral("saveas"), TfrmDadosGerRel::Command::SaveAs},
        {QStringLiteral("editreport"), TfrmDadosGerRel::Command::EditReport},
        {QStringLiteral("standard"), TfrmDadosGerRel::Command::StandardReport},
        {QStringLiteral("exportcsv"), TfrmDadosGerRel::Command::ExportCsv},
        {QStringLiteral("exportxlsx"), TfrmDadosGerRel::Command::ExportXlsx},
    };
    if (name == QLatin1String("recall")) {
        TForm *form = screen();
        if (form->metaObject()->indexOfMethod("RepeatLastParameters()") < 0)
            fail(QStringLiteral("the screen cannot repeat its last parameters"));
        Dispatch::guard([&] { QMetaObject::invokeMethod(form, "RepeatLastParameters", Qt::DirectConnection); });
        return;
    }
    if (!commands.contains(name))
        fail(QStringLiteral("unknown command '%1'").arg(name));
    auto *form = qobject_cast<TfrmDadosGerRel *>(screen());
    if (!form)
        fail(QStringLiteral("the screen has no report commands"));
    form->runCommand(commands.value(name));
}

void ScriptSession::get(const QString &name)
{
    QJsonValue value;
    // The module's list strings are read as values too.
    using Variable = const QString *(*)(const char *);
    if (auto variable = reinterpret_cast<Variable>(m_loader.resolve(m_module, "ModuleVariable")))
        if (const QString *v = variable(name.toLatin1().constData())) {
            print(QJsonObject{{"event", "value"}, {"control", name}, {"value", *v}});
            return;
        }
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
    else if (auto *label = qobject_cast<QLabel *>(o))
        value = label->text();
    else if (auto *window = qobject_cast<QWidget *>(o); window && window->isWindow())
        value = window->isVisible() ? window->windowTitle() : QString();
    else
        fail(QStringLiteral("'%1' has no value to read").arg(name));
    print(QJsonObject{{"event", "value"}, {"control", name}, {"value", value}});
}

void ScriptSession::close()
{
    TForm *form = screen();
    Dispatch::guard([&] { form->Close(); });
}
