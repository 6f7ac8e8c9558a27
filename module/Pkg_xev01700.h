// The module PKG_XEV01700: its exported entry points, the single screen
// instance and the service lists that outlive a closed screen.
#pragma once

#include "host/toolkit/PackageInfo.h"

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

// Creates the screen once, or shows and restores the one that exists.
void CriaRealGlobal();

extern "C" {
__attribute__((visibility("default"))) void IniProc();
__attribute__((visibility("default"))) void Initialize();
__attribute__((visibility("default"))) void Finalize();
__attribute__((visibility("default"))) const PackageInfoTable *GetPackageInfoTable();
// The module's list strings by name ("ListaGrup", "ListaServPesq",
// "ListaServ"), for the shell's scripted sessions; nullptr for other names.
__attribute__((visibility("default"))) const QString *ModuleVariable(const char *name);
}

// The module file's path as the loader found it (empty before Initialize).
QString moduleFileName();
