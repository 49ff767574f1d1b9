// What a cashier can put into the boxes that reach SQL on the receipt form
// (description, amount, receipt number): quotes and wildcards stored as
// typed, text longer than the column or with a pasted line break refused
// with a clear message and nothing written, other digit shapes read as the
// number they are (in the amount: test_amount_entry), numbers beyond every
// range refused; the form stays usable after each.

#include "support/FormFixture.h"

#include <QApplication>
#include <QClipboard>

namespace {

class BadInput : public ShownFormFixture
{
protected:
    void SetUp() override
    {
        ShownFormFixture::SetUp();
        typeNewReceipt(QStringLiteral("1/250/000"), 110303);
        ScriptedMessageBox::clear();
        record.clear();
    }
    QLineEdit *description() { return child<QLineEdit>("txtDescription"); }
    QLineEdit *amount() { return child<QLineEdit>("txtRec"); }
    QString storedDescription() { return stored("Description", form().CurrentReceiptID).toString(); }
    // The save was refused before anything was written.
    void expectRefused(const QString &message)
    {
        EXPECT_EQ(shownBoxes(), QStringList{QStringLiteral("اشكال|") + message});
        EXPECT_TRUE(callsOf(QStringLiteral("spRecPayInsertCashTurnDetail")).isEmpty());
        EXPECT_EQ(mode(), ModeNew);
        ScriptedMessageBox::clear();
    }
};

} // namespace

TEST_F(BadInput, ADescriptionLongerThanTheColumnIsRefusedNotCut)
{
    const int receipts = db->count(QStringLiteral("tblRecPayCashTurnDetail"));
    // Blanks around it do not count, as the save trims them.
    ASSERT_EQ(focusInto(description()), description());
    const QString longest = QStringLiteral("  ") + QString(250, QChar(u'ب'));
    description()->setText(longest + QStringLiteral("ج  "));
    form().cmdSave_Click();
    expectRefused(QStringLiteral("شرح دريافت 251 نويسه است ولي بيش از 250 نويسه ذخيره نمي شود. آن را كوتاه كنيد."));
    // The part beyond the limit is shown selected, the rest as typed.
    EXPECT_TRUE(QTest::qWaitFor([&] { return description()->selectedText() == QStringLiteral("ج"); }, 10000));
    EXPECT_EQ(db->count(QStringLiteral("tblRecPayCashTurnDetail")), receipts);
    // The draft save, which checks nothing else, refuses what no column takes.
    form().cmdRegSave_Click();
    expectRefused(QStringLiteral("شرح دريافت 251 نويسه است ولي بيش از 250 نويسه ذخيره نمي شود. آن را كوتاه كنيد."));
    // The save's own checks come first.
    amount()->clear();
    form().cmdSave_Click();
    EXPECT_EQ(shownBoxes(), QStringList{QStringLiteral("اشکال|مبلغ بايد مقدار داشته  باشد!")});
    ScriptedMessageBox::clear();
    amount()->setText(QStringLiteral("1/250/000"));

    // Shortened to the limit, it is stored whole.
    description()->setText(longest + QStringLiteral("  "));
    form().cmdSave_Click();
    EXPECT_EQ(mode(), ModeViewFinal) << ScriptedMessageBox::messages().join(u'\n').toStdString();
    EXPECT_EQ(storedDescription(), QString(250, QChar(u'ب')));
}

TEST_F(BadInput, APastedLineBreakIsRefusedWhereItIs)
{
    QWidget *box = focusInto(description());
    ASSERT_EQ(box, description());
    QApplication::clipboard()->setText(QStringLiteral("اجاره\nدفتر"));
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(description()->text(), QStringLiteral("اجاره\nدفتر"));
    form().cmdSave_Click();
    expectRefused(QStringLiteral("شرح دريافت نويسه اي دارد كه ذخيره نمي شود (سطر جديد، Tab يا نويسه كنترلي ديگر، در "
                                 "جاي 6). آن را پاك كنيد."));
    EXPECT_TRUE(QTest::qWaitFor([&] { return description()->selectedText() == QStringLiteral("\n"); }, 10000));
    // Typing over the selection is all it takes.
    typeText(QApplication::focusWidget(), QStringLiteral(" "));
    form().cmdSave_Click();
    EXPECT_EQ(mode(), ModeViewFinal);
    EXPECT_EQ(storedDescription(), QStringLiteral("اجاره دفتر"));
    // A draft checks nothing the database can store: it keeps the line break.
    typeNewReceipt(QStringLiteral("1/000"), 110303);
    description()->setText(QStringLiteral("اجاره\nدفتر"));
    form().cmdRegSave_Click();
    EXPECT_EQ(mode(), ModeViewTemporary) << ScriptedMessageBox::messages().join(u'\n').toStdString();
    EXPECT_EQ(storedDescription(), QStringLiteral("اجاره\nدفتر"));
}

TEST_F(BadInput, QuotesAndWildcardsAreStoredAndShownAsTyped)
{
    const QString typed = QStringLiteral("it's 50% of _[x]' OR '1'='1 -- ; \\ «نقد»");
    description()->setText(typed);
    form().cmdSave_Click();
    ASSERT_EQ(mode(), ModeViewFinal) << ScriptedMessageBox::messages().join(u'\n').toStdString();
    EXPECT_EQ(storedDescription(), typed);
    // The document's rows are the receipt's: nothing else was touched.
    EXPECT_EQ(db->count(QStringLiteral("tblRecPayCashTurnDetail WHERE Description = 'x'")), 0);
    const qint32 id = form().CurrentReceiptID;
    form().ClearForm();
    loadReceipt(id);
    EXPECT_EQ(description()->text(), typed);
}

TEST_F(BadInput, AnAmountBeyondTheRangeReadsAsZeroAndIsNeverSavedAsZero)
{
    QWidget *box = focusInto(amount());
    ASSERT_EQ(box, amount());
    amount()->selectAll();
    // Typed beyond the range, it reads as 0 at once, as the conversion reads it.
    QTest::keyClicks(box, QString(14, u'9'));
    EXPECT_EQ(amount()->text(), QStringLiteral("99/999/999/999/999"));
    QTest::keyClick(box, Qt::Key_9);
    EXPECT_EQ(amount()->text(), QStringLiteral("0"));
    // Set without a key (as a paste from another program's automation
    // would), the box has not regrouped: neither save stores a 0 for it.
    setParameter(3383, QStringLiteral("0"));
    const QString tooLarge = QStringLiteral("1/000/000/000/000/000/000/000/000");
    amount()->setText(tooLarge);
    form().cmdSave_Click();
    expectRefused(QStringLiteral("مبلغ وارد شده بيش از حد مجاز است."));
    EXPECT_EQ(QApplication::focusWidget(), amount());
    form().cmdRegSave_Click();
    expectRefused(QStringLiteral("مبلغ وارد شده بيش از حد مجاز است."));
    EXPECT_EQ(amount()->text(), tooLarge);
}

TEST_F(BadInput, TheReceiptNumberReadsOtherDigitsAndRefusesWhatNoReceiptCanBe)
{
    ScriptedMessageBox::answer(1);
    form().cmdCancel_Click();
    ASSERT_EQ(mode(), ModeEmpty);
    QLineEdit *number = child<QLineEdit>("txtID");
    QWidget *box = focusInto(number);
    ASSERT_EQ(box, number);

    typeText(box, QStringLiteral("۸"));
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(form().CurrentReceiptID, 8);
    EXPECT_EQ(number->text(), QStringLiteral("8"));

    // What follows the number never reaches the statement.
    takeStatements();
    number->setText(QStringLiteral("3' OR 1=1 --"));
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(form().CurrentReceiptID, 3);
    EXPECT_TRUE(takeStatements().contains(
        QStringLiteral("Select * From vwRecPayCashTurnDetail Where ID=3 And PayedValue = 0")));

    // Beyond a 32-bit number, or beyond any number: told, and the form goes on.
    ScriptedMessageBox::clear();
    for (const QString &text : {QStringLiteral("۳۰۰۰۰۰۰۰۰۰"), QString(400, u'9')}) {
        number->setText(text);
        QTest::keyClick(box, Qt::Key_Return);
        ASSERT_EQ(ScriptedMessageBox::shown().size(), 1) << text.toStdString();
        EXPECT_EQ(ScriptedMessageBox::shown()[0].message, QStringLiteral("عدد وارد شده بيش از حد مجاز است. (6)"));
        EXPECT_EQ(form().CurrentReceiptID, 3);
        ScriptedMessageBox::clear();
    }
    number->setText(QStringLiteral("8"));
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(form().CurrentReceiptID, 8);
}
