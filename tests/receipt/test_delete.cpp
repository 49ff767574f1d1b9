// Deleting the receipt on the form: rights, the question, the turn's owner
// and state, the two procedures, the log, the clean-up, and every failure
// reported as a dependency.

#include "support/FormFixture.h"

namespace {

const QString AreYouSure = QStringLiteral("آيا مطمئن هستيد؟");
const QString ClosedTurnWarning = QStringLiteral("نوبت صندوق متناظر بسته شده است. آيا ادامه مي دهيد؟");

class Delete : public ShownFormFixture
{
protected:
    bool exists(qint32 id) { return db->count(QStringLiteral("tblRecPayCashTurnDetail WHERE ID = %1").arg(id)) == 1; }
};

} // namespace

TEST_F(Delete, AReceiptOfAnOpenTurnGoesWithItsLinksAndTheFormEmpties)
{
    loadReceipt(10); // a draft in 486's open turn, with a link of type 901
    ASSERT_EQ(db->count(QStringLiteral("tblOmberRelatedForms WHERE ReferenceFormID = 10")), 1);
    ScriptedMessageBox::answer(1);
    form().cmdDelete_Click();
    EXPECT_FALSE(exists(10));
    EXPECT_EQ(shownBoxes(), QStringList{QStringLiteral("حذف دريافت |") + AreYouSure});
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT Description FROM tblOmberFormAction WHERE FormCode = '10' AND EventID = 20603"))
                  .toString(), QStringLiteral("دريافت نقدي به ش.ر. ”10“ حذف شد."));
    EXPECT_EQ(db->count(QStringLiteral("tblOmberRelatedForms WHERE ReferenceFormID = 10")), 0);
    EXPECT_EQ(mode(), ModeEmpty);
    EXPECT_TRUE(child<QLineEdit>("txtCode")->text().isEmpty());
    EXPECT_EQ(form().CurrentCode, 0);
    EXPECT_EQ(form().CurrentReceiptID, 10); // the next load or New sets it
    // The deleted receipt's record stays for an administrator.
    EXPECT_EQ(db->count(QStringLiteral("vwFormChangeHistory WHERE FormCode = '10' AND Kind = 'delete'")), 1);
}

TEST_F(Delete, TheQuestionAndTheTurnsOwnerDecide)
{
    // A no, or no answer at all, keeps the receipt.
    loadReceipt(7);
    for (qint16 answer : {0, -1}) {
        ScriptedMessageBox::clear();
        ScriptedMessageBox::answer(answer);
        form().cmdDelete_Click();
        EXPECT_TRUE(exists(7));
        EXPECT_EQ(mode(), ModeViewFinal);
    }

    // Another user's turn: no access, though 486 holds both rights.
    loadReceipt(12);
    ScriptedMessageBox::clear();
    ScriptedMessageBox::answer(1);
    form().cmdDelete_Click();
    EXPECT_TRUE(exists(12));
    EXPECT_EQ(shownBoxes().last(),
              QStringLiteral("خطا|به دليل عدم وجود مجوز دسترسي به اين نوبت صندوق، عمليات حذف ممکن نمي باشد."));

    // A turn whose IsOpen is null counts as open.
    db->exec(QStringLiteral("UPDATE tblRecPayCashTurn SET IsOpen = NULL WHERE ID = 3"));
    loadReceipt(11);
    ScriptedMessageBox::answer(1);
    form().cmdDelete_Click();
    EXPECT_FALSE(exists(11));
}

TEST_F(Delete, AClosedTurnNeedsRight20607AndAWarningThatOnlyNoStops)
{
    loadReceipt(2); // turn 10, closed
    ScriptedMessageBox::answer(1); // sure
    ScriptedMessageBox::answer(0); // no to the warning
    form().cmdDelete_Click();
    EXPECT_TRUE(exists(2));
    EXPECT_EQ(shownBoxes().last(), QStringLiteral("هشدار|") + ClosedTurnWarning);

    // No answer to the warning goes on, through the general procedure.
    ScriptedMessageBox::answer(1);
    ScriptedMessageBox::answer(-1);
    form().cmdDelete_Click();
    EXPECT_FALSE(exists(2));
    EXPECT_EQ(callsOf(QStringLiteral("spRecPayGeneralDeleteCashTurnDetail")), (QVector<QVariantList>{{2, 206}}));
    EXPECT_EQ(callsOf(QStringLiteral("spOmberInsertFormAction")).last()[3],
              QStringLiteral("دريافت نقدي به ش.ر. ”2“ پس از بستن صندوق حذف شد."));
    EXPECT_EQ(mode(), ModeEmpty);

    // Without 20607: the message with the other title, and no warning.
    db->exec(QStringLiteral("INSERT INTO tblOmberUserPermission VALUES (756, 20603)"));
    db->exec(QStringLiteral("UPDATE tblRecPayCashTurn SET IsOpen = 0 WHERE ID = 5"));
    clearShow(756);
    loadReceipt(14);
    ScriptedMessageBox::clear();
    ScriptedMessageBox::answer(1);
    form().cmdDelete_Click();
    EXPECT_TRUE(exists(14));
    EXPECT_EQ(shownBoxes(),
              (QStringList{QStringLiteral("حذف دريافت |") + AreYouSure,
                           QStringLiteral("اشكال|به دليل بسته بودن صندوق و نيز نداشتن نقش حذف صندوق پس از بسته شدن آن "
                                          "(شماره 20607), امكان حذف وجود ندارد")}));
}
