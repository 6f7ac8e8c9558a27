#include "Cli_xev01700.h"
#include "ModuleState.h"

void Cli_xev01700_Initialize() {}

void Cli_xev01700_Finalize()
{
    ModuleState &state = moduleState();
    state.ListaGrup.clear();
    state.ListaServ.clear();
    state.ListaServPesq.clear();
}
