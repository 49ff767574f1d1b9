// What a cashier can type into the search form's boxes: quotes, wildcards
// and brackets are looked for as themselves, other digit shapes are
// numbers, and what the clause cannot say (a control character, a number
// beyond any range) is told before anything runs, the form staying as it was.

#include "SearchFixture.h"

#include "support/Keyboard.h"
#include "support/ScriptedMessageBox.h"

#include <QApplication>
#include <algorithm>
#include <QClipboard>
#include <QPushButton>
#include <QTest>

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
    // The search told this and ran nothing.
    void expectRefused(const QString &message, const char *focused)
    {
        ASSERT_EQ(ScriptedMessageBox::shown().size(), 1);
        EXPECT_EQ(ScriptedMessageBox::shown()[0].title, QStringLiteral("اشكال"));
        EXPECT_EQ(ScriptedMessageBox::shown()[0].message, message);
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

TEST_F(SearchInput, OtherDigitShapesAreNumbersInEveryNumberBox)
{
    // Typed on the Persian layout: test_criteria. Pasted into an amount and
    // a number box, no key filter sees them.
    QWidget *from = focusInto(box("txtReceivedFrom"));
    ASSERT_EQ(from, box("txtReceivedFrom"));
    QApplication::clipboard()->setText(QStringLiteral("۵۰۰۰۰۰۰"));
    QTest::keyClick(from, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box("txtReceivedFrom")->text(), QStringLiteral("5/000/000"));
    QWidget *idTo = focusInto(box("txtIDTo"));
    QApplication::clipboard()->setText(QStringLiteral("١٠"));
    QTest::keyClick(idTo, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box("txtIDTo")->text(), QStringLiteral("١٠"));
    EXPECT_EQ(clause(), QStringLiteral("Where ReceivedValue >= 5000000 And  ID <= 10 And  PayedValue=0"));
    // A quote after the number is not part of it.
    box("txtCashTurnID")->setText(QStringLiteral("12' OR 1=1"));
    EXPECT_EQ(clause(), QStringLiteral("Where Turn = 12 AND ReceivedValue >= 5000000 And  ID <= 10 And  PayedValue=0"));
}

TEST_F(SearchInput, NumbersBeyondTheirRangeAreToldNotTurnedIntoZero)
{
    ASSERT_NE(focusInto(box("txtDescription")), nullptr);
    ScriptedMessageBox::clear();
    takeStatements();
    box("txtCashTurnID")->setText(QStringLiteral("3000000000"));
    searchChild<QPushButton>("cmdSearch")->click();
    expectRefused(QStringLiteral("شماره نوبت صندوق بيش از حد مجاز است."), "txtCashTurnID");
    box("txtCashTurnID")->clear();

    // Typed, such an amount reads as 0 at once (the box shows it); put in
    // without a key, it is told.
    QWidget *to = focusInto(box("txtReceivedTo"));
    QTest::keyClicks(to, QStringLiteral("9999999999999999"));
    EXPECT_EQ(box("txtReceivedTo")->text(), QStringLiteral("9"));
    box("txtReceivedTo")->setText(QStringLiteral("99999999999999999999"));
    searchChild<QPushButton>("cmdSearch")->click();
    expectRefused(QStringLiteral("مبلغ «تا» بيش از حد مجاز است."), "txtReceivedTo");
    box("txtReceivedTo")->clear();

    // An ID bound beyond a 32-bit number is still a bound; beyond a double it is not.
    box("txtIDFrom")->setText(QStringLiteral("99999999999"));
    runSearch();
    EXPECT_TRUE(shownIds().isEmpty());
    EXPECT_TRUE(ScriptedMessageBox::shown().isEmpty());
    takeStatements();
    box("txtIDFrom")->setText(QString(400, u'9'));
    searchChild<QPushButton>("cmdSearch")->click();
    expectRefused(QStringLiteral("شماره رايانه اي «از» بيش از حد مجاز است."), "txtIDFrom");

    // Put right, the search runs.
    box("txtIDFrom")->setText(QStringLiteral("1"));
    runSearch();
    EXPECT_EQ(shownIds().size(), 14);
}
