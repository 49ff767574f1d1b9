// What a cashier can type into the search form's boxes: quotes, wildcards
// and brackets are looked for as themselves, and what the clause cannot say
// (a control character, a number beyond any range) is told before anything
// runs, the form staying as it was. Other digit shapes: test_criteria.

#include "SearchFixture.h"

#include <QApplication>
#include <algorithm>

namespace {

class SearchInput : public SearchFixture
{
protected:
    void describe(int id, const QString &text)
    {
        db->exec(QStringLiteral("UPDATE tblRecPayCashTurnDetail SET Description = ? WHERE ID = ?"), {text, id});
    }
    QList<int> found(const QString &typed)
    {
        box("txtDescription")->setText(typed);
        runSearch();
        QList<int> ids = shownIds(); // the view's order is the engine's
        std::sort(ids.begin(), ids.end());
        return ids;
    }
    // The search told this (a null message: something) and ran nothing.
    void expectRefused(const QString &message, const char *focused)
    {
        ASSERT_EQ(ScriptedMessageBox::shown().size(), 1) << focused;
        EXPECT_EQ(ScriptedMessageBox::shown()[0].title, QStringLiteral("اشكال"));
        EXPECT_TRUE(message.isNull() ? !ScriptedMessageBox::shown()[0].message.isEmpty()
                                     : ScriptedMessageBox::shown()[0].message == message);
        EXPECT_TRUE(takeStatements().isEmpty());
        EXPECT_EQ(QApplication::focusWidget(), box(focused));
        ScriptedMessageBox::clear();
    }
};

} // namespace

TEST_F(SearchInput, QuotesWildcardsBracketsAndTheEscapeAreLookedForAsThemselves)
{
    describe(3, QStringLiteral("اجاره 50% سهم_الف [نقد] a\\b 'دفتر'"));
    describe(4, QStringLiteral("اجاره 500 سهم-الف نقد ab"));
    describe(5, QStringLiteral("اجاره 50 درصد"));
    EXPECT_EQ(found(QStringLiteral("50%")), QList<int>{3});
    EXPECT_EQ(found(QStringLiteral("سهم_الف")), QList<int>{3});
    EXPECT_EQ(found(QStringLiteral("[نقد]")), QList<int>{3});
    EXPECT_EQ(found(QStringLiteral("a\\b")), QList<int>{3});
    EXPECT_EQ(found(QStringLiteral("%")), QList<int>{3});
    // A quote is text: it is looked for, and one that would end the text
    // and add a condition adds none.
    EXPECT_EQ(found(QStringLiteral("'دفتر'")), QList<int>{3});
    EXPECT_EQ(found(QStringLiteral("x' OR 1=1 OR Description Like '")), QList<int>{});
    // Without them the search is what it always was.
    EXPECT_EQ(found(QStringLiteral("اجاره 50")), (QList<int>{3, 4, 5}));
    EXPECT_TRUE(ScriptedMessageBox::shown().isEmpty());
}

TEST_F(SearchInput, AControlCharacterIsToldAndTheGridKeepsItsRows)
{
    runSearch();
    const QList<int> before = shownIds();
    ASSERT_FALSE(before.isEmpty());
    ScriptedMessageBox::clear();
    takeStatements();
    ASSERT_NE(focusInto(box("txtCashTurnID")), nullptr);
    box("txtDescription")->setText(QStringLiteral("اجاره\tدفتر"));
    searchChild<QPushButton>("cmdSearch")->click();
    expectRefused(QStringLiteral("شرح جستجو نويسه اي دارد كه در شرح دريافت ها نمي آيد (سطر جديد، Tab يا نويسه كنترلي "
                                 "ديگر، در جاي 6). آن را پاك كنيد."),
                  "txtDescription");
    EXPECT_EQ(box("txtDescription")->selectedText(), QStringLiteral("\t"));
    EXPECT_EQ(shownIds(), before);
    EXPECT_EQ(found(QStringLiteral("اجاره")).isEmpty(), idsWhere(QStringLiteral("Description LIKE '%اجاره%'")).isEmpty());
}

TEST_F(SearchInput, NumbersBeyondTheirRangeAreToldNotTurnedIntoZero)
{
    // Typed, such an amount reads as 0 at once (the box shows it); put in
    // without a key, it is told, as is a turn beyond 32 bits and an ID
    // beyond a double.
    QTest::keyClicks(focusInto(box("txtReceivedTo")), QStringLiteral("9999999999999999"));
    EXPECT_EQ(box("txtReceivedTo")->text(), QStringLiteral("9"));
    for (const auto &[name, text] : {std::pair{"txtCashTurnID", QStringLiteral("3000000000")},
                                     {"txtReceivedTo", QStringLiteral("99999999999999999999")},
                                     {"txtIDFrom", QString(400, u'9')}}) {
        ScriptedMessageBox::clear();
        takeStatements();
        box(name)->setText(text);
        searchChild<QPushButton>("cmdSearch")->click();
        expectRefused({}, name);
        box(name)->clear();
    }
    // An ID bound beyond a 32-bit number is still a bound.
    box("txtIDFrom")->setText(QStringLiteral("99999999999"));
    runSearch();
    EXPECT_TRUE(shownIds().isEmpty());
    EXPECT_TRUE(ScriptedMessageBox::shown().isEmpty());
}
