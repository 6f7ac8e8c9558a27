// A decimal number held exactly: a whole count of units of 10^-scale (money
// as integer cents when the scale is 2). Sums of such numbers never drift as
// binary floating point does, and their text is exactly the digits kept.
//
// A value read from the database (an integer, a double from a SQLite REAL or
// a Firebird DOUBLE, the text of a Firebird NUMERIC) is taken by its shortest
// decimal text, the digits a person typed, and rounded half away from zero to
// the scale: 2.675 stored as a double becomes 2.68, as a person expects.
// Values beyond about 9.2e18 units (9.2e16 at two decimals) are refused
// (fromVariant, fromText give nullopt; plus() throws EHostError).
#pragma once

#include <QString>
#include <QVariant>
#include <optional>

class FixedDecimal {
public:
    static constexpr int MaxScale = 9;

    FixedDecimal() = default;
    FixedDecimal(qint64 units, int scale) : m_units(units), m_scale(scale) {}

    // nullopt for a null value, a text that is no number, or one too large.
    static std::optional<FixedDecimal> fromVariant(const QVariant &v, int scale);
    // C-form text: "-1234.5", "1e-3", "+7" (a comma is taken as the point).
    static std::optional<FixedDecimal> fromText(QStringView text, int scale);

    qint64 units() const { return m_units; }
    int scale() const { return m_scale; }
    bool isZero() const { return m_units == 0; }

    // The sum at this scale; other is rescaled (rounded) first.
    FixedDecimal plus(const FixedDecimal &other) const;
    FixedDecimal rescaled(int scale) const;

    // Every decimal of the scale, with the point given ("1234.50").
    QString text(QChar point = QLatin1Char('.')) const;
    // The shortest text of the same value: no trailing zeros ("1234.5").
    QString shortestText() const;
    // With thousands grouped: "1.234,50" (Brazilian form by default).
    QString grouped(QChar point = QLatin1Char(','), QChar thousands = QLatin1Char('.')) const;
    // The double nearest the value (what a spreadsheet cell holds).
    double toDouble() const;

    bool operator==(const FixedDecimal &o) const { return m_units == o.m_units && m_scale == o.m_scale; }

private:
    qint64 m_units = 0;
    int m_scale = 0;
};
