// Runs a scripted session on the real screen, as a user would act, and
// prints one JSON object a line. The language (one action a line; blank
// lines and lines starting with # are skipped; a line over 64 KB is refused
// with an error) is in the README:
//   open MODULE | focus CONTROL | type TEXT | key KEY | click CONTROL |
//   select CONTROL INDEX | answer [CODE ...] | filter TEXT | cancel-after MS |
//   printer pages FROM TO | printer orientation landscape|portrait |
//   printer copies N | printer paper A4|Letter|Legal | command NAME |
//   get CONTROL | close | save params NAME personal|shared [PERIOD [SCHEDULE]] |
//   openparams NAME
// The actions that act as the user's keyboard and mouse (focus, type, key,
// click, select) are in ScriptSessionInput.cpp; what is printed, in
// ScriptOutput.
#pragma once

#include "ScriptOutput.h"

#include <QPointer>
#include <QStringList>

class MainWindow;
class ModuleLoader;
class QIODevice;
class QTextStream;
class QWidget;
class ScriptedHostUi;
class TForm;

class ScriptSession {
public:
    ScriptSession(MainWindow &window, ModuleLoader &loader, ScriptedHostUi &ui, QTextStream &out);
    // Runs every line; the number of lines that could not be carried out.
    int run(QIODevice &input);
    // Prints a warning event ({"event": "warning", "text": ...}): something
    // the session goes on with, but that whoever reads its output must know.
    void warn(const QString &text);

private:
    void runLine(const QString &line);
    void execute(const QStringList &words);
    void open(const QString &module);
    void focus(const QString &name);
    void type(const QString &text);
    void key(const QString &name);
    void click(const QString &name);
    void select(const QString &name, const QString &index);
    void command(const QString &name);
    // "save params NAME personal|shared [PERIOD [SCHEDULE]]", "openparams NAME":
    // the set commands run with their prompts answered.
    void parameterSet(const QStringList &words);
    void cancelAfter(const QString &ms);
    // A print dialog's choice for the next print (ScriptSessionPrinter.cpp).
    void printer(const QStringList &args);
    void get(const QString &name);
    void close();

    QWidget *keyTarget() const;
    TForm *screen();
    QObject *control(const QString &name);
    // A module's variable of that name (ModuleDescription); false when none has it.
    bool getModuleVariable(const QString &name);
    void settle();
    QString focusedControl() const;

    MainWindow &m_window;
    ModuleLoader &m_loader;
    ScriptedHostUi &m_ui;
    ScriptOutput m_output;
    QPointer<TForm> m_screen;
};
