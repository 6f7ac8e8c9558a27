// Keyboard conveniences added around the screens' own keys:
//  - Enter moves to the next field as Tab does, Shift+Enter to the previous
//    one, in the edits, combo boxes, spin boxes, check boxes and radio
//    buttons of a form (never in a list, a dialog or a multi-line text);
//    on by default, turned off with setEnterMovesFocus(false).
//  - A look-up key: F9 or Alt+Down in an edit clicks the search button that
//    goes with it, as a mouse click on that button would.
#pragma once

class QAbstractButton;
class QWidget;

namespace KeyboardHelpers {

// Installs the application-wide Enter handling once (needs a QApplication).
void installEnterMovesFocus();
void setEnterMovesFocus(bool on);
bool enterMovesFocus();

// F9 and Alt+Down in edit click button (which may take no focus).
void bindLookupKeys(QWidget *edit, QAbstractButton *button);

} // namespace KeyboardHelpers
