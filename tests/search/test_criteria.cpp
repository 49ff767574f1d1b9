// The criteria, the clause they make and what the query finds.

#include "SearchFixture.h"

#include "controls/FarvoPicker.h"
#include "controls/OmberDate.h"
#include "controls/OmberSelector.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QLabel>

namespace {

class Criteria : public SearchFixture
{
protected:
    const QDate day = QDate::currentDate().addDays(-1);
    // Every criterion, set alone on its control, with the condition on the
    // view that names the receipts it should find.
    std::vector<std::pair<std::function<void()>, QString>> criteria()
    {
        const QString dayText = day.toString(QStringLiteral("yyyy-MM-dd"));
        const auto typed = [this](const char *name, const char *text) {
            return [=, this] { box(name)->setText(QString::fromUtf8(text)); };
        };
        return {
            {[this] { searchChild<QComboBox>("cmbCash")->setCurrentIndex(searchChild<QComboBox>("cmbCash")->findData(2)); },
             QStringLiteral("CashID = 2")},
            {typed("txtCashTurnID", "7"), QStringLiteral("Turn = 7")},
            // Text in the turn box reads as turn 0.
            {typed("txtCashTurnID", "abc"), QStringLiteral("Turn = 0")},
            {[this] { searchChild<OmberSelector>("mptOpenerUser")->setSelectedID(756); }, QStringLiteral("UserID = 756")},
            {typed("txtReceivedFrom", "1/250/000"), QStringLiteral("ReceivedValue >= 1250000")},
            {typed("txtReceivedTo", "640/000"), QStringLiteral("ReceivedValue <= 640000")},
            {typed("txtIDFrom", "12"), QStringLiteral("ID >= 12")},
            {typed("txtIDTo", "12/5"), QStringLiteral("ID <= 12")},
            {typed("txtDescription", "4312"), QStringLiteral("Description LIKE '%4312%'")},
            // Dates are whole days, the receipts of the lower day included.
            {[this] { searchChild<OmberDate>("dtpTransactionDateFrom")->setValue(day); },
             QStringLiteral("TransactionDate >= '%1'").arg(dayText)},
            {[this] { searchChild<OmberDate>("dtpTransactionDateTo")->setValue(day); },
             QStringLiteral("TransactionDate < '%1'").arg(day.addDays(1).toString(QStringLiteral("yyyy-MM-dd")))},
            {[this] { searchChild<FarvoPicker>("TlvAccSecondAccount")->setAccountID(110303); },
             QStringLiteral("RelatedAccountID = 110303")},
            {[this] { searchChild<FarvoPicker>("TlvAccAccount")->setAccountID(110102); }, QStringLiteral("AccountID = 110102")},
            {[this] { searchChild<OmberSelector>("mptContracts")->setSelectedID(2); }, QStringLiteral("ContractID = 2")},
            {[this] { searchChild<OmberSelector>("sltAchiever")->setSelectedID(9); }, QStringLiteral("AchieverID = 9")},
        };
    }
};

} // namespace

TEST_F(Criteria, EachCriterionAloneFindsTheReceiptsItNames)
{
    for (const auto &[set, condition] : criteria()) {
        search().cmdNewsearch_Click();
        set();
        runSearch();
        const QList<int> expected = idsWhere(condition + QStringLiteral(" AND PayedValue = 0"));
        EXPECT_EQ(shownIds(), expected) << condition.toStdString();
        EXPECT_LT(expected.size(), 14) << condition.toStdString() << " names every receipt";
    }
    // A range of one day finds that day's receipts whatever time of day
    // another program stored them at.
    db->exec(QStringLiteral("UPDATE tblRecPayCashTurnDetail SET TransactionDate = ? WHERE ID = 7"),
             {QDateTime(day, QTime(23, 59, 59))});
    search().cmdNewsearch_Click();
    searchChild<OmberDate>("dtpTransactionDateFrom")->setValue(day);
    searchChild<OmberDate>("dtpTransactionDateTo")->setValue(day);
    runSearch();
    EXPECT_TRUE(shownIds().contains(7));
}

TEST_F(Criteria, ATurnTypedOnThePersianLayoutIsThatTurnAndEnterSearches)
{
    QWidget *focused = focusInto(box("txtCashTurnID"));
    ASSERT_NE(focused, nullptr);
    typeText(focused, QStringLiteral("۱۲"));
    EXPECT_EQ(box("txtCashTurnID")->text(), QStringLiteral("12"));
    QTest::keyClick(focused, Qt::Key_Return);
    grid()->finishLoading();
    EXPECT_EQ(shownIds(), idsWhere(QStringLiteral("Turn = 12 AND PayedValue = 0")));
}

TEST_F(Criteria, PersianAndArabicLetterFormsAndDigitsFindTheSameReceipts)
{
    // Receipt 1 is stored with Persian yeh and keheh and Latin digits,
    // receipt 2 here with Arabic forms and digits.
    db->exec(QStringLiteral("UPDATE tblRecPayCashTurnDetail SET Description = ? WHERE ID = 2"),
             {QStringLiteral("تسويه حساب كامل ٤٢٩٠")});
    const std::pair<QString, QList<int>> cases[] = {
        {QStringLiteral("دریافت بابت فاکتور فروش شماره 4312"), {1}},
        {QStringLiteral("دريافت بابت فاكتور فروش شماره 4312"), {1}},
        {QStringLiteral("دریافت بابت فاکتور فروش شماره ۴۳۱۲"), {1}},
        {QStringLiteral("دريافت بابت فاكتور فروش شماره ٤٣١٢"), {1}},
        {QStringLiteral("تسویه حساب کامل 4290"), {2}},
        // Folding does not make different letters equal.
        {QStringLiteral("تسویه حساب کامل 4291"), {}},
    };
    for (const auto &[typed, ids] : cases) {
        box("txtDescription")->setText(typed);
        runSearch();
        EXPECT_EQ(shownIds(), ids) << typed.toStdString();
    }
}

TEST_F(Criteria, AllTogetherAreTakenAndNewSearchEmptiesThemKeepingTheRows)
{
    QStringList all;
    for (const auto &[set, condition] : criteria()) {
        set();
        all << condition;
    }
    all.removeAll(QStringLiteral("Turn = 7")); // the box holds the later "abc"
    runSearch();
    EXPECT_EQ(shownIds(), idsWhere(all.join(QStringLiteral(" AND ")) + QStringLiteral(" AND PayedValue = 0")));
    EXPECT_TRUE(ScriptedMessageBox::shown().isEmpty());
    const int rows = grid()->Rows();
    searchChild<QPushButton>("cmdNewsearch")->click();
    EXPECT_EQ(searchChild<QComboBox>("cmbCash")->currentIndex(), -1);
    EXPECT_GT(searchChild<QComboBox>("cmbCash")->count(), 0);
    for (const char *name : {"txtCashTurnID", "txtReceivedFrom", "txtReceivedTo", "txtIDFrom", "txtIDTo", "txtDescription"})
        EXPECT_TRUE(box(name)->text().isEmpty()) << name;
    for (const char *name : {"mptOpenerUser", "mptContracts", "sltAchiever"})
        EXPECT_TRUE(searchChild<OmberSelector>(name)->IsEmpty()) << name;
    for (const char *name : {"TlvAccSecondAccount", "TlvAccAccount"})
        EXPECT_TRUE(searchChild<FarvoPicker>(name)->IsEmpty()) << name;
    for (const char *name : {"dtpTransactionDateFrom", "dtpTransactionDateTo"})
        EXPECT_TRUE(searchChild<OmberDate>(name)->IsEmpty()) << name;
    EXPECT_EQ(grid()->Rows(), rows);
    // The next search filters on nothing: every receipt, never the demo's payment.
    ASSERT_EQ(idsWhere(QStringLiteral("PayedValue <> 0")).size(), 1);
    runSearch();
    EXPECT_EQ(shownIds(), idsWhere(QStringLiteral("PayedValue = 0")));
    EXPECT_EQ(shownIds().size(), 14);
}

TEST_F(Criteria, AmountAndNumberBoxesTakeDigitsTypedOrPastedInAnyShape)
{
    QWidget *focused = focusInto(box("txtReceivedFrom"));
    ASSERT_EQ(focused, box("txtReceivedFrom"));
    QTest::keyClicks(focused, QStringLiteral("12a3.4 "));
    EXPECT_EQ(box("txtReceivedFrom")->text(), QStringLiteral("1/234"));
    QWidget *idTo = focusInto(box("txtIDTo"));
    ASSERT_EQ(idTo, box("txtIDTo"));
    QTest::keyClicks(idTo, QStringLiteral("12x/3456"));
    // Receipt numbers keep plain digits: no regrouping.
    EXPECT_EQ(box("txtIDTo")->text(), QStringLiteral("12/3456"));

    // Other digit shapes pasted, where no key filter sees them, are numbers too.
    for (const auto &[into, pasted] : {std::pair{focused, QStringLiteral("۵۰۰۰۰۰۰")}, {idTo, QStringLiteral("١٠")}}) {
        static_cast<QLineEdit *>(focusInto(into))->selectAll();
        QApplication::clipboard()->setText(pasted);
        QTest::keyClick(into, Qt::Key_V, Qt::ControlModifier);
    }
    EXPECT_EQ(box("txtReceivedFrom")->text(), QStringLiteral("5/000/000"));
    EXPECT_EQ(box("txtIDTo")->text(), QStringLiteral("١٠"));
    // A quote after a number is not part of it.
    box("txtCashTurnID")->setText(QStringLiteral("12' OR 1=1"));
    runSearch();
    EXPECT_EQ(shownIds(), idsWhere(QStringLiteral("Turn = 12 AND ReceivedValue >= 5000000 AND ID <= 10 AND PayedValue = 0")));
}

TEST_F(Criteria, AFailingQueryIsReportedAndTheFormStaysUsable)
{
    runSearch();
    const int rows = grid()->Rows();
    // The search before the failing one is still loading: it stops where
    // it was, and says so.
    grid()->setSliceRows(3);
    searchChild<QPushButton>("cmdSearch")->click();
    record.failNext(QStringLiteral("vwRecPayCashTurnDetailSearch"), QStringLiteral("server gone"));
    searchChild<QPushButton>("cmdSearch")->click();
    ASSERT_EQ(shownBoxes().size(), 1);
    EXPECT_TRUE(shownBoxes()[0].startsWith(QStringLiteral("خطا|")) && shownBoxes()[0].contains(QStringLiteral("server gone")));
    EXPECT_EQ(grid()->Rows(), 1 + 3);
    EXPECT_TRUE(searchChild<QLabel>("lblFound")->text().contains(QStringLiteral("نيمه كاره")));
    runSearch();
    EXPECT_EQ(grid()->Rows(), rows);
}
