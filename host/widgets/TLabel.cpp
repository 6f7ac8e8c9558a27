#include "TLabel.h"
#include "core/ComponentRegistry.h"

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
    fitText();
}

void TLabel::setAutoSize(bool v)
{
    m_autoSize = v;
    fitText();
}

void TLabel::fitText()
{
    if (!m_autoSize)
        return;
    // Measuring text is dear; a label not yet shown is measured once, when it is.
    if (!isVisible()) {
        m_fitPending = true;
        return;
    }
    m_fitPending = false;
    adjustSize();
}

void TLabel::showEvent(QShowEvent *e)
{
    if (m_fitPending)
        fitText();
    QLabel::showEvent(e);
}

QObject *TLabel::FocusControl() const { return buddy(); }

void TLabel::setFocusControl(QObject *w) { setBuddy(qobject_cast<QWidget *>(w)); }

void TLabel::changeEvent(QEvent *e)
{
    QLabel::changeEvent(e);
    // An auto-sized label follows its font as it follows its caption.
    if (e->type() == QEvent::FontChange)
        fitText();
}

void TLabel::setAlignment_(PropertyEnums::TAlignment v)
{
    m_alignment = v;
    applyAlignment();
}

void TLabel::setLayout_(PropertyEnums::TTextLayout v)
{
    m_layout = v;
    applyAlignment();
}

void TLabel::applyAlignment()
{
    using PropertyEnums::TAlignment;
    using PropertyEnums::TTextLayout;
    Qt::Alignment a = m_alignment == TAlignment::taRightJustify ? Qt::AlignRight
                    : m_alignment == TAlignment::taCenter       ? Qt::AlignHCenter
                                                                : Qt::AlignLeft;
    a |= m_layout == TTextLayout::tlCenter ? Qt::AlignVCenter
       : m_layout == TTextLayout::tlBottom ? Qt::AlignBottom
                                           : Qt::AlignTop;
    setAlignment(a);
}
