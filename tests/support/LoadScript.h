// The scripted session of one load-test user and the check of its output.
//
// Session k runs checks report checks (command preview) on the screen, each
// with parameters of its own: the period starts on 2 February 2026 plus k
// days and ends j days later for check j, and the cost type is item
// (j + k) mod 4 of the list. Every parameter set is so tied to its session
// and check, and check() finds in the session's output exactly the sets it
// asked for, in order, and no message or error.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace LoadScript {

QDate periodStart(int session);
QDate periodEnd(int session, int check);
// The script's text.
QString script(int session, int checks);
// Problems found in a session's output (JSON lines); empty when it is right.
QStringList check(int session, int checks, const QString &output);

} // namespace LoadScript
