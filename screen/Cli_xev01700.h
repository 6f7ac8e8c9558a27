// The screen unit's initialisation and finalisation, run by the module's
// start-up and shut-down in unit-table order.
#pragma once

void Cli_xev01700_Initialize();
// Empties the code lists kept at module level.
void Cli_xev01700_Finalize();
