#include "controls/DastelHistory.h"
#include "controls/FarvoPicker.h"
#include "controls/OmberAccountPicker.h"
#include "controls/OmberDate.h"
#include "controls/OmberSelector.h"
#include "support/FormFixture.h"

#include <QComboBox>
#include <QLabel>

namespace {

class LoadReceipt : public ShownFormFixture
{
protected:
    void SetUp() override
    {
        ShownFormFixture::SetUp();
        takeStatements();
    }
    void enter(const QString &typed)
    {
        child<QLineEdit>("txtID")->setText(typed);
        qint16 key = 13;
        form().txtID_KeyPress(key);
    }
};

} // namespace

TEST_F(LoadReceipt, ATemporaryReceiptOpensInModeThreeAndAFinalOneInModeFour)
{
    enter(QStringLiteral("6"));
    EXPECT_EQ(Module::context().FormMode, ModeViewTemporary);
    EXPECT_EQ(form().CurrentCode, -1);
    EXPECT_EQ(text("txtCode"), QString());
    EXPECT_EQ(text("txtRec"), QStringLiteral("640/000"));
    form().TimerButtons_Timer();
    EXPECT_FALSE(child<QWidget>("cmdReturnToTempState")->isEnabled());

    enter(QStringLiteral("1"));
    EXPECT_EQ(Module::context().FormMode, ModeViewFinal);
    EXPECT_EQ(form().CurrentReceiptID, 1);
    EXPECT_EQ(form().CurrentCode, 1);
    EXPECT_EQ(text("txtCode"), QStringLiteral("1"));
    EXPECT_EQ(text("txtRec"), QStringLiteral("12/500/000"));
    EXPECT_EQ(form().CurrentCashTurnID, 1);
    EXPECT_EQ(child<QLabel>("lblCashTurn")->text(), QStringLiteral("10"));
    form().TimerButtons_Timer();
    EXPECT_TRUE(child<QWidget>("cmdReturnToTempState")->isEnabled());
    EXPECT_EQ(child<DastelHistory>("DastelHistory1")->loadedRecordId(), 1);
    EXPECT_EQ(child<DastelHistory>("DastelHistory1")->entryCount(), 1);
}

TEST_F(LoadReceipt, EveryFieldComesFromTheReceiptAndTheTurn)
{
    enter(QStringLiteral("12"));
    EXPECT_EQ(text("txtID"), QStringLiteral("12"));
    EXPECT_EQ(child<FarvoPicker>("TlvAccPicker")->AccountID(), 110303);
    EXPECT_EQ(text("txtAddress"),
              QStringLiteral("فروشگاه زنجیره‌ای کوروش_تهران، بزرگراه ستاری، نبش خیابان پیامبر_021-44556677"));
    EXPECT_EQ(child<OmberSelector>("mptAchiever")->SelectedID(), 9);
    EXPECT_EQ(child<OmberSelector>("sltBranch")->SelectedID(), 1);
    EXPECT_TRUE(child<OmberSelector>("mptContracts")->IsEmpty());
    EXPECT_EQ(text("txtDescription"), QStringLiteral("فروش نقدی کالا طبق فاکتور 7712"));
    EXPECT_EQ(child<OmberDate>("dtpOpenDate")->Value().toDate(), QDate::currentDate().addDays(-4));
    // The receipt's turn is 756's shop turn.
    EXPECT_EQ(child<QLabel>("lblOpenerUser")->text(), QStringLiteral("مریم احمدی"));
    EXPECT_EQ(child<QLabel>("lblCash")->text(), QStringLiteral("صندوق فروشگاه"));
    EXPECT_EQ(form().CurrentCashID, 2);
    EXPECT_EQ(form().CurrentTurn, 7);

    // A second receipt replaces every field; what it lacks is cleared.
    enter(QStringLiteral("11"));
    EXPECT_TRUE(child<FarvoPicker>("TlvAccPicker")->IsEmpty());
    EXPECT_TRUE(child<OmberSelector>("mptAchiever")->IsEmpty());
    EXPECT_TRUE(child<OmberSelector>("sltBranch")->IsEmpty());
    EXPECT_EQ(text("txtAddress"), QString());
    EXPECT_EQ(form().CurrentCashID, 1);
}

TEST_F(LoadReceipt, APaymentOrAMissingNumberEmptiesTheForm)
{
    enter(QStringLiteral("7"));
    enter(QStringLiteral("15")); // the demo's payment
    EXPECT_EQ(Module::context().FormMode, ModeEmpty);
    EXPECT_EQ(text("txtRec"), QString());
    EXPECT_EQ(text("txtID"), QString());
    // Nothing acts on the receipt no longer shown: its code is gone, and
    // with it the return and document buttons.
    EXPECT_EQ(text("txtCode"), QString());
    EXPECT_FALSE(child<QWidget>("cmdReturnToTempState")->isEnabled());
    EXPECT_FALSE(child<QWidget>("cmdAccTrans")->isEnabled());
    EXPECT_EQ(ScriptedMessageBox::shown().last().title, QStringLiteral("خطا"));
    EXPECT_EQ(ScriptedMessageBox::shown().last().message, QStringLiteral("دريافت نقدي انتخاب شده يافت نشد."));
    // The history shown is that of the receipt that was on the form.
    EXPECT_EQ(form().CurrentReceiptID, 7);
    EXPECT_EQ(child<DastelHistory>("DastelHistory1")->loadedRecordId(), 7);
}

TEST_F(LoadReceipt, WithTheDetailLevelPickerTheLevelsAreLoadedAndNullsBecomeMinusOne)
{
    setParameter(311, QStringLiteral("1"));
    clearShow(486);
    enter(QStringLiteral("8"));
    auto *acc = child<OmberAccountPicker>("AccCredit");
    // The account, then each level's class and object.
    const auto levels = [acc] {
        QList<int> shown{acc->AccountID()};
        for (int level = 1; level <= 3; ++level)
            shown << acc->classId(level) << acc->objectId(level);
        return shown;
    };
    EXPECT_EQ(levels(), (QList<int>{110401, 7, 2, -1, -1, -1, -1}));
    enter(QStringLiteral("11"));
    EXPECT_EQ(levels(), QList<int>(7, -1));
}

TEST_F(LoadReceipt, OnlyEnterTypedInTheBoxOfAViewingModeLoadsAndOnce)
{
    QWidget *focused = focusInto(child<QLineEdit>("txtID"));
    ASSERT_EQ(focused, child<QLineEdit>("txtID"));
    // Other keys pass through untouched, even with a number too large to load.
    QTest::keyClicks(focused, QStringLiteral("99999999999"));
    for (int i = 0; i < 11; ++i)
        QTest::keyClick(focused, Qt::Key_Backspace);
    QTest::keyClicks(focused, QStringLiteral("12"));
    EXPECT_TRUE(ScriptedMessageBox::shown().isEmpty()) << ScriptedMessageBox::messages().join(u'\n').toStdString();
    EXPECT_TRUE(takeStatements().isEmpty());
    EXPECT_EQ(text("txtID"), QStringLiteral("12"));
    for (qint32 mode : {ModeNew, ModeEdit, ModeEditFinal}) {
        Module::context().FormMode = mode;
        qint16 enterKey = 13;
        form().txtID_KeyPress(enterKey);
    }
    EXPECT_TRUE(takeStatements().isEmpty());
    EXPECT_EQ(form().CurrentReceiptID, 0);
    Module::context().FormMode = ModeEmpty;
    QTest::keyClick(focused, Qt::Key_Return);
    EXPECT_EQ(form().CurrentReceiptID, 12);
    EXPECT_EQ(Module::context().FormMode, ModeViewFinal);
    EXPECT_EQ(takeStatements().filter(QStringLiteral("From vwRecPayCashTurnDetail")).size(), 1);
}

TEST_F(LoadReceipt, EmptyingTheAccountEmptiesItsOrganisationText)
{
    enter(QStringLiteral("12"));
    form().cmdEdit_Click();
    auto *picker = child<FarvoPicker>("TlvAccPicker");
    ASSERT_FALSE(text("txtAddress").isEmpty());
    QLineEdit *edit = picker->comboBox()->lineEdit();
    edit->clear();
    Q_EMIT edit->editingFinished();
    EXPECT_TRUE(picker->IsEmpty());
    EXPECT_TRUE(text("txtAddress").isEmpty());
}
