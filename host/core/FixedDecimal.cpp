#include "FixedDecimal.h"
#include "Errors.h"

#include <QLocale>
#include <cmath>

namespace {
constexpr qint64 kPowers[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};

bool scaleUp(qint64 &v, int digits)
{
    for (; digits > 0; --digits)
        if (__builtin_mul_overflow(v, qint64(10), &v))
            return false;
    return true;
}

// Drops the last digits of a non-negative count, half away from zero.
qint64 roundOff(qint64 v, int digits)
{
    if (digits <= 0)
        return v;
    if (digits > 18)
        return 0;
    qint64 p = 1;
    for (int i = 1; i < digits; ++i)
        p *= 10;
    const qint64 firstDropped = (v / p) % 10;
    v /= p * 10;
    return firstDropped >= 5 ? v + 1 : v;
}
} // namespace

std::optional<FixedDecimal> FixedDecimal::fromText(QStringView text, int scale)
{
    const QStringView t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+'))
        negative = t[i++] == u'-';
    QByteArray digits; // significant digits; the value is digits * 10^exponent
    int exponent = 0;
    bool any = false, point = false;
    for (; i < t.size(); ++i) {
        const char16_t c = t[i].unicode();
        if ((c == u'.' || c == u',') && !point) {
            point = true;
        } else if (c >= u'0' && c <= u'9') {
            any = true;
            if (!digits.isEmpty() || c != u'0')
                digits.append(char(c));
            if (point)
                --exponent;
        } else {
            break;
        }
    }
    if (i < t.size() && (t[i] == u'e' || t[i] == u'E')) {
        bool ok = false;
        const int e = t.mid(i + 1).toInt(&ok);
        if (!ok || e > 400 || e < -400)
            return std::nullopt;
        exponent += e;
        i = t.size();
    }
    if (!any || i != t.size() || scale < 0 || scale > MaxScale)
        return std::nullopt;
    const qsizetype keep = digits.size() + exponent + scale; // digits left of the scale's last place
    qint64 units = 0;
    if (keep > 0 && !digits.isEmpty()) {
        bool ok = true;
        units = digits.left(keep).toLongLong(&ok);
        if (!ok || !scaleUp(units, int(keep - qMin(keep, digits.size()))))
            return std::nullopt;
    }
    // Half away from zero: the first digit dropped decides.
    if (keep >= 0 && keep < digits.size() && digits[keep] >= '5')
        ++units;
    return FixedDecimal(negative ? -units : units, scale);
}

std::optional<FixedDecimal> FixedDecimal::fromVariant(const QVariant &v, int scale)
{
    if (v.isNull() || !v.isValid() || scale < 0 || scale > MaxScale)
        return std::nullopt;
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UInt:
    case QMetaType::Long: {
        qint64 units = v.toLongLong();
        if (!scaleUp(units, scale))
            return std::nullopt;
        return FixedDecimal(units, scale);
    }
    case QMetaType::QString:
    case QMetaType::QByteArray:
        return fromText(v.toString(), scale);
    default: {
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (!ok || !std::isfinite(d))
            return std::nullopt;
        // The shortest text that reads back as the same double: the digits
        // that were stored, without the binary noise.
        return fromText(QString::number(d, 'g', QLocale::FloatingPointShortest), scale);
    }
    }
}

FixedDecimal FixedDecimal::rescaled(int scale) const
{
    if (scale == m_scale)
        return *this;
    qint64 u = m_units < 0 ? -m_units : m_units;
    if (scale > m_scale) {
        if (!scaleUp(u, scale - m_scale))
            throw EHostError(QStringLiteral("O valor %1 é grande demais para ser somado.").arg(text()));
    } else {
        u = roundOff(u, m_scale - scale);
    }
    return FixedDecimal(m_units < 0 ? -u : u, scale);
}

FixedDecimal FixedDecimal::plus(const FixedDecimal &other) const
{
    const FixedDecimal o = other.rescaled(m_scale);
    qint64 sum = 0;
    if (__builtin_add_overflow(m_units, o.m_units, &sum))
        throw EHostError(QStringLiteral("A soma de %1 e %2 é grande demais para ser calculada.").arg(text(), o.text()));
    return FixedDecimal(sum, m_scale);
}

QString FixedDecimal::text(QChar point) const
{
    const quint64 mag = m_units < 0 ? quint64(0) - quint64(m_units) : quint64(m_units);
    const quint64 p = quint64(kPowers[m_scale]);
    QString out = QString::number(mag / p);
    if (m_scale > 0)
        out += point + QString::number(mag % p).rightJustified(m_scale, QLatin1Char('0'));
    return m_units < 0 ? QLatin1Char('-') + out : out;
}

QString FixedDecimal::shortestText() const
{
    QString t = text();
    if (m_scale > 0) {
        while (t.endsWith(QLatin1Char('0')))
            t.chop(1);
        if (t.endsWith(QLatin1Char('.')))
            t.chop(1);
    }
    return t == QLatin1String("-0") ? QStringLiteral("0") : t;
}

QString FixedDecimal::grouped(QChar point, QChar thousands) const
{
    const QString plain = text(point);
    const bool negative = plain.startsWith(QLatin1Char('-'));
    const qsizetype pointAt = m_scale > 0 ? plain.size() - m_scale - 1 : plain.size();
    QString whole = plain.mid(negative ? 1 : 0, pointAt - (negative ? 1 : 0));
    for (qsizetype at = whole.size() - 3; at > 0; at -= 3)
        whole.insert(at, thousands);
    return (negative ? QStringLiteral("-") : QString()) + whole + plain.mid(pointAt);
}

double FixedDecimal::toDouble() const { return text().toDouble(); }
