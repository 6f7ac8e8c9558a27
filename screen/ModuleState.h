// The module's state: the single screen instance and the service lists that
// outlive a closed screen. The screen and the module's entry points both
// reach it here, so the screen never includes the module.
#pragma once

#include <QString>

class TfrmRealGlobal;

// The live screen, or null.
extern TfrmRealGlobal *frmRealGlobal;
// The screen has been created and not yet closed.
extern bool boIdCriado;
// Service-group codes chosen in the group search.
extern QString ListaGrup;
// Service codes chosen in the service search.
extern QString ListaServPesq;
// Effective service list sent to the report.
extern QString ListaServ;
