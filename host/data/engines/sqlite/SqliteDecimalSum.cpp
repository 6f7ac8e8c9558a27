#include "SqliteDecimalSum.h"

#include <QByteArray>
#include <sqlite3.h>

#include <cctype>
#include <charconv>
#include <cstdint>
#include <string_view>

namespace {
using Units = __int128; // of 10^-kScale
constexpr int kScale = 9;
// 10^37 units, 10^28 at the scale: far past any amount, and twice it still fits.
const Units kLimit = Units(10000000000000000LL) * Units(1000000000000LL) * Units(1000000000LL);

// SQLite's aggregate memory is only 8-byte aligned, so the 128-bit total is
// kept as two halves rather than as an __int128 member.
struct Sum {
    std::uint64_t low = 0;
    std::int64_t high = 0;
    bool any = false;
    bool failed = false;

    Units units() const { return Units(high) * (Units(1) << 64) + Units(low); }
    void setUnits(Units units)
    {
        low = std::uint64_t(units);
        high = std::int64_t(units >> 64);
    }
};

// Reads C-form decimal text ("-12.5", "1e+16", "3") as units, rounding half
// away from zero past the scale; false when it is no number or too large.
bool parse(std::string_view text, Units &out)
{
    while (!text.empty() && std::isspace(uchar(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(uchar(text.back())))
        text.remove_suffix(1);
    size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+'))
        ++i;
    Units units = 0;
    int digits = 0, decimals = 0;
    bool point = false;
    for (; i < text.size() && (std::isdigit(uchar(text[i])) || (text[i] == '.' && !point)); ++i) {
        if (text[i] == '.') {
            point = true;
            continue;
        }
        if (units > kLimit / 10)
            return false;
        units = units * 10 + (text[i] - '0');
        ++digits;
        decimals += point ? 1 : 0;
    }
    int exponent = 0;
    if (i + 1 < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        const char *from = text.data() + i + 1 + (text[i + 1] == '+' ? 1 : 0);
        const auto [end, error] = std::from_chars(from, text.data() + text.size(), exponent);
        if (error != std::errc() || end != text.data() + text.size() || exponent > 40 || exponent < -40)
            return false;
        i = text.size();
    }
    if (digits == 0 || i != text.size())
        return false;
    bool roundUp = false; // the last digit dropped is the highest of them
    for (int shift = exponent - decimals + kScale; shift != 0; shift += shift > 0 ? -1 : 1) {
        if (shift > 0) {
            if (units > kLimit / 10)
                return false;
            units *= 10;
        } else {
            roundUp = units % 10 >= 5;
            units /= 10;
        }
    }
    units += roundUp ? 1 : 0;
    out = negative ? -units : units;
    return true;
}

// A value as units: a REAL by its shortest text (the digits that were
// stored), an INTEGER as it is, anything else by its text.
bool valueOf(sqlite3_value *v, Units &out)
{
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        out = Units(sqlite3_value_int64(v));
        for (int i = 0; i < kScale; ++i)
            out *= 10;
        return true;
    case SQLITE_FLOAT: {
        char buffer[64];
        const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, sqlite3_value_double(v));
        return error == std::errc() && parse(std::string_view(buffer, size_t(end - buffer)), out);
    }
    default:
        return parse(std::string_view(reinterpret_cast<const char *>(sqlite3_value_text(v)),
                                      size_t(sqlite3_value_bytes(v))),
                     out);
    }
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
    if (!valueOf(argv[0], value)) {
        sum->failed = true;
        return;
    }
    const Units total = sum->units() + value;
    if (total > kLimit || total < -kLimit) {
        sum->failed = true;
        return;
    }
    sum->setUnits(total);
    sum->any = true;
}

void final(sqlite3_context *ctx)
{
    auto *sum = static_cast<Sum *>(sqlite3_aggregate_context(ctx, 0));
    if (sum && sum->failed) {
        sqlite3_result_error(ctx, "um valor gravado não é número ou é grande demais para somar. Corrija-o no banco de dados.",
                             -1);
        return;
    }
    if (!sum || !sum->any) {
        sqlite3_result_null(ctx);
        return;
    }
    const QByteArray text = decimalText(sum->units());
    sqlite3_result_text(ctx, text.constData(), int(text.size()), SQLITE_TRANSIENT);
}
} // namespace

int SqliteDecimalSum::install(sqlite3 *db)
{
    return sqlite3_create_function_v2(db, "DECIMAL_SUM", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, nullptr, step,
                                      final, nullptr);
}
