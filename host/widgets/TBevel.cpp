#include "TBevel.h"
#include "core/ComponentRegistry.h"

#include <QPainter>

REGISTER_COMPONENT(TBevel)

TBevel::TBevel(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TBevel::setShape(PropertyEnums::TBevelShape v)
{
    m_shape = v;
    update();
}

void TBevel::setStyle_(PropertyEnums::TBevelStyle v)
{
    m_style = v;
    update();
}

void TBevel::paintEvent(QPaintEvent *)
{
    using PropertyEnums::TBevelShape;
    QPainter p(this);
    const bool lowered = m_style != PropertyEnums::TBevelStyle::bsRaised;
    const QColor dark = palette().color(QPalette::Dark);
    const QColor light = palette().color(QPalette::Light);
    const QColor first = lowered ? dark : light;
    const QColor second = lowered ? light : dark;
    const int w = width() - 1, h = height() - 1;
    auto hline = [&](int y) {
        p.setPen(first);
        p.drawLine(0, y - 1, w, y - 1);
        p.setPen(second);
        p.drawLine(0, y, w, y);
    };
    auto vline = [&](int x) {
        p.setPen(first);
        p.drawLine(x - 1, 0, x - 1, h);
        p.setPen(second);
        p.drawLine(x, 0, x, h);
    };
    if (m_shape == TBevelShape::bsTopLine)
        hline(1);
    else if (m_shape == TBevelShape::bsBottomLine)
        hline(h);
    else if (m_shape == TBevelShape::bsLeftLine)
        vline(1);
    else if (m_shape == TBevelShape::bsRightLine)
        vline(w);
    else if (m_shape == TBevelShape::bsBox || m_shape == TBevelShape::bsFrame) {
        p.setPen(first);
        p.drawRect(0, 0, w - 1, h - 1);
        p.setPen(second);
        p.drawRect(1, 1, w - 1, h - 1);
    }
}
