// Flat button that opens a drop-down menu of the TMenuItems placed in it.
// Takes no focus.
#pragma once

#include "TSpeedButton.h"

class QMenu;
class TMenuItem;

class TButtonFlat : public TSpeedButton {
    Q_OBJECT

public:
    explicit TButtonFlat(QWidget *parent = nullptr);
    void addMenuItem(TMenuItem *item);
    QMenu *menu_() const { return m_menu; }

private:
    QMenu *m_menu;
};
