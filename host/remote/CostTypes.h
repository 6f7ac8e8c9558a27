// Cost types of the costs application, read from its server through a
// TNetConnection (method "ListaTipoCusto" of "Vbr.rdmCustProd").
//
// ListaTipoCusto returns the names in the server's list order and keeps
// their numbers for NumeroTipoCusto. It gives an empty list, and forgets the
// numbers, when the connection is missing or not connected, the call fails
// or times out (never a wait longer than the connection's Timeout), or the
// reply is not a list of {"numero": integer, "nome": text}. It raises
// nothing; each failure but a missing connection is posted as a notice
// (ShellNotices) naming the server's address and the cause. Names are
// cleaned of control characters (CleanCostTypeName) before anyone shows
// them. The data module argument is accepted for the callers' sake and not
// used: the list always comes through the connection.
// A read that succeeds resolves the notices (ShellNotices::resolve).
// NumeroTipoCusto gives -1 for an index outside the last list read.
// CostTypesFailure tells why the last read gave an empty list, for the
// person who must act on it ("em 127.0.0.1:5000: conexão recusada"); empty
// after a read that succeeded, or when there was no connection at all.
#pragma once

#include <QStringList>

class QObject;
class TNetConnection;

QStringList ListaTipoCusto(TNetConnection *connection, QObject *dataModule = nullptr);
int NumeroTipoCusto(int index);
QString CostTypesFailure();
// A name as the screen may show it: line breaks and tabs become blanks,
// other control and direction-override characters go, blanks are trimmed.
QString CleanCostTypeName(const QString &name);
