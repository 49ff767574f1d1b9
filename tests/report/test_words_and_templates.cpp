#include "report/PersianWords.h"
#include "report/ReportTemplate.h"
#include "report/RtlTables.h"

#include "core/Currency.h"

#include <QDateTime>
#include <QHash>
#include <QTemporaryDir>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using PersianText::words;

namespace {

// Fills a template from a map of values and returns the HTML, or the
// error message prefixed with "!".
QString filled(const QString &html, const QHash<QString, QVariant> &values)
{
    try {
        const ReportTemplate t = ReportTemplate::fromHtml(html);
        t.checkFields(values.keys());
        return t.fill([&](const QString &name) {
            for (auto it = values.cbegin(); it != values.cend(); ++it)
                if (it.key().compare(name, Qt::CaseInsensitive) == 0)
                    return it.value();
            return QVariant();
        });
    } catch (const ReportTemplate::Error &e) {
        return u'!' + e.message;
    }
}

} // namespace

TEST(PersianWords, SmallNumbersHundredsAndGroups)
{
    const QList<std::pair<qint64, const char *>> cases = {
        {0, "صفر"}, {1, "یک"}, {10, "ده"}, {11, "یازده"}, {20, "بیست"}, {100, "یکصد"}, {101, "یکصد و یک"},
        {1000, "یک هزار"}, {1001, "یک هزار و یک"}, {1000000, "یک میلیون"}, {1500000, "یک میلیون و پانصد هزار"},
        {999999999999, "نهصد و نود و نه میلیارد و نهصد و نود و نه میلیون و نهصد و نود و نه هزار و نهصد و نود و نه"},
        {219, "دویست و نوزده"}, {370045, "سیصد و هفتاد هزار و چهل و پنج"}, {12000000000, "دوازده میلیارد"},
        {1000000000000, "یک هزار میلیارد"}, {1000000000000000, "یک میلیون میلیارد"},
        {2000000000001, "دو هزار میلیارد و یک"}, {-250, "منفی دویست و پنجاه"},
    };
    for (const auto &[number, text] : cases)
        EXPECT_EQ(words(number), QString::fromUtf8(text)) << number;
    // The ends of the range are written without overflow.
    EXPECT_TRUE(words(std::numeric_limits<qint64>::min()).startsWith(QStringLiteral("منفی نه میلیارد")));
    EXPECT_TRUE(words(std::numeric_limits<qint64>::max()).endsWith(QStringLiteral("هشتصد و هفت")));
}

TEST(ReportTemplates, FormatsAsACashierReadsThem)
{
    const QVariant amount = QVariant::fromValue(Currency::fromInteger(1500000));
    const QDateTime monday(QDate(2024, 11, 25), QTime(9, 5));
    const auto show = [](const QVariant &v, const char *formats) {
        return ReportTemplate::format(v, QString::fromLatin1(formats).split(u':', Qt::SkipEmptyParts),
                                      QStringLiteral("F"));
    };
    EXPECT_EQ(show(amount, "amount"), QStringLiteral("1/500/000"));
    EXPECT_EQ(show(amount, "amount:fa"), QStringLiteral("۱/۵۰۰/۰۰۰"));
    EXPECT_EQ(show(QStringLiteral("1403/09/05 ٤2"), "fa"), QStringLiteral("۱۴۰۳/۰۹/۰۵ ۴۲")); // Arabic digits too
    EXPECT_EQ(show(QVariant::fromValue(Currency::fromRaw(-12345000)), "amount"), QStringLiteral("-1/234.5"));
    EXPECT_EQ(show(QVariant::fromValue(Currency::fromRaw(INT64_MIN)), "amount"),
              QStringLiteral("-922/337/203/685/477.5808"));
    EXPECT_THROW(show(QStringLiteral("99999999999999999999"), "amount"), ReportTemplate::Error); // beyond an amount
    EXPECT_EQ(show(QStringLiteral("12/500/000"), "words"), QStringLiteral("دوازده میلیون و پانصد هزار"));
    EXPECT_EQ(show(QVariant::fromValue(Currency::fromRaw(25000)), "words"), QStringLiteral("دو")); // 2.5 to even
    EXPECT_EQ(show(monday, ""), QStringLiteral("1403/09/05")); // a date never prints as Gregorian
    EXPECT_EQ(show(monday, "date:fa"), QStringLiteral("۱۴۰۳/۰۹/۰۵"));
    EXPECT_EQ(show(QStringLiteral("1403/09/05"), "longdate"), QStringLiteral("5 آذر 1403"));
    EXPECT_EQ(show(monday, "weekday"), QStringLiteral("دوشنبه"));
    EXPECT_EQ(show(QStringLiteral("2024-11-25 09:05:00"), "time"), QStringLiteral("09:05"));
    EXPECT_EQ(show(QVariant(), "amount:words"), QString()); // a null shows nothing
}

TEST(ReportTemplates, FieldsAreFilledEscapedAndBracesOutsideFieldsKept)
{
    const QString html = QStringLiteral(
        "<style>td { padding: 2px }</style><!-- {not a field} -->"
        "<p>{Title} {{x}} {amount : amount : fa}</p><p>{ID}</p>");
    EXPECT_EQ(filled(html, {{QStringLiteral("Title"), QStringLiteral("<b>A&B</b>\nC")},
                            {QStringLiteral("AMOUNT"), 1234},
                            {QStringLiteral("id"), QVariant()}}),
              QStringLiteral("<style>td { padding: 2px }</style><!-- {not a field} -->"
                             "<p>&lt;b&gt;A&amp;B&lt;/b&gt;<br/>C {x} ۱/۲۳۴</p><p></p>"));
}

TEST(ReportTemplates, MistakesInATemplateAreToldInPersian)
{
    const QHash<QString, QVariant> row = {{QStringLiteral("ID"), 8}, {QStringLiteral("Description"), QStringLiteral("x")}};
    EXPECT_EQ(filled(QStringLiteral("<p>{ID} {AccountTitel}</p>"), row),
              QStringLiteral("!فيلد «AccountTitel» الگوي چاپ در نتيجه پرس و جوي گزارش نيست."));
    // The other mistakes are told the same way, each naming what is wrong.
    const std::pair<const char *, const char *> mistakes[] = {
        {"<p>{ID:money}</p>", "«money»"},
        {"<p>{ID</p>", "آكولادي باز"},
        {"<p>{two words}</p>", "«two words»"},
        {"<p>{Description:amount}</p>", "«Description» عدد نيست"},
        {"<p>{?ID}x{/Description}</p>", "«{/Description}»"},
        {"<p>{!ID}x</p>", "«ID» در الگوي چاپ بسته نشده"},
    };
    for (const auto &[html, named] : mistakes)
        EXPECT_TRUE(filled(QString::fromUtf8(html), row).contains(QString::fromUtf8(named))) << html;

    // A path the suite's database writes with Windows separators is read.
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("reports"));
    QFile file(dir.filePath(QStringLiteral("reports/t.html")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<p>{ID}</p>");
    file.close();
    EXPECT_NO_THROW(ReportTemplate::load(dir.path() + QStringLiteral("/reports\\t.html")));
}

TEST(ReportTemplates, PaperComesFromTheTemplate)
{
    const ReportTemplate plain = ReportTemplate::fromHtml(QStringLiteral("<p>x</p>"));
    EXPECT_EQ(plain.pageSize().id(), QPageSize::A5);
    EXPECT_EQ(plain.orientation(), QPageLayout::Portrait);
    const ReportTemplate wide = ReportTemplate::fromHtml(
        QStringLiteral("<meta content=\"landscape\" name=\"page-orientation\"><meta name='page-size' content='a4'>"));
    EXPECT_EQ(wide.pageSize().id(), QPageSize::A4);
    EXPECT_EQ(wide.orientation(), QPageLayout::Landscape);
    EXPECT_THROW(ReportTemplate::fromHtml(QStringLiteral("<meta name=\"page-size\" content=\"B9\">")), ReportTemplate::Error);
}

TEST(RightToLeftTables, CellsAreMirroredRowByRowNestedTablesTooUnlessMarkedLeftToRight)
{
    EXPECT_EQ(rightToLeftTables(QStringLiteral("<p>a</p><table><tr><td>1</td> <th x>2</th> <td>3</td></tr></table>")),
              QStringLiteral("<p>a</p><table><tr><td>3</td> <th x>2</th> <td>1</td></tr></table>"));
    // A rowspan keeps its column: the second row's cells fall on each side of it.
    EXPECT_EQ(rightToLeftTables(QStringLiteral(
                  "<table><tr><td>A</td><td rowspan=2>T</td><td>B</td></tr><tr><td>C</td><td>D</td></tr></table>")),
              QStringLiteral(
                  "<table><tr><td>B</td><td rowspan=2>T</td><td>A</td></tr><tr><td>D</td><td>C</td></tr></table>"));
    EXPECT_EQ(rightToLeftTables(QStringLiteral(
                  "<TABLE><TR><TD>1<table><tr><td>a</td><td>b</td></tr></table></TD><TD>2</TD></TR></TABLE>")),
              QStringLiteral(
                  "<TABLE><TR><TD>2</TD><TD>1<table><tr><td>b</td><td>a</td></tr></table></TD></TR></TABLE>"));
    const QString ltr = QStringLiteral("<table dir=\"ltr\"><thead><tr><td>1</td><td>2</td></tr></thead></table>");
    EXPECT_EQ(rightToLeftTables(ltr), ltr);
}

// A date a query can really return that is no date.
TEST(ReportTemplates, AnInvalidDateIsNoDateRatherThanACrash)
{
    // Found by fuzz_report_template: weekday and longdate indexed their
    // name tables with the parts of an invalid date.
    for (const QVariant &invalid : {QVariant(QDate()), QVariant(QDateTime()), QVariant(QDate::fromJulianDay(-1LL << 40))}) {
        const QHash<QString, QVariant> row = {{QStringLiteral("TransactionDate"), invalid}};
        for (const QString format : {"weekday", "longdate", "date", "time", "date:fa"})
            EXPECT_EQ(filled(u'{' + QStringLiteral("TransactionDate:") + format + u'}', row),
                      QStringLiteral("!مقدار فيلد «TransactionDate» تاريخ نيست و با قالب «%1» نمايش داده نمي شود.")
                          .arg(format.section(u':', 0, 0)))
                << format.toStdString();
        // Shown without a format it is empty, as a null is.
        EXPECT_EQ(filled(QStringLiteral("<p>{TransactionDate}|{TransactionDate:fa}</p>"), row), QStringLiteral("<p>|</p>"));
    }
}
