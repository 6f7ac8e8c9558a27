#include "StatusNotice.h"

#include <QMouseEvent>

namespace {
// A red disc before the text: the notice is a fault, not a passing remark.
const QString kMark = QStringLiteral("\u25CF ");
} // namespace

StatusNotice::StatusNotice(QWidget *parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("lblStatusAviso"));
    setTextFormat(Qt::PlainText);
    setCursor(Qt::PointingHandCursor);
    setContentsMargins(8, 0, 8, 0);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, QColor(0xb0, 0x00, 0x20));
    setPalette(p);
    hide();
}

void StatusNotice::showNotice(const QString &text)
{
    m_text = text;
    setToolTip(text + QStringLiteral("\n\nClique aqui para tentar novamente."));
    setAccessibleName(text);
    elide();
    show();
}

void StatusNotice::clearNotice()
{
    m_text.clear();
    setToolTip(QString());
    setText(QString());
    hide();
}

void StatusNotice::elide()
{
    const int room = contentsRect().width();
    setText(room <= 0 ? kMark + m_text : fontMetrics().elidedText(kMark + m_text, Qt::ElideRight, room));
}

void StatusNotice::resizeEvent(QResizeEvent *e)
{
    QLabel::resizeEvent(e);
    elide();
}

void StatusNotice::mouseReleaseEvent(QMouseEvent *e)
{
    QLabel::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        emit clicked();
}

QSize StatusNotice::minimumSizeHint() const
{
    // Any width will do: the text is elided to it, so the notice never
    // pushes the status bar's other fields out of the window.
    return QSize(fontMetrics().horizontalAdvance(kMark + QStringLiteral("…")), QLabel::minimumSizeHint().height());
}

QSize StatusNotice::sizeHint() const
{
    // As wide as the whole text: the status bar gives it what room it has.
    const QMargins m = contentsMargins();
    return QSize(fontMetrics().horizontalAdvance(kMark + m_text) + m.left() + m.right(),
                 QLabel::minimumSizeHint().height());
}
