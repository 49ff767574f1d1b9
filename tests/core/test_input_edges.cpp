// Numbers and dates at the edges of what a cashier can type or a database
// can hold: other digit shapes, numbers beyond every range, the extreme
// amounts and the first and last Persian years.

#include "common/SharedServices.h"
#include "core/Currency.h"
#include "core/PersianDate.h"
#include "core/Vb.h"
#include "core/VbError.h"

#include "support/Errors.h"
#include "support/Printers.h"

#include <gtest/gtest.h>

TEST(InputEdges, PersianAndArabicIndicDigitsReadAsTheNumberTheyWrite)
{
    // A Persian keyboard layout types ۱۲, an Arabic one ١٢: both are 12.
    EXPECT_EQ(Vb::val(u"۱۲"), 12);
    EXPECT_EQ(Vb::val(u"١٢٣abc"), 123);
    EXPECT_EQ(Vb::leadingNumberText(u" -۱2.٥0"), QStringLiteral("-12.50"));
    EXPECT_EQ(ParseAmount(QStringLiteral("۱۲/۵۰۰/000"), QStringLiteral("/")), Currency::fromInteger(12500000));
    EXPECT_EQ(ToNumber(QStringLiteral("۱۳۹۹/۰۲/۳۱")).toDouble(), 13990231.0);
    EXPECT_EQ(Vb::foldDigits(QStringLiteral("فاکتور ۴۳۱۲ و ٤٣")), QStringLiteral("فاکتور 4312 و 43"));
    // Other letters still end the number.
    EXPECT_EQ(Vb::val(u"۱۲ب۳"), 12);
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
    EXPECT_EQ(errorNumber([&] { Vb::clng(Vb::val(QStringLiteral("۳۰۰۰۰۰۰۰۰۰"))); }), VbError::Overflow);
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

TEST(InputEdges, PersianDatesExistForFourDigitYearsOnly)
{
    const QDate first = PersianDate::toDate(QStringLiteral("0001/01/01"));
    ASSERT_TRUE(first.isValid());
    EXPECT_EQ(PersianDate::fromDate(first), QStringLiteral("0001/01/01"));
    // The day before has no four-digit year: no text, rather than one that
    // would read back as another day or sort among the stored ones wrongly.
    EXPECT_TRUE(PersianDate::fromDate(first.addDays(-1)).isEmpty());
    const QDate last = PersianDate::yearEnd(PersianDate::toDate(QStringLiteral("9999/06/01")));
    EXPECT_EQ(PersianDate::fromDate(last).left(8), QStringLiteral("9999/12/"));
    EXPECT_TRUE(PersianDate::fromDate(last.addDays(1)).isEmpty());
    EXPECT_FALSE(PersianDate::yearStart(QDate()).isValid());
    EXPECT_FALSE(PersianDate::yearEnd(QDate()).isValid());
}
