// Keyboard order of a window: within each parent the controls follow their
// TabOrder (a stored position beyond the last puts the control last; controls
// with none keep their creation order); disabled or hidden controls and
// everything inside them are skipped; of the radio buttons of one parent only
// the checked one (or the first, when none is) is a stop.
#pragma once

#include <QList>

class QWidget;

namespace FocusChain {
QList<QWidget *> build(QWidget *root);
// The stop after (or before) the one holding `current`; nullptr when none.
QWidget *next(QWidget *root, QWidget *current, bool forward);
}
