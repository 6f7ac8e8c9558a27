// Keys and clicks as a person's arrive, for scripted sessions, without the
// test library. A key press goes to the focus widget through
// QApplication's delivery: for a key press that the window system did not
// send, QApplication first sends it as a ShortcutOverride to the widget
// and, unless the widget claims the key, offers it to the shortcuts
// (QShortcut, QAction) in reach; only then is it delivered as a key press.
// A click first gives the focus as a real click would (the first widget
// under the pointer that takes focus by click), then presses and releases.
#pragma once

#include <QPoint>
#include <QString>

class QWidget;

struct KeyStroke;

namespace UserInput {
// Presses and releases the modifiers of the stroke around its key, as a
// keyboard does. The release goes to whatever holds the focus after the
// press (a key may move it, or close the widget).
void keyClick(QWidget *target, const KeyStroke &stroke);
// A left-button click at pos (in w's coordinates).
void click(QWidget *w, QPoint pos);
// Processes events until w is the active window or ms have passed.
bool waitForActive(QWidget *w, int ms);
}
