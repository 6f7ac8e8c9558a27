#include "ElidedLabel.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>
#include <QStyle>

namespace {
// The fewest letters a field is cut down to: enough to say what it is.
constexpr int kMinimumLetters = 12;
} // namespace

ElidedLabel::ElidedLabel(Qt::TextElideMode mode, QWidget *parent) : QLabel(parent), m_mode(mode)
{
    setTextFormat(Qt::PlainText);
    setContentsMargins(8, 0, 8, 0);
}

void ElidedLabel::setFullText(const QString &text)
{
    setText(text);
    setToolTip(text);
    setAccessibleName(text);
    updateGeometry();
    updateShown();
}

QString ElidedLabel::shownText() const { return m_shown; }

void ElidedLabel::updateShown()
{
    const int room = contentsRect().width();
    const QString shown = room <= 0 ? text() : fontMetrics().elidedText(text(), m_mode, room);
    if (shown == m_shown)
        return;
    m_shown = shown;
    update();
    emit shownTextChanged(m_shown);
}

void ElidedLabel::resizeEvent(QResizeEvent *e)
{
    QLabel::resizeEvent(e);
    updateShown();
}

void ElidedLabel::showEvent(QShowEvent *e)
{
    QLabel::showEvent(e);
    // A text set while hidden asked for no room: it does now.
    updateGeometry();
}

void ElidedLabel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    style()->drawItemText(&p, contentsRect(), Qt::AlignLeft | Qt::AlignVCenter, palette(), isEnabled(), m_shown,
                          foregroundRole());
}

QSize ElidedLabel::minimumSizeHint() const
{
    const QMargins m = contentsMargins();
    const QString least = text().left(kMinimumLetters) + QStringLiteral("…");
    return QSize(qMin(fontMetrics().horizontalAdvance(least), fontMetrics().horizontalAdvance(text())) + m.left()
                     + m.right(),
                 QLabel::minimumSizeHint().height());
}

QSize ElidedLabel::sizeHint() const
{
    // Fractions of a pixel count: a whole-pixel width would elide the last letter.
    const QMargins m = contentsMargins();
    const int whole = int(std::ceil(QFontMetricsF(font()).horizontalAdvance(text()))) + 1;
    return QSize(whole + m.left() + m.right(), QLabel::minimumSizeHint().height());
}
