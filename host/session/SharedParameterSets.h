// The shared half of ParameterSets: the CONJPARAM table of the shell's
// database (HostDatabase), one row a set per central and screen, its
// content as the JSON text toJson() gives. A change by anyone but the
// set's maker is refused; a database that refuses says so in a Portuguese
// sentence around the engine's words. Every function throws EHostError.
#pragma once

#include "ParameterSets.h"

#include <QJsonObject>

namespace SharedParameterSets {

QList<ParameterSet> list(const ParameterSets::Place &place);
void save(const ParameterSets::Place &place, const ParameterSet &set);
void remove(const ParameterSets::Place &place, const QString &name);
void rename(const ParameterSets::Place &place, const QString &name, const QString &newName);

// A set's period and choices as one JSON object, and back (the name, scope,
// owner and time are kept beside it). A missing or unreadable period is
// "mês anterior".
QJsonObject toJson(const ParameterSet &set);
ParameterSet fromJson(const QJsonObject &content);

} // namespace SharedParameterSets
