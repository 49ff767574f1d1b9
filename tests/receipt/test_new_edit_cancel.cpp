// Starting, editing and abandoning a receipt: rights, the cash turn's owner
// and state, the questions and what each answer leaves on the form.

#include "controls/FarvoPicker.h"
#include "controls/OmberDate.h"
#include "controls/OmberSelector.h"
#include "support/FormFixture.h"

#include <QAction>
#include <QApplication>
#include <QLabel>

namespace {

const QString TurnClosed =
    QStringLiteral("نوبت صندوق فوق بسته ميباشد جهت دريافت بايد يك نوبت صندوق باز را انتخاب نماييد .");
const QString ClosedTurnQuestion = QStringLiteral("نوبت صندوق متناظر بسته شده است. آيا ادامه مي دهيد؟");

using NewEditCancel = ShownFormFixture;

} // namespace

TEST_F(NewEditCancel, NewInTheUsersOwnOpenTurnStartsAnEmptyReceiptDatedToday)
{
    loadReceipt(7);
    form().cmdNew_Click();
    EXPECT_EQ(mode(), ModeNew);
    EXPECT_TRUE(ScriptedMessageBox::shown().isEmpty());
    EXPECT_EQ(child<QLabel>("lblMessage")->text(), QStringLiteral("دريافت جديد"));
    EXPECT_EQ(child<OmberDate>("dtpOpenDate")->Value().toDate(), QDate::currentDate());
    for (const char *name : {"txtID", "txtCode", "txtRec", "txtDescription"})
        EXPECT_TRUE(text(name).isEmpty()) << name;
    EXPECT_EQ(form().CurrentReceiptID, 0);
    EXPECT_EQ(form().CurrentCashTurnID, 3);
}

TEST_F(NewEditCancel, NewIsRefusedInItsOrderAndAlwaysForgetsTheNumberOnTheForm)
{
    // No cash box chosen (a user without an open turn).
    frmRPDCashRec::destroyInstance();
    clearShow(512);
    db->exec(QStringLiteral("INSERT INTO tblOmberUserPermission VALUES (512, 20601)"));
    form().cmdNew_Click();
    EXPECT_EQ(lastBox().message, QStringLiteral("حهت دريافت بايد نوبت يك صندوق باز را انتخاب كنيد ."));
    EXPECT_EQ(mode(), ModeEmpty);

    // A receipt of another user's turn is shown (486 is only a member of 756's turn).
    clearShow(486);
    loadReceipt(12);
    ASSERT_EQ(mode(), ModeViewFinal);
    form().cmdNew_Click();
    EXPECT_EQ(lastBox().message, TurnClosed);
    EXPECT_EQ(mode(), ModeViewFinal);
    EXPECT_TRUE(text("txtID").isEmpty());
    EXPECT_EQ(form().CurrentReceiptID, 0);
    EXPECT_EQ(text("txtCode"), QStringLiteral("9")); // the rest stays

    // A receipt of the user's own closed turn.
    loadReceipt(4);
    form().cmdNew_Click();
    EXPECT_EQ(lastBox().message, TurnClosed);
}

TEST_F(NewEditCancel, NewGoesIntoTheTurnOfTheReceiptLoadedLast)
{
    // A second open turn of 486, with a receipt in it.
    db->exec(QStringLiteral("INSERT INTO tblRecPayCashTurn (ID, CashID, Turn, UserID, IsOpen) VALUES (40, 2, 8, 486, 1)"));
    db->exec(QStringLiteral("UPDATE tblRecPayCashTurnDetail SET CashTurnID = 40 WHERE ID = 10"));
    clearShow(486);
    ASSERT_EQ(form().CurrentCashTurnID, 3);
    loadReceipt(10);
    form().cmdNew_Click();
    EXPECT_EQ(mode(), ModeNew);
    EXPECT_EQ(form().CurrentCashTurnID, 40);
    EXPECT_EQ(form().CurrentCashID, 2);
}

TEST_F(NewEditCancel, EditFollowsTheTurnsOwnerStateAndTheRights)
{
    // Own open turn: mode 2, the amount gets the focus.
    loadReceipt(7);
    QWidget *amount = child<QLineEdit>("txtRec");
    focusInto(child<QLineEdit>("txtID"));
    form().cmdEdit_Click();
    EXPECT_EQ(mode(), ModeEdit);
    EXPECT_EQ(QApplication::focusWidget(), amount);

    // A turn whose IsOpen is null counts as open.
    db->exec(QStringLiteral("UPDATE tblRecPayCashTurn SET IsOpen = NULL WHERE ID = 3"));
    Module::context().FormMode = ModeViewFinal;
    form().cmdEdit_Click();
    EXPECT_EQ(mode(), ModeEdit);

    // Another user's turn: refused, and the message says why.
    Module::context().FormMode = ModeViewFinal;
    loadReceipt(12);
    ScriptedMessageBox::clear();
    form().cmdEdit_Click();
    EXPECT_EQ(mode(), ModeViewFinal);
    ASSERT_EQ(ScriptedMessageBox::shown().size(), 1);
    EXPECT_EQ(lastBox().title, QStringLiteral("خطا"));
    EXPECT_TRUE(lastBox().message.contains(QStringLiteral("نوبت صندوق")));
}

TEST_F(NewEditCancel, EditOnAClosedTurnAsksUnderRight20606AndOnlyNoStopsIt)
{
    loadReceipt(1); // turn 10, closed
    const std::pair<qint16, qint32> answers[] = {{0, ModeViewFinal}, {1, ModeEditFinal}, {-1, ModeEditFinal}};
    for (const auto &[answer, after] : answers) {
        Module::context().FormMode = ModeViewFinal;
        form().DisableComponents();
        ScriptedMessageBox::clear();
        ScriptedMessageBox::answer(answer);
        form().cmdEdit_Click();
        EXPECT_EQ(mode(), after) << answer;
        EXPECT_EQ(shownBoxes(), QStringList{QStringLiteral("هشدار|") + ClosedTurnQuestion});
        EXPECT_EQ(lastBox().type, 1);
    }
    // Without 20606 the closed turn is final, with the other title.
    db->exec(QStringLiteral("UPDATE tblRecPayCashTurn SET IsOpen = 0 WHERE ID = 5"));
    clearShow(756);
    loadReceipt(14);
    ScriptedMessageBox::clear();
    form().cmdEdit_Click();
    EXPECT_EQ(mode(), ModeViewFinal);
    EXPECT_EQ(shownBoxes(),
              QStringList{QStringLiteral("اشكال|به دليل بسته بودن صندوق و نيز نداشتن نقش تغيير صندوق پس از بسته شدن آن (شماره 20606), "
                             "امكان اصلاح وجود ندارد")});
}

TEST_F(NewEditCancel, CancelAsksAndOnlyYesAbandons)
{
    // Modes 3, 4 and 5: nothing, not even the question.
    for (qint32 id : {10, 7}) {
        loadReceipt(id);
        form().cmdCancel_Click();
    }
    Module::context().FormMode = ModeEmpty;
    form().cmdCancel_Click();
    EXPECT_TRUE(ScriptedMessageBox::shown().isEmpty());

    // A new receipt: no and no answer keep it, yes drops it.
    form().cmdNew_Click();
    child<QLineEdit>("txtRec")->setText(QStringLiteral("1/000"));
    for (qint16 answer : {0, -1}) {
        ScriptedMessageBox::answer(answer);
        form().cmdCancel_Click();
        EXPECT_EQ(mode(), ModeNew);
        EXPECT_EQ(text("txtRec"), QStringLiteral("1/000"));
    }
    EXPECT_EQ(lastBox().title, QStringLiteral("انصراف از ثبت"));
    EXPECT_EQ(lastBox().message, QStringLiteral("آيا مطمئن هستيد؟"));
    ScriptedMessageBox::answer(1);
    form().cmdCancel_Click();
    EXPECT_EQ(mode(), ModeEmpty);
    EXPECT_TRUE(text("txtRec").isEmpty());
    EXPECT_TRUE(child<QLabel>("lblMessage")->text().isEmpty());

    // An edit: yes reloads what is stored, in modes 2 and 6 alike.
    for (qint32 editMode : {ModeEdit, ModeEditFinal}) {
        loadReceipt(7);
        Module::context().FormMode = editMode;
        form().DisableComponents();
        child<QLineEdit>("txtRec")->setText(QStringLiteral("9"));
        ScriptedMessageBox::answer(0);
        form().cmdCancel_Click();
        EXPECT_EQ(mode(), editMode);
        EXPECT_EQ(text("txtRec"), QStringLiteral("9"));
        ScriptedMessageBox::answer(1);
        form().cmdCancel_Click();
        EXPECT_EQ(mode(), ModeViewFinal);
        EXPECT_EQ(text("txtRec"), QStringLiteral("15/750/000"));
        EXPECT_TRUE(child<QLineEdit>("txtRec")->isReadOnly());
    }
}

TEST_F(NewEditCancel, TheMenuItemsAndTheirKeysRunTheOperationsWhenEnabled)
{
    // Mode 3: the temporary receipt can be edited from the menu.
    loadReceipt(10);
    form().findChild<QAction *>(QStringLiteral("mnuEdit"))->trigger();
    EXPECT_EQ(mode(), ModeEdit);
    // Mode 4: Ctrl+E typed in the number box does nothing; Ctrl+N reaches New.
    Module::context().FormMode = ModeViewFinal;
    form().DisableComponents();
    QWidget *focused = focusInto(child<QLineEdit>("txtID"));
    ASSERT_NE(focused, nullptr);
    QTest::keyClick(focused, Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(mode(), ModeViewFinal);
    QTest::keyClick(focused, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(mode(), ModeNew);
    // The saves, final and draft.
    typeNewReceipt();
    form().findChild<QAction *>(QStringLiteral("mnuSave"))->trigger();
    EXPECT_EQ(mode(), ModeViewFinal);
    typeNewReceipt();
    auto *draft = form().findChild<QAction *>(QStringLiteral("mnuRegSave"));
    draft->trigger();
    EXPECT_EQ(mode(), ModeViewTemporary);
    // The draft item stays enabled after a draft save, its button does not:
    // no levels of the shown receipt are written from there.
    ASSERT_TRUE(draft->isEnabled());
    const qint32 id = form().CurrentReceiptID;
    child<OmberSelector>("sltBranch")->setSelectedID(2);
    record.clear();
    draft->trigger();
    EXPECT_TRUE(record.statements().isEmpty());
    EXPECT_TRUE(stored("BranchID", id).isNull());
}

TEST_F(NewEditCancel, ACancelWhoseReloadFailsLeavesNothingToSaveAndSaysHowToRetry)
{
    loadReceipt(7);
    form().cmdEdit_Click();
    child<QLineEdit>("txtRec")->setText(QStringLiteral("99/000/000"));
    // The load fails after emptying the fields: nothing half-read may be saved.
    record.failNext(QStringLiteral("from tblRecPayCashTurn Where ID = "));
    ScriptedMessageBox::answer(1);
    child<QPushButton>("cmdCancel")->click();
    EXPECT_EQ(mode(), ModeEmpty);
    EXPECT_TRUE(lastBox().message.contains(QStringLiteral("دريافت نقدي 7 دوباره خوانده نشد"))) << lastBox().message.toStdString();
    for (const char *name : {"cmdSave", "cmdRegSave", "cmdCancel"})
        EXPECT_FALSE(child<QWidget>(name)->isEnabled()) << name;
    EXPECT_TRUE(child<QLineEdit>("txtRec")->isReadOnly());
    EXPECT_TRUE(text("txtCode").isEmpty());
    EXPECT_EQ(stored("ReceivedValue", 7).toLongLong(), 15750000);
    // Enter in the number box, the database back: the stored receipt returns.
    QTest::keyClick(focusInto(child<QLineEdit>("txtID")), Qt::Key_Return);
    EXPECT_EQ(mode(), ModeViewFinal);
    EXPECT_EQ(text("txtRec"), QStringLiteral("15/750/000"));
}

TEST_F(NewEditCancel, TheFocusNeverGoesWhereTheCashierCannotSeeIt)
{
    form().cmdNew_Click();
    QWidget *save = focusInto(child<QWidget>("cmdSave"));
    ASSERT_EQ(save, child<QWidget>("cmdSave"));
    for (int i = 0; i < 25; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *now = QApplication::focusWidget();
        ASSERT_NE(now, nullptr);
        EXPECT_FALSE(now->visibleRegion().isEmpty()) << now->objectName().toStdString();
        EXPECT_NE(now, child<QWidget>("cmdRegSave"));
    }
}

TEST_F(NewEditCancel, EnterGoesOnThroughTheReceiptAndPressesTheFocusedButton)
{
    form().cmdNew_Click();
    auto *amount = child<QLineEdit>("txtRec");
    QTest::keyClicks(focusInto(amount), QStringLiteral("1500"));
    const auto enter = [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); };
    enter();
    EXPECT_TRUE(child<QWidget>("TlvAccPicker")->isAncestorOf(QApplication::focusWidget()));
    child<FarvoPicker>("TlvAccPicker")->setAccountID(110301);
    enter();
    EXPECT_TRUE(child<QWidget>("mptContracts")->isAncestorOf(QApplication::focusWidget()));
    focusInto(child<QWidget>("txtDescription"));
    enter();
    EXPECT_EQ(QApplication::focusWidget(), child<QWidget>("cmdSave"));
    EXPECT_EQ(mode(), ModeNew);
    enter();
    EXPECT_EQ(mode(), ModeViewFinal);
    EXPECT_EQ(stored("ReceivedValue", form().CurrentReceiptID).toLongLong(), 1500);
    EXPECT_EQ(stored("RelatedAccountID", form().CurrentReceiptID).toInt(), 110301);
}
