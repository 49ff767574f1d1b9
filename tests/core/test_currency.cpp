#include "core/Currency.h"
#include "core/VbError.h"

#include "support/Printers.h"

#include <gtest/gtest.h>

namespace {
bool overflows(const std::function<void()> &f)
{
    try {
        f();
    } catch (const VbError &e) {
        return e.number() == VbError::Overflow;
    }
    return false;
}
} // namespace

TEST(CurrencyType, ParsesDecimalTextExactly)
{
    EXPECT_EQ(Currency::fromDecimalText(QStringLiteral("12500000"))->raw(), 125000000000LL);
    EXPECT_EQ(Currency::fromDecimalText(QStringLiteral("-1.5"))->raw(), -15000);
    EXPECT_EQ(Currency::fromDecimalText(QStringLiteral(".25"))->raw(), 2500);
    // Beyond four places the fifth decides, halves to even.
    EXPECT_EQ(Currency::fromDecimalText(QStringLiteral("0.00005"))->raw(), 0);
    EXPECT_EQ(Currency::fromDecimalText(QStringLiteral("0.00015"))->raw(), 2);
    EXPECT_EQ(Currency::fromDecimalText(QStringLiteral("0.000051"))->raw(), 1);
    EXPECT_FALSE(Currency::fromDecimalText(QStringLiteral("12a")).has_value());
    EXPECT_FALSE(Currency::fromDecimalText(QStringLiteral("")).has_value());
    EXPECT_FALSE(Currency::fromDecimalText(QStringLiteral("-")).has_value());
}

TEST(CurrencyType, RangeIsThatOfA64BitTenThousandth)
{
    EXPECT_EQ(Currency::fromDecimalText(QStringLiteral("922337203685477.5807"))->raw(), INT64_MAX);
    EXPECT_TRUE(overflows([] { Currency::fromDecimalText(QStringLiteral("922337203685477.5808")); }));
    EXPECT_TRUE(overflows([] { Currency::fromDecimalText(QStringLiteral("99999999999999999999")); }));
    EXPECT_TRUE(overflows([] { (void)(Currency::fromRaw(INT64_MAX) + Currency::fromRaw(1)); }));
    EXPECT_TRUE(overflows([] { (void)(-Currency::fromRaw(INT64_MIN)); }));
    EXPECT_TRUE(overflows([] { Currency::fromDouble(1e20); }));
    EXPECT_TRUE(overflows([] { Currency::fromInteger(1000000000000000LL); }));
}

TEST(CurrencyType, TextFormsAndDoubleRounding)
{
    EXPECT_EQ(Currency::fromInteger(1500000).toString(), QStringLiteral("1500000"));
    EXPECT_EQ(Currency::fromRaw(125000).toString(), QStringLiteral("12.5"));
    EXPECT_EQ(Currency::fromRaw(-1).toString(), QStringLiteral("-0.0001"));
    EXPECT_EQ(Currency::fromRaw(INT64_MIN).toString(), QStringLiteral("-922337203685477.5808"));
    EXPECT_EQ(Currency::fromRaw(125000).toFixedString(), QStringLiteral("12.5000"));
    EXPECT_EQ(Currency::fromDouble(0.1 + 0.2), Currency::fromRaw(3000));
    EXPECT_LT(Currency::fromInteger(-1), Currency());
}
