// The module's state: the single screen instance and the code lists that
// outlive a closed screen. The screen and the module's entry points both
// reach it here, so the screen never includes the module.
#pragma once

#include "CodeList.h"

class TfrmRealGlobal;

struct ModuleState {
    // The live screen, or null.
    TfrmRealGlobal *frmRealGlobal = nullptr;
    // The screen has been created and not yet closed.
    bool boIdCriado = false;
    // Service groups ticked in the group search.
    CodeList ListaGrup;
    // Services ticked in the service search.
    CodeList ListaServPesq;
    // The services sent to the report: the ticked ones, or with "Todos" every
    // service of the branch (of the chosen groups).
    CodeList ListaServ;
};

ModuleState &moduleState();
