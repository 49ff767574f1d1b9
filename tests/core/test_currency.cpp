#include "core/Currency.h"

#include "support/Errors.h"
#include "support/Printers.h"

#include <gtest/gtest.h>

TEST(CurrencyType, ParsesDecimalTextExactly)
{
    // Beyond four places the fifth decides, halves to even.
    for (const auto &[text, raw] : {std::pair{"12500000", 125000000000LL}, {"-1.5", -15000LL}, {".25", 2500LL},
                                    {"0.00005", 0LL}, {"0.00015", 2LL}, {"0.000051", 1LL}})
        EXPECT_EQ(Currency::fromDecimalText(QLatin1String(text))->raw(), raw) << text;
    for (const char *text : {"12a", "", "-"})
        EXPECT_FALSE(Currency::fromDecimalText(QLatin1String(text)).has_value()) << text;
}

// The range's ends as text: InputEdges.EveryAmountReadsBackFromItsOwnText.
TEST(CurrencyType, ArithmeticBeyondA64BitTenThousandthOverflows)
{
    EXPECT_EQ(errorNumber([] { (void)(Currency::fromRaw(INT64_MAX) + Currency::fromRaw(1)); }), VbError::Overflow);
    EXPECT_EQ(errorNumber([] { (void)(-Currency::fromRaw(INT64_MIN)); }), VbError::Overflow);
    EXPECT_EQ(errorNumber([] { Currency::fromDouble(1e20); }), VbError::Overflow);
    EXPECT_EQ(errorNumber([] { Currency::fromInteger(1000000000000000LL); }), VbError::Overflow);
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
