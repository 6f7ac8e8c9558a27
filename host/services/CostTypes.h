// Cost types of the costs application, read from its server through a
// TNetConnection (method "ListaTipoCusto" of "Vbr.rdmCustProd").
//
// ListaTipoCusto returns the names in the server's list order and keeps
// their numbers for NumeroTipoCusto. It gives an empty list, and forgets the
// numbers, when the connection is missing or not connected, the call fails
// or times out (never a wait longer than the connection's Timeout), or the
// reply is not a list of {"numero": integer, "nome": text}. It raises
// nothing. The data module argument is accepted for the callers' sake and
// not used: the list always comes through the connection.
// NumeroTipoCusto gives -1 for an index outside the last list read.
#pragma once

#include <QStringList>

class QObject;
class TNetConnection;

QStringList ListaTipoCusto(TNetConnection *connection, QObject *dataModule = nullptr);
int NumeroTipoCusto(int index);
