// Beside a "Lista" choice's search button: how many codes are ticked
// ("3 marcados", or "(3)" where the box has no room for the words), with the
// codes in the tool tip. Empty while none is ticked.
#pragma once

#include <QLabel>

class QAbstractButton;

class ListCountLabel : public QLabel {
    Q_OBJECT
public:
    // Placed right of button, inside the button's parent.
    explicit ListCountLabel(QAbstractButton *button);
    // Shows how many codes there are, and which.
    void showList(const QStringList &codes);
};
