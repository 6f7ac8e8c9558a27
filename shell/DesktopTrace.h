// For tests that drive the shell from outside, on a real X server: with
// MERENDA_DESKTOP_TRACE=1 in the environment, the shell writes to standard
// error, one line each,
//   trace focus NAME      the control that got the focus (its object name,
//                         or its nearest named parent's)
//   trace window TITLE    a window shown (a dialog, the preview, help)
//   trace key NAME        a key that reached a window of the shell (Qt's
//                         name of the key alone: "Shift", "E"; a menu's key
//                         goes to its menu instead); keys arrive in order,
//                         so a test presses Shift, which does nothing, and
//                         once it is traced knows that whatever the keys
//                         before it did has been traced too
//   trace menu NAME       a menu opened (its object name, or its owner's)
//   trace command NAME    a menu action ran to its end (its object name)
//   trace closed TITLE    a screen closed
//   trace status NAME TEXT  what a status bar field shows now (elided as
//                         painted), each time that changes
// Without the variable nothing is installed and nothing is written.
#pragma once

class QMainWindow;

namespace DesktopTrace {
// Installs the trace for window and its menus when the variable asks for it.
void installIfAsked(QMainWindow *window);
}
