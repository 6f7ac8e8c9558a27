#include "SqliteDecimalSum.h"

#include <QLocale>
#include <cctype>
#include <QString>
#include <sqlite3.h>

namespace {
using Units = __int128; // of 10^-kScale
constexpr int kScale = 9;
// 10^37 units, 10^28 at the scale: far past any amount, and twice it still fits.
const Units kLimit = Units(10000000000000000LL) * Units(1000000000000LL) * Units(1000000000LL);

struct Sum {
    Units units = 0;
    bool any = false;
    bool failed = false;
};

// Reads C-form decimal text ("-12.5", "1e+16", "3") as units, rounding half
// away from zero past the scale; false when it is no number or too large.
bool parse(const QByteArray &text, Units &out)
{
    qsizetype i = 0;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    QByteArray digits;
    int pointAt = -1;
    for (; i < text.size() && (std::isdigit(uchar(text[i])) || text[i] == '.'); ++i) {
        if (text[i] == '.')
            pointAt = pointAt < 0 ? int(digits.size()) : -2;
        else
            digits += text[i];
    }
    if (digits.isEmpty() || pointAt == -2)
        return false;
    int exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        bool ok = false;
        exponent = text.mid(i + 1).toInt(&ok);
        if (!ok || exponent > 40 || exponent < -40)
            return false;
        i = text.size();
    }
    if (i != text.size())
        return false;
    // value = digits * 10^(exponent - decimals); units = value * 10^kScale
    const int decimals = pointAt < 0 ? 0 : int(digits.size()) - pointAt;
    int shift = exponent - decimals + kScale;
    Units units = 0;
    for (const char c : digits) {
        if (units > kLimit / 10)
            return false;
        units = units * 10 + (c - '0');
    }
    for (; shift > 0; --shift) {
        if (units > kLimit / 10)
            return false;
        units *= 10;
    }
    bool roundUp = false;
    for (; shift < 0; ++shift) {
        roundUp = units % 10 >= 5;
        units /= 10;
    }
    units += roundUp ? 1 : 0;
    out = negative ? -units : units;
    return units <= kLimit;
}

QByteArray textOf(sqlite3_value *v)
{
    if (sqlite3_value_type(v) == SQLITE_FLOAT) // its shortest text: the digits stored
        return QString::number(sqlite3_value_double(v), 'g', QLocale::FloatingPointShortest).toLatin1();
    return QByteArray(reinterpret_cast<const char *>(sqlite3_value_text(v)), sqlite3_value_bytes(v)).trimmed();
}

QByteArray decimalText(Units units)
{
    const bool negative = units < 0;
    if (negative)
        units = -units;
    QByteArray digits;
    do {
        digits.prepend(char('0' + int(units % 10)));
        units /= 10;
    } while (units > 0);
    while (digits.size() <= kScale)
        digits.prepend('0');
    QByteArray text = digits.left(digits.size() - kScale) + '.' + digits.right(kScale);
    while (text.endsWith('0'))
        text.chop(1);
    if (text.endsWith('.'))
        text.chop(1);
    return negative && text != "0" ? '-' + text : text;
}

void step(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    auto *sum = static_cast<Sum *>(sqlite3_aggregate_context(ctx, sizeof(Sum)));
    if (!sum || sum->failed || sqlite3_value_type(argv[0]) == SQLITE_NULL)
        return;
    Units value = 0;
    if (!parse(textOf(argv[0]), value) || (sum->units += value) > kLimit || sum->units < -kLimit) {
        sum->failed = true;
        return;
    }
    sum->any = true;
}

void final(sqlite3_context *ctx)
{
    auto *sum = static_cast<Sum *>(sqlite3_aggregate_context(ctx, 0));
    if (sum && sum->failed) {
        sqlite3_result_error(ctx, "DECIMAL_SUM: um valor que não é número, ou uma soma grande demais", -1);
        return;
    }
    if (!sum || !sum->any) {
        sqlite3_result_null(ctx);
        return;
    }
    const QByteArray text = decimalText(sum->units);
    sqlite3_result_text(ctx, text.constData(), int(text.size()), SQLITE_TRANSIENT);
}
} // namespace

int SqliteDecimalSum::install(sqlite3 *db)
{
    return sqlite3_create_function_v2(db, "DECIMAL_SUM", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, nullptr, step,
                                      final, nullptr);
}
