// Button pictures drawn in code (the stored bitmaps are artwork): a normal and
// a disabled state each, 16 by 16.
#pragma once

#include <QIcon>
#include <QString>

namespace Glyphs {
// "search", "calendar", "print", "preview", "save", "edit", "export"; anything else: empty.
QIcon icon(const QString &name);
}
