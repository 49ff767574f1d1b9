// The platform's values: conversions, the currency type, Persian dates, and
// numbers at the edges of what a cashier can type or a database can hold
// (other digit shapes, numbers beyond every range, the extreme amounts).

#include "common/SharedServices.h"
#include "core/Currency.h"
#include "core/PersianDate.h"
#include "core/Vb.h"
#include "support/Errors.h"
#include "support/Printers.h"

#include <QDateTime>
#include <gtest/gtest.h>

TEST(LeadingNumber, ReadsFromTheStartAndStopsAtTheFirstOtherCharacter)
{
    // No exponent in the rule; blanks are skipped inside the number too, as the platform does.
    // A Persian keyboard layout types ۱۲, an Arabic one ١٢: both are 12;
    // other letters still end the number.
    const std::pair<const char16_t *, double> cases[] = {{u"12abc", 12}, {u"abc", 0}, {u"", 0}, {u"   -5", -5},
                                                         {u"+7", 7}, {u"3x", 3}, {u"12.5.3", 12.5}, {u".5", 0.5},
                                                         {u"1/500/000", 1}, {u"-", 0}, {u"1e3", 1}, {u" 1 2 3", 123},
                                                         {u"۱۲", 12}, {u"١٢٣abc", 123}, {u"۱۲ب۳", 12}};
    for (const auto &[text, number] : cases)
        EXPECT_EQ(Vb::val(text), number) << QString::fromUtf16(text).toStdString();
    EXPECT_EQ(Vb::leadingNumberText(u"-0012.50kg"), QStringLiteral("-0012.50"));
    EXPECT_TRUE(Vb::leadingNumberText(u"abc").isEmpty());
}

TEST(IntegerConversions, RoundHalvesToEvenAndOverflowAtTheLimits)
{
    for (const auto &[value, rounded] : {std::pair{12.5, 12}, {13.5, 14}, {-2.5, -2}, {-3.5, -4}, {-0.0, 0},
                                         {2147483647.0, 2147483647}})
        EXPECT_EQ(Vb::clng(value), rounded) << value;
    EXPECT_EQ(Vb::cint(32767.4), 32767);
    EXPECT_EQ(Vb::cint(-32768.5), -32768); // the even neighbour is in range
    for (const double value : {32767.5, -32769.0, 40000.0})
        EXPECT_EQ(errorNumber([=] { Vb::cint(value); }), VbError::Overflow) << value;
    for (const double value : {2147483647.5, -2147483649.0, std::nan("")})
        EXPECT_EQ(errorNumber([=] { Vb::clng(value); }), VbError::Overflow) << value;
}

TEST(VariantConversions, NullAndTextFollowThePlatform)
{
    EXPECT_EQ(errorNumber([] { Vb::clng(QVariant()); }), VbError::InvalidUseOfNull);
    EXPECT_EQ(errorNumber([] { Vb::clng(QVariant(QStringLiteral("12abc"))); }), VbError::TypeMismatch);
    EXPECT_EQ(Vb::clng(QVariant(QStringLiteral(" 42 "))), 42);
    EXPECT_EQ(Vb::cint(QVariant(true)), -1);
    EXPECT_EQ(Vb::ccur(QVariant(QStringLiteral("1250000.25"))), Currency::fromRaw(12500002500));
    EXPECT_EQ(Vb::ccur(QVariant(7)), Currency::fromInteger(7));
}

TEST(TextForms, NumbersDatesAndNull)
{
    for (const auto &[value, text] : {std::pair{13990231.0, "13990231"}, {12.5, "12.5"}, {0.1 + 0.2, "0.3"},
                                      {1e15, "1E+15"}, {-0.0, "0"}})
        EXPECT_EQ(Vb::cstr(value), QLatin1String(text)) << value;
    EXPECT_EQ(Vb::textOf(QVariant()), QString());
    EXPECT_EQ(Vb::textOf(QVariant(true)), QStringLiteral("True"));
    EXPECT_EQ(Vb::textOf(QVariant(QDateTime(QDate(2026, 12, 5), QTime(0, 0)))), QStringLiteral("2026-12-05"));
    EXPECT_EQ(Vb::textOf(QVariant(QDateTime(QDate(2026, 12, 5), QTime(9, 5, 7)))),
              QStringLiteral("2026-12-05 09:05:07"));
    EXPECT_EQ(Vb::textOf(QVariant::fromValue(Currency::fromInteger(1500000))), QStringLiteral("1500000"));
    EXPECT_EQ(Vb::numberOf(QVariant()), 0);
    EXPECT_EQ(Vb::numberOf(QVariant(QStringLiteral("57"))), 57);
}

TEST(PersianDates, ConvertBothWaysWithTwoDigitMonthAndDayForFourDigitYearsOnly)
{
    EXPECT_EQ(PersianDate::fromDate(QDate(2026, 12, 5)), QStringLiteral("1405/09/14"));
    EXPECT_EQ(PersianDate::fromDate(QDate(2025, 3, 21)), QStringLiteral("1404/01/01"));
    EXPECT_EQ(PersianDate::fromDate(QDate(2025, 3, 20)), QStringLiteral("1403/12/30")); // leap year's last day
    EXPECT_EQ(PersianDate::toDate(QStringLiteral("1405/09/14")), QDate(2026, 12, 5));
    EXPECT_FALSE(PersianDate::toDate(QStringLiteral("1405/13/01")).isValid());
    EXPECT_FALSE(PersianDate::toDate(QStringLiteral("hello")).isValid());
    EXPECT_EQ(PersianDate::fromDate(PersianDate::yearStart(QDate(2026, 12, 5))), QStringLiteral("1405/01/01"));
    EXPECT_EQ(PersianDate::fromDate(PersianDate::yearEnd(QDate(2026, 12, 5))).left(8), QStringLiteral("1405/12/"));
    EXPECT_TRUE(PersianDate::fromDate(QDate()).isEmpty());

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
