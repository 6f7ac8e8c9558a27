#include "StatusFieldsLayout.h"

#include <QWidget>
#include <QWidgetItem>
#include <algorithm>
#include <numeric>

StatusFieldsLayout::StatusFieldsLayout(QWidget *parent) : QLayout(parent)
{
    setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
}

StatusFieldsLayout::~StatusFieldsLayout()
{
    for (const Field &f : std::as_const(m_fields))
        delete f.item;
}

void StatusFieldsLayout::addField(QWidget *field, int importance, bool atRight)
{
    addChildWidget(field);
    m_fields.append({new QWidgetItem(field), importance, atRight});
    invalidate();
}

void StatusFieldsLayout::addItem(QLayoutItem *item) { m_fields.append({item, int(m_fields.size()), false}); }

QLayoutItem *StatusFieldsLayout::itemAt(int index) const
{
    return index >= 0 && index < m_fields.size() ? m_fields.at(index).item : nullptr;
}

QLayoutItem *StatusFieldsLayout::takeAt(int index)
{
    return index >= 0 && index < m_fields.size() ? m_fields.takeAt(index).item : nullptr;
}

int StatusFieldsLayout::count() const { return int(m_fields.size()); }

QSize StatusFieldsLayout::total(bool least) const
{
    QSize size;
    for (const Field &f : m_fields) {
        if (f.item->isEmpty())
            continue;
        const QSize s = least ? f.item->minimumSize() : f.item->sizeHint();
        size = QSize(size.width() + s.width(), qMax(size.height(), s.height()));
    }
    return size;
}

QSize StatusFieldsLayout::sizeHint() const { return total(false); }

QSize StatusFieldsLayout::minimumSize() const { return total(true); }

QList<int> StatusFieldsLayout::widths(const QList<QPair<int, int>> &hints, const QList<int> &importance, int room)
{
    QList<int> out;
    for (const auto &h : hints)
        out << h.first;
    int left = room - std::accumulate(out.cbegin(), out.cend(), 0);
    QList<int> order(hints.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return importance[a] < importance[b]; });
    for (const int i : order) {
        const int more = qBound(0, hints[i].second - hints[i].first, qMax(0, left));
        out[i] += more;
        left -= more;
    }
    return out;
}

void StatusFieldsLayout::setGeometry(const QRect &rect)
{
    QLayout::setGeometry(rect);
    QList<Field> shown;
    QList<QPair<int, int>> hints;
    QList<int> importance;
    for (const Field &f : std::as_const(m_fields)) {
        if (f.item->isEmpty())
            continue;
        shown << f;
        hints << qMakePair(f.item->minimumSize().width(), qMax(f.item->minimumSize().width(), f.item->sizeHint().width()));
        importance << f.importance;
    }
    const QList<int> w = widths(hints, importance, rect.width());
    int used = std::accumulate(w.cbegin(), w.cend(), 0);
    int x = rect.left();
    for (int i = 0; i < shown.size(); ++i) {
        // The first field of the right-hand group starts where the group fits.
        if (shown[i].atRight && (i == 0 || !shown[i - 1].atRight))
            x = qMax(x, rect.left() + rect.width() - (used - (x - rect.left())));
        shown[i].item->setGeometry(QRect(x, rect.top(), w[i], rect.height()));
        x += w[i];
    }
}
