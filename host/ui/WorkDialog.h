// How QtHostUi waits for long work: a nested event loop keeps every window
// alive (menus, other screens, repaints) while a timer looks at the work;
// after half a second a progress dialog (not modal) shows what it does, with
// Cancel (and Esc); the busy cursor shows from the start. After Cancel the
// wait goes on until the work has stopped, at most a few seconds.
#pragma once

#include <QString>

class Work;

class WorkDialog {
public:
    // Shown after this many milliseconds.
    static constexpr int ShowAfterMs = 500;

    // False when the user cancelled.
    static bool wait(const QString &title, Work &work);
};
