// Edit masks as the definitions store them: "mask;save literals;blank".
//
// Mask characters: 0 required digit, 9 optional digit, # digit or sign,
// L/l letter (required/optional), A/a letter or digit, C/c any character,
// > upper case from here on, < lower case, <> no case change, \ next is a
// literal; anything else is a literal shown in place. The second field 0
// leaves the literals out of Text; the third is the character shown for an
// unfilled position.
#pragma once

#include <QChar>
#include <QString>
#include <QVector>

class EditMask {
public:
    EditMask() = default;
    explicit EditMask(const QString &definition);

    bool isEmpty() const { return m_slots.isEmpty(); }
    QString definition() const { return m_definition; }
    bool saveLiterals() const { return m_saveLiterals; }
    QChar blank() const { return m_blank; }
    // Number of positions shown (literals included).
    int length() const { return int(m_slots.size()); }
    // Number of positions the user fills.
    int inputLength() const;

    // The same mask in QLineEdit's input-mask language.
    QString toQtInputMask() const;

    // Filters any text through the mask: characters that fit go to the next
    // free input position, literals of the text are skipped, the rest dropped.
    // When the mask leaves literals out of Text, a text whose characters all
    // fit the input positions in order is such a Text: it fills them as it
    // is, so that valueOf(filter(v)) gives v back.
    // Returns the displayed text (literals in place, blanks for unfilled).
    QString filter(const QString &text) const;
    // The value of a displayed text: literals kept or left out as the mask
    // says, unfilled positions dropped.
    QString valueOf(const QString &displayed) const;
    // Whether ch fits input position `pos` of the slots; `out` gets the cased char.
    bool accepts(int slot, QChar ch, QChar *out) const;
    bool isLiteral(int slot) const { return m_slots[slot].literal; }

private:
    // Puts each character of text into the next input position; false when
    // one does not fit there.
    bool fillsInputsInOrder(const QString &text, QString &shown) const;
    struct Slot {
        bool literal = false;
        QChar ch;            // the literal, or the mask character
        int caseMode = 0;    // 1 upper, -1 lower
    };
    QString m_definition;
    QVector<Slot> m_slots;
    bool m_saveLiterals = true;
    QChar m_blank = QLatin1Char('_');
};
