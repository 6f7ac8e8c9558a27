// Fuzzes the edit-mask engine (EditMask).
//
// Input: a mask definition ("mask;save literals;blank"), a newline, then text
// as typed (UTF-8). Checks: any definition builds a mask; filtering any text
// gives one character per position, literals in place and input positions
// either blank or holding a character the position accepts; the value of a
// display filled from the left filters back to that display; the
// line-edit mask is produced for any definition.
#include "core/EditMask.h"

#include <cstdint>
#include <cstdlib>
#include <cstdio>

namespace {

void require(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "edit_mask: %s\n", what);
        std::abort();
    }
}

// The display as its value reads it: a space in an input position counts
// as unfilled. Empty when a filled position follows an unfilled one (the
// value cannot tell where its characters stood).
QString asRead(const EditMask &mask, const QString &shown)
{
    QString read = shown;
    bool gap = false;
    for (int i = 0; i < mask.length(); ++i) {
        if (mask.isLiteral(i))
            continue;
        const bool empty = shown[i] == mask.blank() || shown[i].isSpace();
        if (!empty && gap)
            return QString();
        if (empty)
            read[i] = mask.blank();
        gap = gap || empty;
    }
    return read;
}

void checkDisplay(const EditMask &mask, const QString &shown)
{
    const QString empty = mask.filter(QString());
    require(shown.size() == mask.length(), "display length differs from the mask's");
    require(empty.size() == mask.length(), "empty display length differs from the mask's");
    for (int i = 0; i < mask.length(); ++i) {
        if (mask.isLiteral(i)) {
            require(shown[i] == empty[i], "a literal moved or changed");
            continue;
        }
        require(empty[i] == mask.blank(), "an empty input position is not blank");
        if (shown[i] == mask.blank())
            continue;
        QChar cased;
        require(mask.accepts(i, shown[i], &cased), "an input position holds a character it refuses");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype cut = bytes.indexOf('\n');
    const QString definition = QString::fromUtf8(cut < 0 ? bytes : bytes.left(cut));
    const QString typed = cut < 0 ? QString() : QString::fromUtf8(bytes.mid(cut + 1));

    const EditMask mask(definition);
    require(mask.definition() == definition, "the definition is not kept");
    require(mask.inputLength() <= mask.length(), "more input positions than positions");
    (void)mask.toQtInputMask();

    const QString shown = mask.filter(typed);
    checkDisplay(mask, shown);
    const QString value = mask.valueOf(shown);
    require(value.size() <= mask.length(), "the value is longer than the mask");
    const QString read = asRead(mask, shown);
    if (!read.isEmpty())
        require(mask.filter(value) == read, "the value does not filter back to its display");
    return 0;
}
