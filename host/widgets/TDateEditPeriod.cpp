// TDateEditPlus, the pair of dates of a period: the start edit names its end
// (PeriodEnd), each knows the other, and the context menu offers the
// ready-made periods for the pair and "Hoje" for the field.
#include "PeriodPresets.h"
#include "TDateEditPlus.h"
#include "core/Dispatch.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>

QMenu *TDateEditPlus::periodMenu() const { return m_menu; }

QObject *TDateEditPlus::PeriodEnd() const { return m_periodEnd; }

void TDateEditPlus::setPeriodEnd(QObject *end)
{
    if (m_periodEnd && m_periodEnd->m_periodStart == this)
        m_periodEnd->m_periodStart = nullptr;
    m_periodEnd = qobject_cast<TDateEditPlus *>(end);
    if (m_periodEnd == this)
        m_periodEnd = nullptr;
    if (m_periodEnd)
        m_periodEnd->m_periodStart = this;
}

TDateEditPlus *TDateEditPlus::periodStartEdit() const
{
    if (m_periodEnd)
        return const_cast<TDateEditPlus *>(this);
    return m_periodStart;
}

TDateEditPlus *TDateEditPlus::periodEndEdit() const
{
    if (m_periodEnd)
        return m_periodEnd;
    return m_periodStart ? const_cast<TDateEditPlus *>(this) : nullptr;
}

QDate TDateEditPlus::periodReference() const
{
    const TDateEditPlus *start = periodStartEdit();
    const QDate day = start ? start->m_periodReference : m_periodReference;
    return day.isValid() ? day : QDate::currentDate();
}

void TDateEditPlus::setPeriod(const QDate &start, const QDate &end)
{
    TDateEditPlus *first = periodStartEdit();
    TDateEditPlus *last = periodEndEdit();
    if (!first || !last)
        return;
    Dispatch::guard([&] {
        first->SetDate(start);
        last->SetDate(end);
    });
    m_edit->selectAll();
}

void TDateEditPlus::showPeriodMenu(const QPoint &globalPos, bool withEditActions)
{
    if (m_menu)
        m_menu->deleteLater();
    m_menu = withEditActions ? m_edit->createStandardContextMenu() : new QMenu(this);
    m_menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction *first = m_menu->actions().isEmpty() ? nullptr : m_menu->actions().first();
    const bool paired = periodStartEdit() && !ReadOnly() && isEnabled();
    if (paired)
        PeriodPresets::addTo(m_menu, first, periodReference(),
                             [this](const PeriodPresets::Preset &p) { setPeriod(p.start, p.end); });
    auto *today = new QAction(QStringLiteral("Hoje"), m_menu);
    today->setEnabled(!ReadOnly() && isEnabled());
    connect(today, &QAction::triggered, this, [this] { Dispatch::guard([&] { SetDate(QDate::currentDate()); }); });
    m_menu->insertAction(first, today);
    if (first)
        m_menu->insertSeparator(first);
    m_menu->popup(globalPos);
}
