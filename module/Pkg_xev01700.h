// The module PKG_XEV01700: its exported entry points and its description
// for the shell. The single screen instance and the code lists live in the
// screen's ModuleState.
#pragma once

#include "core/ModuleDescription.h"
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
// Code XEV01700, its menu entry (Ctrl+G), its help page, and its code lists
// ListaGrup, ListaServPesq and ListaServ as read-only properties.
__attribute__((visibility("default"))) const ModuleDescription *DescribeModule();
}

// The module file's path as the loader found it (empty before Initialize).
QString moduleFileName();
