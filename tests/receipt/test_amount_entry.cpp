// Typing an amount: only digits, "/" and backspace are taken, and the text
// regroups itself by threes as the cashier types, the caret keeping its
// place among the digits.

#include "support/FormFixture.h"

#include <QApplication>
#include <QClipboard>

namespace {

class AmountEntryTest : public ShownFormFixture
{
protected:
    void SetUp() override
    {
        ShownFormFixture::SetUp();
        form().cmdNew_Click();
        ASSERT_EQ(mode(), ModeNew);
        box = child<QLineEdit>("txtRec");
        focused = focusInto(box);
        ASSERT_EQ(focused, box);
    }
    QLineEdit *box = nullptr;
    QWidget *focused = nullptr;
};

} // namespace

TEST_F(AmountEntryTest, DigitsGroupThemselvesAsTheyAreTypedOrDeleted)
{
    const std::pair<char, const char *> steps[] = {{'1', "1"}, {'2', "12"}, {'3', "123"}, {'4', "1/234"},
                                                   {'5', "12/345"}, {'6', "123/456"}, {'7', "1/234/567"}};
    for (const auto &[key, shown] : steps) {
        QTest::keyClick(focused, key);
        EXPECT_EQ(box->text(), QLatin1String(shown));
        EXPECT_EQ(box->cursorPosition(), box->text().size()) << shown;
    }
    // Backspace takes a digit and the separators follow.
    QTest::keyClick(focused, Qt::Key_Backspace);
    EXPECT_EQ(box->text(), QStringLiteral("123/456"));
    EXPECT_EQ(box->cursorPosition(), 7);
    // A digit typed in the middle keeps the caret after it.
    box->setCursorPosition(1);
    QTest::keyClick(focused, '9');
    EXPECT_EQ(box->text(), QStringLiteral("1/923/456"));
    EXPECT_EQ(box->cursorPosition(), 3);

    // Deleting the only digit leaves 0; arrows keep the caret.
    box->setText(QString());
    QTest::keyClick(focused, '5');
    QTest::keyClick(focused, Qt::Key_Backspace);
    EXPECT_EQ(box->text(), QStringLiteral("0"));
    EXPECT_EQ(box->cursorPosition(), 1);

    box->setText(QString());
    QTest::keyClicks(focused, QStringLiteral("98765"));
    QTest::keyClick(focused, Qt::Key_Left);
    QTest::keyClick(focused, Qt::Key_Left);
    EXPECT_EQ(box->text(), QStringLiteral("98/765"));
    EXPECT_EQ(box->cursorPosition(), 4);
    // Deleting the digit before a separator, caret at the start: never below 0.
    box->setCursorPosition(0);
    QTest::keyClick(focused, Qt::Key_Delete);
    EXPECT_EQ(box->text(), QStringLiteral("8/765"));
    EXPECT_EQ(box->cursorPosition(), 0);
}

TEST_F(AmountEntryTest, OtherCharactersAreRefusedOrReadByTheirLeadingNumber)
{
    QTest::keyClicks(focused, QStringLiteral("1234"));
    for (char refused : {'a', ',', '.', ' ', '-'})
        QTest::keyClick(focused, refused);
    typeText(focused, QStringLiteral("ب"));
    EXPECT_EQ(box->text(), QStringLiteral("1/234"));
    QTest::keyClick(focused, '/');
    EXPECT_EQ(box->text(), QStringLiteral("1/234"));
    EXPECT_EQ(box->cursorPosition(), 5);
    // The digit keys of the Persian layout (which the form switches to) type
    // Persian digits: they are digits, written as the others.
    typeText(focused, QStringLiteral("۵٦"));
    EXPECT_EQ(box->text(), QStringLiteral("123/456"));
    // Pasted text is read by its leading number at the next release, in
    // whichever digits it is written.
    box->selectAll();
    QApplication::clipboard()->setText(QStringLiteral("۱۲۵٠0۰۰ ريال"));
    QTest::keyClick(focused, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box->text(), QStringLiteral("1/250/000"));
    box->selectAll();
    QApplication::clipboard()->setText(QStringLiteral("abc"));
    QTest::keyClick(focused, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(box->text(), QStringLiteral("0"));
}

TEST_F(AmountEntryTest, TheDescriptionIsSelectedWholeWhenItGetsTheFocus)
{
    auto *description = child<QLineEdit>("txtDescription");
    description->setText(QStringLiteral("بابت فاكتور 12"));
    // The amount, the account and the rest come in the order they are filled in.
    QTest::keyClick(focused, Qt::Key_Tab);
    EXPECT_TRUE(child<QWidget>("TlvAccPicker")->isAncestorOf(QApplication::focusWidget()))
        << QApplication::focusWidget()->objectName().toStdString() << " in " << QApplication::focusWidget()->parentWidget()->objectName().toStdString();
    QWidget *branch = focusInto(child<QWidget>("sltBranch"));
    ASSERT_NE(branch, nullptr);
    QTest::keyClick(branch, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), description);
    EXPECT_EQ(description->selectedText(), description->text());
    // Typing replaces it.
    typeText(description, QStringLiteral("اجاره"));
    EXPECT_EQ(description->text(), QStringLiteral("اجاره"));
}
