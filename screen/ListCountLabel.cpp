#include "ListCountLabel.h"

#include <QAbstractButton>

ListCountLabel::ListCountLabel(QAbstractButton *button) : QLabel(button->parentWidget())
{
    setObjectName(button->objectName() + QStringLiteral("Qtde"));
    const QRect b = button->geometry();
    const int right = parentWidget()->contentsRect().right() - 1;
    setGeometry(b.right() + 3, b.top(), qMax(0, right - b.right() - 3), b.height());
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    show();
}

void ListCountLabel::showList(const QStringList &codes)
{
    if (codes.isEmpty()) {
        clear();
        setToolTip(QString());
        return;
    }
    const QString words = codes.size() == 1 ? QStringLiteral("1 marcado") : QStringLiteral("%1 marcados").arg(codes.size());
    const bool fits = fontMetrics().horizontalAdvance(words) <= width();
    setText(fits ? words : QStringLiteral("(%1)").arg(codes.size()));
    setToolTip(words + QStringLiteral(": ") + codes.join(QStringLiteral(", ")));
}
