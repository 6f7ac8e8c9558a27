#include "ScriptKeys.h"

#include <QHash>
#include <QKeySequence>

namespace {
// The names scripts have always used, some of which QKeySequence spells
// otherwise ("PgUp") or reads as another key ("Enter" is the keypad's).
const QHash<QString, int> &namedKeys()
{
    static const QHash<QString, int> k = {
        {QStringLiteral("tab"), Qt::Key_Tab}, {QStringLiteral("backtab"), Qt::Key_Backtab},
        {QStringLiteral("enter"), Qt::Key_Return}, {QStringLiteral("return"), Qt::Key_Return},
        {QStringLiteral("escape"), Qt::Key_Escape}, {QStringLiteral("up"), Qt::Key_Up},
        {QStringLiteral("down"), Qt::Key_Down}, {QStringLiteral("space"), Qt::Key_Space},
        {QStringLiteral("left"), Qt::Key_Left}, {QStringLiteral("right"), Qt::Key_Right},
        {QStringLiteral("home"), Qt::Key_Home}, {QStringLiteral("end"), Qt::Key_End},
        {QStringLiteral("backspace"), Qt::Key_Backspace}, {QStringLiteral("delete"), Qt::Key_Delete},
        {QStringLiteral("pageup"), Qt::Key_PageUp}, {QStringLiteral("pagedown"), Qt::Key_PageDown},
    };
    return k;
}

// What the key types, as a keyboard's driver sends it: the control
// characters of Tab, Enter, Backspace, Escape and Delete; a letter or sign
// in lower case unless Shift is held; Ctrl with a letter its control
// character; nothing for the other keys.
QString textOf(int key, Qt::KeyboardModifiers modifiers)
{
    switch (key) {
    case Qt::Key_Tab: return QStringLiteral("\t");
    case Qt::Key_Return:
    case Qt::Key_Enter: return QStringLiteral("\r");
    case Qt::Key_Backspace: return QStringLiteral("\b");
    case Qt::Key_Escape: return QStringLiteral("\x1b");
    case Qt::Key_Delete: return QStringLiteral("\x7f");
    default: break;
    }
    if (key < 0x20 || key >= Qt::Key_Escape || (key >= 0x7f && key < 0xa0))
        return QString();
    const char32_t upper = char32_t(key);
    if (modifiers & Qt::ControlModifier)
        return upper >= 'A' && upper <= 'Z' ? QString(QChar(char16_t(upper & 0x1f))) : QString();
    const char32_t c = modifiers & Qt::ShiftModifier ? upper : QChar::toLower(upper);
    return QString::fromUcs4(&c, 1);
}

bool fromSequence(const QString &text, QKeyCombination &combination)
{
    const QKeySequence seq = QKeySequence::fromString(text, QKeySequence::PortableText);
    if (seq.count() != 1 || seq[0].key() == Qt::Key_unknown)
        return false;
    combination = seq[0];
    return true;
}
}

namespace ScriptKeys {

bool parse(const QString &name, KeyStroke &stroke, QString *why)
{
    stroke = KeyStroke();
    if (name.compare(QLatin1String("SelectAll"), Qt::CaseInsensitive) == 0) {
        stroke.key = Qt::Key_A;
        stroke.modifiers = Qt::ControlModifier;
    } else {
        // "Ctrl++" is Ctrl with the plus key: the last '+' never separates.
        const qsizetype plus = name.lastIndexOf(QLatin1Char('+'), name.size() - 2);
        const QString keyName = name.mid(plus + 1).toLower();
        QKeyCombination combination;
        if (namedKeys().contains(keyName)) {
            QKeyCombination mods;
            if (plus >= 0 && !fromSequence(name.left(plus) + QStringLiteral("+A"), mods)) {
                *why = QStringLiteral("unknown modifier in '%1'").arg(name);
                return false;
            }
            combination = QKeyCombination(mods.keyboardModifiers(), Qt::Key(namedKeys().value(keyName)));
        } else if (!fromSequence(name, combination)) {
            *why = QStringLiteral("unknown key '%1'").arg(name);
            return false;
        }
        stroke.key = combination.key();
        stroke.modifiers = combination.keyboardModifiers();
    }
    stroke.text = textOf(stroke.key, stroke.modifiers);
    return true;
}

bool forCharacter(char32_t c, KeyStroke &stroke, QString *why)
{
    static const QHash<char32_t, int> controls = {
        {U'\t', Qt::Key_Tab}, {U'\n', Qt::Key_Return}, {U'\r', Qt::Key_Return},
        {U'\b', Qt::Key_Backspace}, {U'\x1b', Qt::Key_Escape}, {U'\x7f', Qt::Key_Delete},
    };
    stroke = KeyStroke();
    if (controls.contains(c)) {
        stroke.key = controls.value(c);
        stroke.text = textOf(stroke.key, {});
        return true;
    }
    if (c < 0x20 || (c >= 0x7f && c < 0xa0) || c > 0x10ffff || (c >= 0xd800 && c < 0xe000)) {
        *why = QStringLiteral("U+%1 is a control character with no key")
                   .arg(QString::number(uint(c), 16).toUpper().rightJustified(4, QLatin1Char('0')));
        return false;
    }
    // Keys that type a character are named by its capital, as keyboards report them.
    stroke.key = int(QChar::toUpper(c));
    stroke.text = QString::fromUcs4(&c, 1);
    return true;
}
}
