#include "core/Currency.h"

#include "core/VbError.h"

#include <cmath>
#include <limits>

namespace {

qint64 checkedAdd(qint64 a, qint64 b)
{
    qint64 r;
    if (__builtin_add_overflow(a, b, &r))
        throw VbError::overflow();
    return r;
}

qint64 roundedUnits(const Currency &c)
{
    const qint64 q = c.raw() / Currency::Scale;
    const qint64 r = c.raw() % Currency::Scale;
    const qint64 half = Currency::Scale / 2;
    if (r > half || (r == half && (q % 2) != 0))
        return q + 1;
    if (r < -half || (r == -half && (q % 2) != 0))
        return q - 1;
    return q;
}

// So that a Currency inside a QVariant reads as a number or a text wherever
// Qt converts values (toInt, toDouble, toString, item views).
// A sibling component file carries its own copy of this code and shares the
// type's registration with the program that loads it: the converters are
// registered once, by whichever copy comes first.
const bool convertersRegistered = [] {
    if (QMetaType::hasRegisteredConverterFunction<Currency, QString>())
        return true;
    QMetaType::registerConverter<Currency, QString>(&Currency::toString);
    QMetaType::registerConverter<Currency, double>(&Currency::toDouble);
    QMetaType::registerConverter<Currency, qlonglong>([](const Currency &c) { return roundedUnits(c); });
    QMetaType::registerConverter<Currency, int>([](const Currency &c) { return int(roundedUnits(c)); });
    return true;
}();

} // namespace

Currency Currency::fromInteger(qint64 units)
{
    qint64 r;
    if (__builtin_mul_overflow(units, Scale, &r))
        throw VbError::overflow();
    return Currency(r);
}

Currency Currency::fromDouble(double value)
{
    if (!std::isfinite(value))
        throw VbError::overflow();
    const double scaled = value * double(Scale);
    // nearbyint honours the default rounding mode: to nearest, ties to even.
    const double rounded = std::nearbyint(scaled);
    if (rounded >= 9223372036854775808.0 || rounded < -9223372036854775808.0)
        throw VbError::overflow();
    return Currency(qint64(rounded));
}

std::optional<Currency> Currency::fromDecimalText(const QString &text)
{
    const QString t = text.trimmed();
    int i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+')) {
        negative = t[i] == u'-';
        ++i;
    }
    QString whole, fraction;
    bool point = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c == u'.' && !point) {
            point = true;
        } else if (c >= u'0' && c <= u'9') {
            (point ? fraction : whole).append(c);
        } else {
            return std::nullopt;
        }
    }
    if (whole.isEmpty() && fraction.isEmpty())
        return std::nullopt;

    // The magnitude in unsigned arithmetic, so that the most negative value,
    // which has no positive counterpart, reads back too.
    constexpr quint64 Limit = quint64(std::numeric_limits<qint64>::max()) + 1;
    quint64 units = 0;
    for (QChar c : whole) {
        if (__builtin_mul_overflow(units, quint64(10), &units)
            || __builtin_add_overflow(units, quint64(c.unicode() - u'0'), &units) || units > Limit)
            throw VbError::overflow();
    }
    quint64 magnitude = 0;
    if (__builtin_mul_overflow(units, quint64(Scale), &magnitude))
        throw VbError::overflow();

    // Four decimals kept; the fifth and beyond decide the rounding.
    quint64 frac = 0;
    for (int k = 0; k < 4; ++k)
        frac = frac * 10 + (k < fraction.size() ? fraction[k].unicode() - u'0' : 0);
    if (fraction.size() > 4) {
        const int next = fraction[4].unicode() - u'0';
        bool beyond = false;
        for (int k = 5; k < fraction.size(); ++k)
            beyond = beyond || fraction[k] != u'0';
        const bool roundUp = next > 5 || (next == 5 && (beyond || (frac % 2) == 1));
        if (roundUp)
            ++frac;
    }
    if (__builtin_add_overflow(magnitude, frac, &magnitude) || magnitude > Limit
        || (!negative && magnitude == Limit))
        throw VbError::overflow();
    return Currency(negative ? qint64(0 - magnitude) : qint64(magnitude));
}

QString Currency::toString() const
{
    const bool negative = m_raw < 0;
    // Work in unsigned so that the most negative value prints too.
    const quint64 magnitude = negative ? quint64(0) - quint64(m_raw) : quint64(m_raw);
    QString s = QString::number(magnitude / Scale);
    quint64 frac = magnitude % Scale;
    if (frac != 0) {
        QString f = QStringLiteral("%1").arg(frac, 4, 10, QLatin1Char('0'));
        while (f.endsWith(u'0'))
            f.chop(1);
        s += u'.' + f;
    }
    return negative ? u'-' + s : s;
}

QString Currency::toFixedString() const
{
    const bool negative = m_raw < 0;
    const quint64 magnitude = negative ? quint64(0) - quint64(m_raw) : quint64(m_raw);
    const QString s = QStringLiteral("%1.%2")
                          .arg(magnitude / Scale)
                          .arg(magnitude % Scale, 4, 10, QLatin1Char('0'));
    return negative ? u'-' + s : s;
}

Currency Currency::operator-() const
{
    if (m_raw == std::numeric_limits<qint64>::min())
        throw VbError::overflow();
    return Currency(-m_raw);
}

Currency Currency::operator+(Currency other) const
{
    return Currency(checkedAdd(m_raw, other.m_raw));
}

Currency Currency::operator-(Currency other) const
{
    qint64 r;
    if (__builtin_sub_overflow(m_raw, other.m_raw, &r))
        throw VbError::overflow();
    return Currency(r);
}
