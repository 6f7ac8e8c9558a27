// The working branch the shell was started for, checked against the branch
// table before any screen opens: a code that is not there is refused with
// a message naming it, instead of each screen finding its own way to fail.
#pragma once

#include <QSqlDatabase>
#include <QString>

namespace WorkingBranch {
// The branch's name (FILIAL.NMFILIAL); empty when the code is not there.
// Throws EHostError when the table cannot be read.
QString nameOf(const QSqlDatabase &db, const QString &code);
// The message for a code that is not there.
QString unknownText(const QString &code, const QString &database);
}
