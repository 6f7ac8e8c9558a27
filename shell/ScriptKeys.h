// The keys of scripted sessions: key names and combinations for `key`, and
// the key that types each character for `type`.
#pragma once

#include <QString>
#include <Qt>

// One key with its modifiers and the text it types ("" for keys that type
// nothing, such as F9 or Up).
struct KeyStroke {
    int key = 0;                      // Qt::Key, or a character's code for keys Qt has no name for
    Qt::KeyboardModifiers modifiers;
    QString text;
};

namespace ScriptKeys {
// A key by name: "Tab", "Backtab", "Enter" (the Return key), "Escape",
// "F9", "Up", "Down", "Space", "Left", "Right", "Home", "End", "Backspace",
// "Delete", "PageUp", "PageDown", "SelectAll" (Ctrl+A), or a combination
// QKeySequence reads ("Ctrl+P", "Shift+Enter", "Alt+Down", "F5",
// "Ctrl+Space"); names ignore case. False, with the reason, for anything
// else, a sequence of more than one key among them.
bool parse(const QString &name, KeyStroke &stroke, QString *why);
// The key that types c: a character is its own key carrying its text;
// \t, \n, \r, \b, ESC and DEL are typed as Tab, Enter, Enter, Backspace,
// Escape and Delete. False, with the reason, for any other control
// character (they have no key).
bool forCharacter(char32_t c, KeyStroke &stroke, QString *why);
}
