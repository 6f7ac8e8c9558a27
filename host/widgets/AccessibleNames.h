// What a screen reader says of a window's controls, and Alt+letter from a
// field's caption to the field.
//
// describe() gives every control of a window that has no accessible name
// one: a field the caption of its label (the label's buddy), a button its
// text or else its tool tip without the key ("Imprimir"), a button that
// serves a field or a group box that name too ("Pesquisar: Filial
// Agregada"), a field inside a composite (a date edit's text box and
// calendar button) its owner's. Tool tips become descriptions. A label with
// no buddy takes the field just right of it on its row; a label with a
// buddy and no mnemonic gets one: the first letter of one of its words (else
// any letter) that no other control of the window and none of the reserved
// letters (the shell's menus) holds, so that Alt+letter moves to its field.
// The stored caption (TLabel::Caption) does not change. Names and
// descriptions set before are kept. Nothing throws.
#pragma once

#include <QString>

class QWidget;

namespace AccessibleNames {

void describe(QWidget *window);

// Letters that labels must leave to others (case ignored), as "ARJU".
void setReservedLetters(const QString &letters);

// The text a person reads on a control, without mnemonic marks, a trailing
// colon or a key in parentheses ("&Imprimir (Ctrl+P)" gives "Imprimir").
QString plain(const QString &text);

} // namespace AccessibleNames
