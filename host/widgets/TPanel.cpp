#include "TPanel.h"
#include "core/ComponentRegistry.h"

#include <QPainter>

REGISTER_COMPONENT(TPanel)

TPanel::TPanel(QWidget *parent) : QFrame(parent)
{
    setBevelOuter(m_outer);
}

void TPanel::setCaption(const QString &v)
{
    m_caption = v;
    update();
}

void TPanel::setBevelOuter(PropertyEnums::TBevelCut v)
{
    using PropertyEnums::TBevelCut;
    m_outer = v;
    if (v == TBevelCut::bvNone || v == TBevelCut::bvSpace) {
        setFrameStyle(QFrame::NoFrame);
    } else {
        setFrameStyle(QFrame::Panel | (v == TBevelCut::bvLowered ? QFrame::Sunken : QFrame::Raised));
        setLineWidth(1);
    }
}

void TPanel::setAlignment_(PropertyEnums::TAlignment v)
{
    m_alignment = v;
    update();
}

void TPanel::paintEvent(QPaintEvent *e)
{
    QFrame::paintEvent(e);
    if (m_caption.isEmpty())
        return;
    QPainter p(this);
    using PropertyEnums::TAlignment;
    const Qt::Alignment h = m_alignment == TAlignment::taLeftJustify  ? Qt::AlignLeft
                          : m_alignment == TAlignment::taRightJustify ? Qt::AlignRight
                                                                      : Qt::AlignHCenter;
    p.drawText(contentsRect(), int(h | Qt::AlignVCenter), m_caption);
}
