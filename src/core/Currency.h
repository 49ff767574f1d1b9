#pragma once

#include <QMetaType>
#include <QString>
#include <compare>
#include <optional>

// Fixed-point money with four decimal places, held in 64 bits exactly as the
// platform's currency type: the range is about +-922 trillion. Arithmetic
// that leaves the range raises error 6 (overflow); nothing goes through double.
class Currency
{
public:
    static constexpr qint64 Scale = 10000;

    constexpr Currency() = default;

    static constexpr Currency fromRaw(qint64 tenThousandths) { return Currency(tenThousandths); }
    static Currency fromInteger(qint64 units);
    // Rounds to four places, halves to the even neighbour.
    static Currency fromDouble(double value);
    // Plain decimal text: optional sign, digits, optional point and digits.
    // More than four decimals are rounded half to even. nullopt when the text
    // is not such a number; overflow raises error 6.
    static std::optional<Currency> fromDecimalText(const QString &text);

    constexpr qint64 raw() const { return m_raw; }
    double toDouble() const { return double(m_raw) / Scale; }
    bool isWhole() const { return m_raw % Scale == 0; }
    // Whole units, truncated toward zero.
    qint64 units() const { return m_raw / Scale; }

    // The platform's text form: no grouping, no trailing zeros ("1500000", "12.5").
    QString toString() const;
    // Always four decimals ("12.5000"), for engines that read money as text.
    QString toFixedString() const;

    Currency operator-() const;
    Currency operator+(Currency other) const;
    Currency operator-(Currency other) const;
    Currency &operator+=(Currency other) { return *this = *this + other; }

    friend constexpr bool operator==(Currency, Currency) = default;
    friend constexpr auto operator<=>(Currency, Currency) = default;

private:
    constexpr explicit Currency(qint64 raw) : m_raw(raw) {}
    qint64 m_raw = 0;
};

Q_DECLARE_TYPEINFO(Currency, Q_PRIMITIVE_TYPE);
Q_DECLARE_METATYPE(Currency)
