// The user's own choices of how the shell behaves, kept in the user's
// configuration folder (preferencias.ini beside the configuration file).
#pragma once

#include <QByteArray>

namespace UserPreferences {

// Enter moves to the next field as Tab does; on unless the user turned it off.
bool enterMovesFocus();
void setEnterMovesFocus(bool on);

// The main window's place and size when the user last closed it (as
// QWidget::saveGeometry gives it); empty the first time.
QByteArray mainWindowGeometry();
void setMainWindowGeometry(const QByteArray &geometry);

} // namespace UserPreferences
