#include "TButtonFlat.h"
#include "TMenuItem.h"
#include "core/ComponentRegistry.h"

#include <QMenu>

REGISTER_COMPONENT(TButtonFlat)

TButtonFlat::TButtonFlat(QWidget *parent) : TSpeedButton(parent), m_menu(new QMenu(this))
{
    setAutoRaise(true);
    setMenu(m_menu);
    setPopupMode(QToolButton::InstantPopup);
}

void TButtonFlat::addMenuItem(TMenuItem *item) { m_menu->addAction(item->action()); }
