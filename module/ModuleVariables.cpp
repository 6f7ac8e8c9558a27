#include "ModuleVariables.h"
#include "screen/ModuleState.h"

QString ModuleVariables::ListaGrup() const { return moduleState().ListaGrup.text(); }
QString ModuleVariables::ListaServPesq() const { return moduleState().ListaServPesq.text(); }
QString ModuleVariables::ListaServ() const { return moduleState().ListaServ.text(); }
