// The module PKG_XEV01700: its exported entry points. The single screen
// instance and the service lists live in the screen's ModuleState.
#pragma once

#include "core/PackageInfo.h"
#include "screen/ModuleState.h"

#include <QString>

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
