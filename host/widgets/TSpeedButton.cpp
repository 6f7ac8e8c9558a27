#include "TSpeedButton.h"
#include "Glyphs.h"
#include "core/ComponentRegistry.h"
#include "core/Dispatch.h"

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

void TSpeedButton::Click()
{
    if (!isEnabled())
        return;
    Dispatch::fire([this] { emit OnClick(this); });
}
