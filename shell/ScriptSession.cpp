#include "ScriptSession.h"
#include "MainWindow.h"
#include "ModuleLoader.h"
#include "ScriptTokens.h"

#include "data/TParam.h"
#include "report/TReportDesignerDialog.h"
#include "report/TfrmDadosGerRel.h"
#include "services/TDateEditPlus.h"
#include "toolkit/Dispatch.h"
#include "toolkit/TCheckBox.h"
#include "toolkit/TComboBox.h"
#include "toolkit/TEdit.h"
#include "toolkit/TForm.h"
#include "toolkit/TRadioButton.h"
#include "toolkit/TRadioGroup.h"
#include "toolkit/TSpinEdit.h"
#include "ui/ScriptedHostUi.h"

#include <QAbstractButton>
#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
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

const QHash<QString, int> &keyNames()
{
    static const QHash<QString, int> k = {
        {QStringLiteral("tab"), Qt::Key_Tab}, {QStringLiteral("backtab"), Qt::Key_Backtab},
        {QStringLiteral("enter"), Qt::Key_Return}, {QStringLiteral("escape"), Qt::Key_Escape},
        {QStringLiteral("f9"), Qt::Key_F9}, {QStringLiteral("up"), Qt::Key_Up},
        {QStringLiteral("down"), Qt::Key_Down}, {QStringLiteral("space"), Qt::Key_Space},
        {QStringLiteral("left"), Qt::Key_Left}, {QStringLiteral("right"), Qt::Key_Right},
        {QStringLiteral("home"), Qt::Key_Home}, {QStringLiteral("end"), Qt::Key_End},
        {QStringLiteral("backspace"), Qt::Key_Backspace}, {QStringLiteral("delete"), Qt::Key_Delete},
        {QStringLiteral("pageup"), Qt::Key_PageUp}, {QStringLiteral("pagedown"), Qt::Key_PageDown},
    };
    return k;
}
}

ScriptSession::ScriptSession(MainWindow &window, ModuleLoader &loader, ScriptedHostUi &ui, QTextStream &out)
    : m_window(window), m_loader(loader), m_ui(ui), m_out(out)
{
    m_ui.onMessage = [this](const ScriptedHostUi::Message &m) {
        print(QJsonObject{{"event", "message"}, {"text", m.text}, {"abort", m.abort}});
    };
    m_ui.search.onSearch = [this](const SearchScript::Shown &s) {
        print(QJsonObject{{"event", "search"}, {"title", s.title}, {"rows", s.rows}});
    };
    m_ui.onCancelled = [this](const ScriptedHostUi::Work &w) {
        print(QJsonObject{{"event", "cancelled"}, {"title", w.title}});
    };
}

ScriptSession::~ScriptSession()
{
    m_ui.onMessage = nullptr;
    m_ui.search.onSearch = nullptr;
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
    int lineNo = 0;
    while (!input.atEnd()) {
        const QString line = QString::fromUtf8(input.readLine()).trimmed();
        ++lineNo;
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        QStringList words;
        QString why;
        try {
            if (!ScriptTokens::split(line, words, &why))
                fail(why);
            execute(words);
            settle();
            print(QJsonObject{{"event", "focus"}, {"control", focusedControl()}});
        } catch (const ScriptError &e) {
            ++failures;
            print(QJsonObject{{"event", "error"}, {"line", lineNo}, {"text", e.text}});
        }
    }
    return failures;
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
    QObject *o = screen()->component(name);
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
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, QPoint(2, target->height() / 2));
    if (QApplication::focusWidget() != target)
        target->setFocus(Qt::MouseFocusReason);
}

void ScriptSession::type(const QString &text)
{
    QWidget *w = QApplication::focusWidget();
    if (!w)
        fail(QStringLiteral("nothing holds the focus"));
    QTest::keyClicks(w, text);
}

void ScriptSession::key(const QString &name)
{
    QWidget *w = QApplication::focusWidget();
    if (!w)
        w = screen();
    if (name.compare(QLatin1String("SelectAll"), Qt::CaseInsensitive) == 0) {
        QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
        return;
    }
    const int k = keyNames().value(name.toLower(), -1);
    if (k < 0)
        fail(QStringLiteral("unknown key '%1'").arg(name));
    QTest::keyClick(w, Qt::Key(k));
}

void ScriptSession::click(const QString &name)
{
    auto *w = qobject_cast<QWidget *>(control(name));
    if (!w)
        fail(QStringLiteral("'%1' is not a control").arg(name));
    if (!w->isVisible())
        fail(QStringLiteral("'%1' is not visible").arg(name));
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(w->width() / 2, w->height() / 2));
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
        QTest::mouseClick(rdg->button(index), Qt::LeftButton, Qt::NoModifier, QPoint(4, rdg->button(index)->height() / 2));
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
    };
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
    else
        fail(QStringLiteral("'%1' has no value to read").arg(name));
    print(QJsonObject{{"event", "value"}, {"control", name}, {"value", value}});
}

void ScriptSession::close()
{
    TForm *form = screen();
    Dispatch::guard([&] { form->Close(); });
}
