// The template filler with the values a query can really return at their
// edges: dates that are not dates, numbers beyond an amount, markup in text.

#include "core/Currency.h"
#include "report/ReportTemplate.h"

#include <QDateTime>
#include <gtest/gtest.h>

namespace {

QString refusal(const QVariant &value, const QString &formats)
{
    try {
        ReportTemplate::format(value, formats.split(u':', Qt::SkipEmptyParts), QStringLiteral("TransactionDate"));
    } catch (const ReportTemplate::Error &e) {
        return e.message;
    }
    return QString();
}

} // namespace

TEST(TemplateEdges, AnInvalidDateIsNoDateRatherThanACrash)
{
    // Found by fuzz_report_template: weekday and longdate indexed their
    // name tables with the parts of an invalid date.
    for (const QVariant &invalid : {QVariant(QDate()), QVariant(QDateTime()), QVariant(QDate::fromJulianDay(-1LL << 40))}) {
        for (const char *format : {"weekday", "longdate", "date", "time", "date:fa"})
            EXPECT_EQ(refusal(invalid, QLatin1String(format)),
                      QStringLiteral("مقدار فيلد «TransactionDate» تاريخ نيست و با قالب «%1» نمايش داده نمي شود.")
                          .arg(QString::fromLatin1(format).section(u':', 0, 0)))
                << format;
        // Shown without a format it is empty, as a null is.
        EXPECT_EQ(ReportTemplate::format(invalid, {}, QStringLiteral("d")), QString());
    }
    const ReportTemplate t = ReportTemplate::fromHtml(QStringLiteral("<p>{TransactionDate}|{TransactionDate:fa}</p>"));
    EXPECT_EQ(t.fill([](const QString &) { return QVariant(QDate()); }), QStringLiteral("<p>|</p>"));
}

TEST(TemplateEdges, AmountsBeyondTheRangeAndMarkupInTextAreTold)
{
    EXPECT_EQ(refusal(QStringLiteral("99999999999999999999"), QStringLiteral("amount")),
              QStringLiteral("مقدار فيلد «TransactionDate» عدد نيست و با قالب «amount» نمايش داده نمي شود."));
    EXPECT_EQ(ReportTemplate::format(QVariant::fromValue(Currency::fromRaw(INT64_MIN)), {QStringLiteral("amount")},
                                     QStringLiteral("x")),
              QStringLiteral("-922/337/203/685/477.5808"));
    const ReportTemplate t = ReportTemplate::fromHtml(QStringLiteral("<td>{Description:fa}</td>"));
    EXPECT_EQ(t.fill([](const QString &) { return QVariant(QStringLiteral("<b>1 & 2</b>")); }),
              QStringLiteral("<td>&lt;b&gt;۱ &amp; ۲&lt;/b&gt;</td>"));
}
