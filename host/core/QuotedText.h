// A value as a message may quote it (a configuration value, an option, what
// a client or a server sent): at most a bounded number of characters, with
// "…" in place of the rest, and every control character, direction override
// and line or paragraph separator written as a visible escape (\0, \t, \n,
// \r, \xHH, \uHHHH). A quoted value can then neither flood a message nor cut
// it short (a NUL ends a C string) nor turn it around.
#pragma once

#include <QString>

namespace QuotedText {

constexpr int kMaxChars = 100;

// value with its controls escaped, cut to at most maxChars characters of
// the result (not counting the "…" that marks a cut). Never splits an
// escape or a surrogate pair.
QString clip(const QString &value, int maxChars = kMaxChars);

}
