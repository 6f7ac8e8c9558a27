#include "TPanel.h"
#include "ComponentRegistry.h"

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

void TPanel::setBevelOuter(const QString &v)
{
    m_outer = v;
    if (v == QLatin1String("bvNone")) {
        setFrameStyle(QFrame::NoFrame);
    } else {
        setFrameStyle(QFrame::Panel | (v == QLatin1String("bvLowered") ? QFrame::Sunken : QFrame::Raised));
        setLineWidth(1);
    }
}

void TPanel::setBevelInner(const QString &v) { m_inner = v; }

void TPanel::paintEvent(QPaintEvent *e)
{
    QFrame::paintEvent(e);
    if (m_caption.isEmpty())
        return;
    QPainter p(this);
    const Qt::Alignment h = m_alignment == QLatin1String("taLeftJustify") ? Qt::AlignLeft
                          : m_alignment == QLatin1String("taRightJustify") ? Qt::AlignRight
                                                                           : Qt::AlignHCenter;
    p.drawText(contentsRect(), int(h | Qt::AlignVCenter), m_caption);
}
