// Named parameter sets of a report screen: every choice of the screen under
// a name, with its period kept as a rule (PeriodRule) so that a set opened
// next month gives next month's dates.
//
// A personal set lives in the user's data folder
// (conjuntos-de-parametros.json, written whole through SafeFile); a shared
// one in the database's CONJPARAM table, seen by every user of the same
// central, with who made it and when. Only who made a shared set may
// change, rename or delete it. Names are unique per screen within each kind
// (a personal and a shared set may share a name: the personal one is found
// first). No window: the shell and merenda-report both use it.
//
// Every function throws EHostError with a Portuguese text that says what
// failed and what to do (a file that cannot be written, a database that
// refused, a set of someone else, a name not found).
#pragma once

#include "core/PeriodRule.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariantMap>

struct ParameterSet {
    enum class Scope { Personal, Shared };

    QString name;
    Scope scope = Scope::Personal;
    QString owner;             // the login of who made it
    QDateTime changed;         // when it was last saved (UTC)
    PeriodRule period = PeriodRule::previousMonth();
    QVariantMap choices;       // the screen's other choices, as it names them
    QString schedule;          // when merenda-report --due runs it (RunSchedule's text); empty: never
};

namespace ParameterSets {

// Where a screen's sets are found: the screen's code and the central whose
// colleagues share them.
struct Place {
    QString screen;  // "XEV01700"
    QString central; // "0100"
};

// The login of the user running the program (who a shared set belongs to).
QString currentUser();
// The personal sets, then the shared ones, each by name.
QList<ParameterSet> list(const Place &place);
// The set of that name, personal first; throws when there is none.
ParameterSet find(const Place &place, const QString &name);
// Saves set under its name and scope, replacing one of the same name the
// user may change. owner and changed are filled here.
void save(const Place &place, ParameterSet set);
void remove(const Place &place, const QString &name, ParameterSet::Scope scope);
void rename(const Place &place, const QString &name, ParameterSet::Scope scope, const QString &newName);
// The file of personal sets (exposed for the tests).
QString personalFile();

} // namespace ParameterSets
