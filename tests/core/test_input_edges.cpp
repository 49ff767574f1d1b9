// Numbers at the edges of what a cashier can type or a database can hold:
// other digit shapes, numbers beyond every range and the extreme amounts.
// The first and last Persian years: PersianDates.

#include "common/SharedServices.h"
#include "core/Currency.h"
#include "core/Vb.h"

#include "support/Errors.h"
#include "support/Printers.h"

#include <gtest/gtest.h>

// Digits of the Persian and Arabic layouts in Val: LeadingNumber.
TEST(InputEdges, PersianAndArabicIndicDigitsReadAsTheNumberTheyWrite)
{
    EXPECT_EQ(Vb::leadingNumberText(u" -۱2.٥0"), QStringLiteral("-12.50"));
    EXPECT_EQ(ParseAmount(QStringLiteral("۱۲/۵۰۰/000"), QStringLiteral("/")), Currency::fromInteger(12500000));
    EXPECT_EQ(ToNumber(QStringLiteral("۱۳۹۹/۰۲/۳۱")).toDouble(), 13990231.0);
    EXPECT_EQ(Vb::foldDigits(QStringLiteral("فاکتور ۴۳۱۲ و ٤٣")), QStringLiteral("فاکتور 4312 و 43"));
}

TEST(InputEdges, NumbersNoDoubleHoldsAreAnOverflowNotZero)
{
    const QString huge(400, u'9');
    EXPECT_EQ(errorNumber([&] { Vb::val(huge); }), VbError::Overflow);
    // Twenty digits still fit a double; an amount they do not.
    EXPECT_EQ(Vb::val(QString(20, u'9')), 1e20);
    EXPECT_EQ(ParseAmount(QString(20, u'9'), QStringLiteral("/")), Currency());
    // ToNumber ends quietly with an empty result, as its trap does.
    EXPECT_FALSE(ToNumber(huge).isValid());
}

TEST(InputEdges, EveryAmountReadsBackFromItsOwnText)
{
    for (const qint64 raw : {qint64(INT64_MIN), qint64(INT64_MIN + 1), qint64(-1), qint64(0), qint64(INT64_MAX)}) {
        const Currency c = Currency::fromRaw(raw);
        EXPECT_EQ(Currency::fromDecimalText(c.toString()), c) << c.toString().toStdString();
        EXPECT_EQ(Currency::fromDecimalText(c.toFixedString()), c) << c.toFixedString().toStdString();
        EXPECT_EQ(ParseAmount(FormatThousands(c.toString(), QStringLiteral("/")), QStringLiteral("/")), c);
    }
    for (const char *text : {"-922337203685477.5809", "922337203685477.5808", "-922337203685477.58086"})
        EXPECT_EQ(errorNumber([=] { Currency::fromDecimalText(QLatin1String(text)); }), VbError::Overflow) << text;
    // Halves go to the even neighbour, which here is the most negative amount itself.
    EXPECT_EQ(Currency::fromDecimalText(QStringLiteral("-922337203685477.58075")), Currency::fromRaw(INT64_MIN));
}
