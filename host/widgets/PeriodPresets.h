// Period presets of a pair of date edits (a period's start and end):
// "Mês atual", "Mês anterior", "Ano atual", "Últimos 30 dias", each counted
// from a given day (the day the screen works on).
#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <functional>

class QAction;
class QMenu;

namespace PeriodPresets {

struct Preset {
    QString name;
    QDate start, end;
};

// The presets counted from today: this month and last month (first to last
// day), this year (1 January to 31 December), the last 30 days (today
// included).
QList<Preset> from(const QDate &today);

// Adds one action per preset (counted from day) to menu, before `before`
// (at the end when null), then a separator; each calls apply.
void addTo(QMenu *menu, QAction *before, const QDate &day, const std::function<void(const Preset &)> &apply);

} // namespace PeriodPresets
