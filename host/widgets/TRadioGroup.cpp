#include "TRadioGroup.h"
#include "Keys.h"
#include "core/ComponentRegistry.h"
#include "core/Dispatch.h"

#include <QFocusEvent>
#include <QRadioButton>

REGISTER_COMPONENT(TRadioGroup)

TRadioGroup::TRadioGroup(QWidget *parent) : QGroupBox(parent) {}

void TRadioGroup::setItems(const QStringList &items)
{
    m_items = items;
    rebuild();
}

void TRadioGroup::rebuild()
{
    qDeleteAll(m_buttons);
    m_buttons.clear();
    for (int i = 0; i < m_items.size(); ++i) {
        auto *b = new QRadioButton(m_items[i], this);
        b->installEventFilter(this);
        connect(b, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                Dispatch::fire([this] { emit OnClick(this); });
        });
        m_buttons.append(b);
        b->show();
    }
    setItemIndex(m_pendingIndex);
    arrange();
}

int TRadioGroup::ItemIndex() const
{
    for (int i = 0; i < m_buttons.size(); ++i)
        if (m_buttons[i]->isChecked())
            return i;
    return -1;
}

void TRadioGroup::setItemIndex(int i)
{
    m_pendingIndex = i; // items may come after the index in a definition
    if (i >= 0 && i < m_buttons.size()) {
        m_buttons[i]->setChecked(true);
        return;
    }
    for (auto *b : m_buttons) {
        b->setAutoExclusive(false);
        b->setChecked(false);
        b->setAutoExclusive(true);
    }
}

void TRadioGroup::setColumns(int c)
{
    m_columns = qMax(1, c);
    arrange();
}

void TRadioGroup::resizeEvent(QResizeEvent *e)
{
    QGroupBox::resizeEvent(e);
    arrange();
}

void TRadioGroup::arrange()
{
    if (m_buttons.isEmpty())
        return;
    // Items fill the client area below the caption, column by column.
    const int top = fontMetrics().height() + 2;
    const int rows = (int(m_buttons.size()) + m_columns - 1) / m_columns;
    const int colWidth = (width() - 8) / m_columns;
    const int rowHeight = qMax(1, (height() - top - 4) / rows);
    for (int i = 0; i < m_buttons.size(); ++i) {
        const int col = i / rows;
        const int row = i % rows;
        m_buttons[i]->setGeometry(8 + col * colWidth, top + row * rowHeight, colWidth - 4, rowHeight);
    }
}

bool TRadioGroup::eventFilter(QObject *o, QEvent *e)
{
    // The group is one stop for the keyboard: entering or leaving any of its
    // buttons for another control is entering or leaving the group.
    if (e->type() == QEvent::FocusIn || e->type() == QEvent::FocusOut) {
        auto *fe = static_cast<QFocusEvent *>(e);
        if (Keys::isExit(fe->reason()) && fe->reason() != Qt::OtherFocusReason) {
            if (e->type() == QEvent::FocusIn)
                Dispatch::fire([this] { emit OnEnter(this); });
            else
                Dispatch::fire([this] { emit OnExit(this); });
        }
    }
    return QGroupBox::eventFilter(o, e);
}
