#include "ModuleState.h"

TfrmRealGlobal *frmRealGlobal = nullptr;
bool boIdCriado = false;
QString ListaGrup;
QString ListaServPesq;
QString ListaServ;
