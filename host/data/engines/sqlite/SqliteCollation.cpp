#include "SqliteCollation.h"

#include <QCollator>
#include <QLocale>
#include <QString>
#include <sqlite3.h>

#include <cstring>

namespace {

bool digitsOnly(const char *text, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    return true;
}

int compareBytes(const char *a, int aBytes, const char *b, int bBytes)
{
    const int common = aBytes < bBytes ? aBytes : bBytes;
    const int c = common > 0 ? std::memcmp(a, b, size_t(common)) : 0;
    if (c != 0)
        return c;
    return aBytes == bBytes ? 0 : (aBytes < bBytes ? -1 : 1);
}

int comparePtBr(void *collator, int aBytes, const void *aText, int bBytes, const void *bText)
{
    const auto *a = static_cast<const char *>(aText);
    const auto *b = static_cast<const char *>(bText);
    if (digitsOnly(a, aBytes) && digitsOnly(b, bBytes))
        return compareBytes(a, aBytes, b, bBytes);
    const int c = static_cast<const QCollator *>(collator)->compare(QString::fromUtf8(a, aBytes),
                                                                     QString::fromUtf8(b, bBytes));
    // Texts the collator holds equal (characters it ignores) still get one order.
    return c != 0 ? c : compareBytes(a, aBytes, b, bBytes);
}

} // namespace

namespace SqliteCollation {

bool install(sqlite3 *db)
{
    // One collator per connection: a connection belongs to one thread.
    auto *collator = new QCollator(QLocale(QLocale::Portuguese, QLocale::Brazil));
    collator->setCaseSensitivity(Qt::CaseSensitive);
    collator->setIgnorePunctuation(false);
    return sqlite3_create_collation_v2(db, Name, SQLITE_UTF8, collator, comparePtBr,
                                       [](void *p) { delete static_cast<QCollator *>(p); })
        == SQLITE_OK;
}

} // namespace SqliteCollation
