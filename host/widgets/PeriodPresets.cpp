#include "PeriodPresets.h"

#include <QMenu>

namespace PeriodPresets {

QList<Preset> from(const QDate &today)
{
    const QDate month(today.year(), today.month(), 1);
    const QDate previous = month.addMonths(-1);
    return {
        {QStringLiteral("Mês atual"), month, month.addMonths(1).addDays(-1)},
        {QStringLiteral("Mês anterior"), previous, month.addDays(-1)},
        {QStringLiteral("Ano atual"), QDate(today.year(), 1, 1), QDate(today.year(), 12, 31)},
        {QStringLiteral("Últimos 30 dias"), today.addDays(-29), today},
    };
}

void addTo(QMenu *menu, QAction *before, const QDate &day, const std::function<void(const Preset &)> &apply)
{
    for (const Preset &p : from(day)) {
        auto *action = new QAction(p.name, menu);
        action->setToolTip(QStringLiteral("%1 a %2").arg(p.start.toString(QStringLiteral("dd/MM/yyyy")),
                                                          p.end.toString(QStringLiteral("dd/MM/yyyy"))));
        QObject::connect(action, &QAction::triggered, menu, [apply, p] { apply(p); });
        menu->insertAction(before, action);
    }
    menu->insertSeparator(before);
}

} // namespace PeriodPresets
