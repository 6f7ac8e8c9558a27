// The shell-context functions that screens call. They read the session
// (ShellContext, filled by the shell) and the shell's own tables.
//
//  - FiliProc(): the working branch code from the configuration (--branch).
//  - NomeFiliProc(): its NMFILIAL, from the local cache of FILIAL (refreshed
//    by AtualizaLocalCache({"FILIAL"})); empty when the branch is unknown.
//  - DataProc(branch): DTPROCESSO of PROCFILIAL, read from the database at
//    each call. An empty (or all-blank) code means the working branch. A
//    branch with no processing date gets today's date (the system date).
//  - ModuFili(branch, flag): status of the running module (ShellContext::module)
//    for the branch, from MODUFILIAL: "F" (released to the branch) or "M"
//    (released through its head office); anything else is a refusal: a
//    five-character prefix "E" + 4-digit reason, then the message:
//      E0001 no status row for the branch (or empty code),
//      E0002 status refused: the row's DSMENSAGEM (or a standard text).
//    flag true reads the status from the database now; false reads the local
//    cache of MODUFILIAL. Both give the same answer until the table changes.
//  - WebURL(), WebPort(): the costs server's host and port (ShellContext);
//    empty and 0 when none is configured. The shell's own server is first
//    confirmed to answer (ShellContext::confirmCostsServer).
#pragma once

#include <QDate>
#include <QString>

QString FiliProc();
QString NomeFiliProc();
QDate DataProc(const QString &branch);
QString ModuFili(const QString &branch, bool flag);
QString WebURL();
int WebPort();
