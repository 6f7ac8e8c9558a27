#include "TSpeedButton.h"
#include "Glyphs.h"
#include "core/ComponentRegistry.h"
#include "core/Dispatch.h"

#include <QKeyEvent>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

REGISTER_COMPONENT(TSpeedButton)

TSpeedButton::TSpeedButton(QWidget *parent) : QToolButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(this, &QToolButton::clicked, this, [this] { Click(); });
}

void TSpeedButton::setGlyph(const QString &name)
{
    m_glyph = name;
    setIcon(Glyphs::icon(name));
    setToolButtonStyle(text().isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
}

void TSpeedButton::keyPressEvent(QKeyEvent *e)
{
    const bool enter = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
    if (!enter || (e->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        QToolButton::keyPressEvent(e);
        return;
    }
    if (menu())
        showMenu();
    else
        animateClick();
}

void TSpeedButton::paintEvent(QPaintEvent *e)
{
    QToolButton::paintEvent(e);
    if (!hasFocus())
        return;
    QStylePainter painter(this);
    QStyleOptionFocusRect frame;
    frame.initFrom(this);
    frame.rect = rect().adjusted(1, 1, -1, -1);
    painter.drawPrimitive(QStyle::PE_FrameFocusRect, frame);
}

void TSpeedButton::Click()
{
    if (!isEnabled())
        return;
    Dispatch::fire([this] { emit OnClick(this); });
}
