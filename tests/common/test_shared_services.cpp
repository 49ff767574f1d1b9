#include "common/ComponentRegistry.h"
#include "common/LateBound.h"
#include "common/Module.h"
#include "common/SharedServices.h"
#include "common/VbRuntime.h"
#include "core/PersianDate.h"
#include "data/DtEn.h"
#include "support/DemoDatabase.h"
#include "support/ScriptedMessageBox.h"
#include "common/ShownBoxes.h"

#include "support/Errors.h"
#include "support/StatementRecord.h"

namespace {

class SharedServicesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Module::reset();
        ScriptedMessageBox::install();
    }
    void TearDown() override { Module::reset(); }

    void connect()
    {
        Module::context().ConnectionString = db.connectionString();
        OpenConnection();
    }

    DemoDatabase db;
    StatementRecord record;
};

// A component reached by name only (the linked-operation tests reach the
// siblings' entry calls the same way).
class Sibling : public QObject
{
    Q_OBJECT
    Q_PROPERTY(qint32 UserID MEMBER userId)
    Q_PROPERTY(QString OLEConnectionString MEMBER connection)
public:
    qint32 userId = 0;
    QString connection;
    Q_INVOKABLE int Twice(int value) { return value * 2; }
};

} // namespace

TEST(AmountText, FormatThousandsGroupsEveryCharacterFromTheRight)
{
    // A sign is a character like any other.
    for (const auto &[text, grouped] : {std::pair{"1234567", "1/234/567"}, {"1000", "1/000"}, {"999", "999"},
                                        {"1", "1"}, {"", ""}, {"-123456", "-/123/456"}})
        EXPECT_EQ(FormatThousands(QLatin1String(text), QStringLiteral("/")), QLatin1String(grouped)) << text;
    EXPECT_EQ(FormatThousands(QStringLiteral("123456"), QStringLiteral(",")), QStringLiteral("123,456"));
}

TEST(AmountText, ParseAmountDropsSeparatorsAndReadsTheLeadingNumber)
{
    // Too large for currency: 0, not an error.
    for (const auto &[text, units] : {std::pair{"12/500/000", 12500000}, {"", 0}, {"1/2/3", 123}, {"12abc", 12},
                                      {"abc", 0}, {"-1/250", -1250}, {"0/000", 0}, {"99999999999999999999", 0}})
        EXPECT_EQ(ParseAmount(QLatin1String(text), QStringLiteral("/")), Currency::fromInteger(units)) << text;
    // The separator is removed without regard to case.
    EXPECT_EQ(ParseAmount(QStringLiteral("1X000x500"), QStringLiteral("x")), Currency::fromInteger(1000500));
}

TEST(AmountText, ToNumberTellsNoneTrueAndNumbersApart)
{
    for (const auto &[text, number] : {std::pair{"   ", -1}, {"True", 1}}) {
        EXPECT_EQ(ToNumber(QLatin1String(text)).userType(), qMetaTypeId<qint16>()) << text;
        EXPECT_EQ(ToNumber(QLatin1String(text)).toInt(), number) << text;
    }
    EXPECT_EQ(ToNumber(QStringLiteral("12/5")).toDouble(), 125); // a date the same way: InputEdges
    EXPECT_EQ(ToNumber(QStringLiteral("true")).toDouble(), 0); // only "True" exactly
    EXPECT_EQ(ToNumber(QStringLiteral("abc")).toDouble(), 0);
    EXPECT_EQ(ToNumber(QString()).toInt(), -1);
}

TEST_F(SharedServicesTest, MessagesGoThroughTheRegisteredComponentAndAMissingOneAnswersZero)
{
    ShowMessage(QStringLiteral("خطا"), QStringLiteral("متن"));
    EXPECT_EQ(shownBoxes(), QStringList{errorBox(QStringLiteral("متن"))});
    EXPECT_EQ(ScriptedMessageBox::shown()[0].type, 0);
    EXPECT_NE(ScriptedMessageBox::shown()[0].formBack, 0); // the suite's colours are given

    // A box closed neither yes nor no answers 0 (yes and no on the real box:
    // MessageBoxComponent).
    ScriptedMessageBox::answer(2);
    EXPECT_EQ(AskQuestion(QStringLiteral("هشدار"), QStringLiteral("آيا مطمئن هستيد؟")), 0);
    EXPECT_EQ(ScriptedMessageBox::shown().last().type, 1);

    // A missing message box shows nothing and answers 0.
    ScriptedMessageBox::uninstall();
    ScriptedMessageBox::clear();
    ShowMessage(QStringLiteral("خطا"), QStringLiteral("x"));
    EXPECT_EQ(AskQuestion(QStringLiteral("هشدار"), QStringLiteral("x")), 0);
    EXPECT_TRUE(ScriptedMessageBox::shown().isEmpty());
    ScriptedMessageBox::install();
}

TEST_F(SharedServicesTest, ServerDateComesFromTheDatabaseOrTheClient)
{
    EXPECT_EQ(GetServerDate(), QDate::currentDate());
    EXPECT_TRUE(record.entries().isEmpty()); // no connection string: no query

    // An open handle is closed first; a failing query falls back to the
    // client's date and leaves nothing open.
    connect();
    Module::dtEn().rssqlOmberTemplate.Open(QStringLiteral("Select * From tblOmberReportTemplate"));
    record.failNext(QStringLiteral("getdate"));
    EXPECT_EQ(GetServerDate(), QDate::currentDate());
    EXPECT_EQ(Module::dtEn().rssqlOmberTemplate.State(), 0);
    EXPECT_EQ(record.statements().filter(QStringLiteral("getdate"), Qt::CaseInsensitive).size(), 1); // it was asked
}

TEST_F(SharedServicesTest, UserNamesAndAccountingPeriods)
{
    connect();
    EXPECT_EQ(GetUserFullName(486), QStringLiteral("علی رضایی"));
    EXPECT_EQ(GetUserFullName(99999), QString());
    // No close-if-open test: a handle left open is an error that reaches the caller.
    Module::dtEn().rssqlUser.Open(QStringLiteral("Select * From tblUser"));
    EXPECT_EQ(errorNumber([] { GetUserFullName(486); }), VbError::ObjectOpen);
    Module::dtEn().rssqlUser.Close();

    // 623 has no period; last year's period of 486 is not active (this
    // year's lets every save of the receipt tests through).
    const QString today = PersianDate::today();
    EXPECT_FALSE(IsDateInUserPeriod(today, 623));
    EXPECT_FALSE(IsDateInUserPeriod(PersianDate::fromDate(QDate::currentDate().addYears(-1)), 486));
    EXPECT_EQ(shownBoxes(), QStringList(2, QStringLiteral("اشكال|تاريخ آخرين وضعيت در دوره مالي مجاز و فعال شما نمي باشد!")));
}

TEST_F(SharedServicesTest, AnErrorThatReachesAHandlerIsReportedOnceInPersian)
{
    runHandler([] { throw VbError::overflow(); });
    runHandler([] { throw VbError::database(QStringLiteral("database is locked")); });
    runHandler([] {}); // nothing escapes: nothing shown
    EXPECT_EQ(shownBoxes(), (QStringList{errorBox(QStringLiteral("عدد وارد شده بيش از حد مجاز است. (6)")),
                                         errorBox(QStringLiteral("خطا در پايگاه داده: database is locked"))}));
}

TEST(LateBinding, ComponentsAreCreatedByIdentifierAndReachedByName)
{
    ComponentRegistry::registerComponent(QStringLiteral("Test.Sibling"), [] { return new Sibling; });
    auto object = ComponentRegistry::create(QStringLiteral("test.sibling"));
    auto *sibling = qobject_cast<Sibling *>(object.get());
    ASSERT_NE(sibling, nullptr);

    LateBound::set(object.get(), "UserID", QStringLiteral("486"));
    EXPECT_EQ(sibling->userId, 486);
    LateBound::set(object.get(), "OLEConnectionString", QStringLiteral("Provider=SQLite"));
    EXPECT_EQ(LateBound::get(object.get(), "OLEConnectionString").toString(), QStringLiteral("Provider=SQLite"));
    EXPECT_EQ(LateBound::call(object.get(), "Twice", {QStringLiteral("21")}).toInt(), 42);

    EXPECT_EQ(errorNumber([&] { LateBound::set(object.get(), "NoSuchProperty", 1); }), LateBound::NoSuchMember);
    EXPECT_EQ(errorNumber([&] { LateBound::call(object.get(), "NoSuchMethod"); }), LateBound::NoSuchMember);
    EXPECT_EQ(errorNumber([&] { LateBound::set(object.get(), "UserID", QStringLiteral("abc")); }), VbError::TypeMismatch);
    ComponentRegistry::unregisterComponent(QStringLiteral("Test.Sibling"));
}

#include "test_shared_services.moc"
