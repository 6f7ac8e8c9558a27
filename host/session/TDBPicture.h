// A hierarchical code picture: a code is the concatenation of level segments
// of fixed widths (the product tree: 2, 2 and 4), shown through an edit mask
// ("99.99.9999;0; "). Built from a PICTCODIGO row by DBPictObj.
//
// Choices of the host:
//  - Nivel(code) looks at the code without its trailing blanks (a masked
//    edit fills untyped positions with blanks). An empty code is level "0".
//    A length that is no level's accumulated length gives the first level
//    whose accumulated length is greater (a code being typed belongs to the
//    level it is filling: "010" is level "2" in 2,2,4); a code longer than the
//    full length gives the last level.
//  - A picture without levels is accepted: Nivel gives "0" for every code.
//  - TamAcNivel(level) of "0", of a text that is not a number, or of a level
//    below 0 is 0; of a level beyond the last it is the full code length.
//  - fits(): a code is valid when its length (trailing blanks removed) is one
//    of the accumulated lengths and each character fits its mask position:
//    0 and 9 a digit, # a digit or + -, L and l a letter, A and a a letter or
//    digit, C and c any character except a blank; after ">" letters must be
//    upper case, after "<" lower case.
#pragma once

#include <QList>
#include <QString>

class TDBPicture {
public:
    // Throws EHostError when widths are empty or not positive, or when the
    // mask's positions do not add up to the widths.
    TDBPicture(int type, const QString &name, const QList<int> &widths, const QString &editMask);
    // widths as stored: "2,2,4".
    static TDBPicture fromText(int type, const QString &name, const QString &widths, const QString &editMask);

    int type() const { return m_type; }
    QString name() const { return m_name; }
    QString EditMask() const { return m_mask; }
    QList<int> widths() const { return m_widths; }

    int TtNiveis() const { return int(m_widths.size()); }
    int GetTtNiveis() const { return TtNiveis(); }
    QString Nivel(const QString &code) const;
    // Nivel as a number.
    int levelOf(const QString &code) const;
    int TamAcNivel(const QString &level) const;
    int TamAcNivel(int level) const;
    int fullLength() const { return TamAcNivel(TtNiveis()); }
    // The accumulated lengths, level 1 first.
    QList<int> validLengths() const;

    // Whether code fits the picture; why receives the reason when it does not.
    enum class Fault { None, Length, Character };
    Fault check(const QString &code, int *position = nullptr) const;

private:
    struct Position {
        QChar kind;
        int letterCase; // 0 any, 1 upper, -1 lower
    };
    int m_type;
    QString m_name;
    QList<int> m_widths;
    QString m_mask;
    QList<Position> m_positions;
};
