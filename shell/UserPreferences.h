// The user's own choices of how the shell behaves, kept in the user's
// configuration folder (preferencias.ini beside the configuration file).
// Reading a missing file gives the defaults; writing makes its folder.
#pragma once

#include <QString>

namespace UserPreferences {

// Enter moves to the next field as Tab does; on unless the user turned it off.
bool enterMovesFocus();
void setEnterMovesFocus(bool on);

// The file that holds them (and where the windows were left, WindowPlacement).
QString file();

} // namespace UserPreferences
