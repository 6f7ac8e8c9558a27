// Every window of the program inside its screen. Installed once on the
// application, it places each window as it is shown (the main window, the
// preview, the help, a look-up, the program's dialogs and Qt's own) so that
// the window, frame included, lies inside the available area of its screen
// at any screen size and scale: too large, it is shrunk (never below its
// least size); out of the area, it is moved in. A window that can be
// resized comes back at the size and place the person left it on that
// screen: kept, per window (its object name, else its class) and per screen
// (its name and size in the program's units, so another scale is another
// screen), under "janelas" in a QSettings file of the caller's choosing.
// Windows of a fixed size (message boxes) are only moved. Nothing throws.
#pragma once

#include <QMargins>
#include <QRect>
#include <QString>

class QScreen;
class QWidget;

namespace WindowPlacement {

// Watches the application's windows from now on; settingsFile is an INI file.
void install(const QString &settingsFile);

// Remembers where window is now (as when it is hidden): for a window that
// stays shown to the end, such as the main window when the program quits.
void remember(QWidget *window);

// The frame (top-left and size, frame included) moved and shrunk to lie
// inside area; a frame larger than area keeps its least size (minimum)
// and its top-left corner inside area.
QRect fitted(const QRect &frame, const QRect &area, const QSize &minimum = QSize());

// The key under which window's place on screen is kept ("janelas/NAME/SCREEN").
QString keyOf(const QWidget *window, const QScreen *screen);

} // namespace WindowPlacement
