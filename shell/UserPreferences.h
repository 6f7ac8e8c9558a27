// The user's own choices of how the shell behaves, kept in the user's
// configuration folder (preferencias.ini beside the configuration file).
#pragma once

namespace UserPreferences {

// Enter moves to the next field as Tab does; on unless the user turned it off.
bool enterMovesFocus();
void setEnterMovesFocus(bool on);

} // namespace UserPreferences
