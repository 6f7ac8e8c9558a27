#include "TLabel.h"
#include "ComponentRegistry.h"

#include <QEvent>

REGISTER_COMPONENT(TLabel)

TLabel::TLabel(QWidget *parent) : QLabel(parent)
{
    applyAlignment();
}

void TLabel::setCaption(const QString &v)
{
    m_caption = v;
    setText(v);
    if (m_autoSize)
        adjustSize();
}

void TLabel::setAutoSize(bool v)
{
    m_autoSize = v;
    if (v)
        adjustSize();
}

QObject *TLabel::FocusControl() const { return buddy(); }

void TLabel::setFocusControl(QObject *w) { setBuddy(qobject_cast<QWidget *>(w)); }

void TLabel::changeEvent(QEvent *e)
{
    QLabel::changeEvent(e);
    // An auto-sized label follows its font as it follows its caption.
    if (e->type() == QEvent::FontChange && m_autoSize)
        adjustSize();
}

void TLabel::setAlignment_(const QString &v)
{
    m_alignment = v;
    applyAlignment();
}

void TLabel::setLayout_(const QString &v)
{
    m_layout = v;
    applyAlignment();
}

void TLabel::applyAlignment()
{
    Qt::Alignment a = m_alignment == QLatin1String("taRightJustify") ? Qt::AlignRight
                    : m_alignment == QLatin1String("taCenter")       ? Qt::AlignHCenter
                                                                     : Qt::AlignLeft;
    a |= m_layout == QLatin1String("tlCenter") ? Qt::AlignVCenter
       : m_layout == QLatin1String("tlBottom") ? Qt::AlignBottom
                                               : Qt::AlignTop;
    setAlignment(a);
}
