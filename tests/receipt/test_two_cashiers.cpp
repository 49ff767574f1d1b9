// Two cashiers on one receipt: whatever the form does to a receipt it read
// is refused when another cashier changed or deleted it since, with who and
// when, and the form then shows what is stored. Its own changes, one after
// another, are never taken for another's.

#include "common/UserContext.h"
#include "controls/OmberSelector.h"
#include "core/PersianDate.h"
#include "core/VbError.h"
#include "data/Connection.h"
#include "support/FormFixture.h"

#include <QDateTime>
#include <QLabel>
#include <tuple>
#include <ostream>

namespace {

const QString Other = QStringLiteral("حسین کریمی"); // user 512

class TwoCashiers : public ShownFormFixture
{
protected:
    // What another cashier's program does: its own connection, its user.
    void otherCashierRuns(const QString &sql, qint32 receipt)
    {
        Connection other(db->connectionString());
        other.setSessionUser(512);
        other.execute(sql, {receipt});
    }
    // Another cashier's form, holding the receipt as it read it.
    bool otherCashierHolds(qint32 receipt, qint32 readCount)
    {
        Connection other(db->connectionString());
        other.setSessionUser(512);
        return frmRPDCashRec::holdAsRead(other, receipt, readCount, 512);
    }
    int logged(qint32 receipt)
    {
        return db->count(QStringLiteral("tblOmberFormAction WHERE FormCode = '%1'").arg(receipt));
    }
};

// The work the form may do on a receipt it read, up to the moment before
// its write, and the write.
struct Operation
{
    const char *name;
    qint32 receipt; // 7 final and 10 a draft, in 486's open turn; 1 final, its turn closed
    qint32 editMode; // the edit entered first, 0 for none
    void (frmRPDCashRec::*write)();
};

// Named in the test runner's list by its name, not its bytes.
void PrintTo(const Operation &op, std::ostream *os)
{
    *os << op.name;
}

const Operation Operations[] = {
    {"FinalSaveOfAnEdit", 7, ModeEdit, &frmRPDCashRec::cmdSave_Click},
    {"DraftSaveOfAnEdit", 10, ModeEdit, &frmRPDCashRec::cmdRegSave_Click},
    {"FinalEditAfterTheTurnClosed", 1, ModeEditFinal, &frmRPDCashRec::cmdSave_Click},
    {"DraftSaveInTheFinalEdit", 1, ModeEditFinal, &frmRPDCashRec::cmdRegSave_Click},
    {"ReturnToTheDraftState", 7, 0, &frmRPDCashRec::cmdReturnToTempState_Click},
    {"Deletion", 10, 0, &frmRPDCashRec::cmdDelete_Click},
};

class WorkOnAStaleReceipt : public TwoCashiers, public ::testing::WithParamInterface<std::tuple<Operation, bool>>
{
protected:
    void begin(const Operation &op)
    {
        loadReceipt(op.receipt);
        ScriptedMessageBox::clear();
        // Yes to every question: the closed turn's, the return's, the deletion's.
        for (int i = 0; i < 3; ++i)
            ScriptedMessageBox::answer(1);
        if (op.editMode != 0) {
            form().cmdEdit_Click();
            ASSERT_EQ(mode(), op.editMode);
            child<QLineEdit>("txtRec")->setText(QStringLiteral("99/000"));
            // Another branch: even the final edit's draft save, which writes
            // only the levels, then changes the receipt.
            child<OmberSelector>("sltBranch")->setSelectedID(stored("BranchID", op.receipt).toInt() == 2 ? 1 : 2);
        }
    }
    // The boxes that are not questions.
    QStringList said()
    {
        QStringList out;
        for (const QString &box : shownBoxes())
            if (!box.endsWith(QStringLiteral("آيا مطمئن هستيد؟")) && !box.contains(QStringLiteral("ادامه مي دهيد")))
                out << box;
        return out;
    }
};

const QString Refused = QStringLiteral(" پس از آنكه آن را باز كرديد،");

} // namespace

TEST_P(WorkOnAStaleReceipt, IsRefusedNamingWhoAndWhenAndTheStoredReceiptIsShown)
{
    const auto &[op, deleted] = GetParam();
    const qint32 id = op.receipt;
    const QVariant code = stored("Code", id);
    begin(op);
    const int log = logged(id), documents = documentsOf(id);
    if (deleted)
        otherCashierRuns(QStringLiteral("Delete From tblRecPayCashTurnDetail Where ID = ?"), id);
    else
        otherCashierRuns(QStringLiteral("Update tblRecPayCashTurnDetail Set Description = N'دیگری' Where ID = ?"), id);
    const QDateTime at = QDateTime::currentDateTime();
    (form().*op.write)();

    // One box names the other cashier and the day; nothing was written.
    ASSERT_EQ(said().size(), 1) << said().join(u'\n').toStdString();
    const QString box = said().first();
    EXPECT_TRUE(box.startsWith(errorBox(QStringLiteral("دريافت نقدي با شماره رايانهاي %1").arg(id) + Refused)))
        << box.toStdString();
    EXPECT_TRUE(box.contains(Other)) << box.toStdString();
    EXPECT_TRUE(box.contains(PersianDate::fromDate(at.date())) || box.contains(PersianDate::fromDate(at.date().addDays(-1))))
        << box.toStdString();
    EXPECT_TRUE(box.contains(deleted ? QStringLiteral("حذف شده است") : QStringLiteral("تغيير كرده است")));
    EXPECT_EQ(logged(id), log);
    EXPECT_TRUE(child<QLabel>("lblMessage")->text().isEmpty());
    if (deleted) {
        EXPECT_EQ(db->count(QStringLiteral("tblRecPayCashTurnDetail WHERE ID = %1").arg(id)), 0);
        EXPECT_EQ(mode(), ModeEmpty);
        EXPECT_TRUE(text("txtRec").isEmpty());
        return;
    }
    // The other's change stands, and the form shows it, not editable.
    EXPECT_EQ(stored("Description", id).toString(), QStringLiteral("دیگری"));
    EXPECT_EQ(stored("Code", id), code);
    EXPECT_EQ(documentsOf(id), documents);
    EXPECT_EQ(text("txtDescription"), QStringLiteral("دیگری"));
    EXPECT_NE(text("txtRec"), QStringLiteral("99/000"));
    EXPECT_EQ(mode(), code.isNull() ? ModeViewTemporary : ModeViewFinal);

    // Read again, the same work goes through; another cashier's form that
    // reads it as it is at the end of this work (a box may keep it open)
    // is refused until this form lets it go.
    const int count = stored("ChangeCount", id).toInt();
    begin(op);
    int othersHold = -1;
    record.beforeNext(QStringLiteral("Set HeldBy = Null"),
                      [&] { othersHold = otherCashierHolds(id, stored("ChangeCount", id).toInt()); });
    (form().*op.write)();
    // A deleted receipt's mark went with it: there is nothing to let go.
    EXPECT_TRUE(op.write == &frmRPDCashRec::cmdDelete_Click || othersHold == 0) << othersHold;
    EXPECT_FALSE(said().join(u'\n').contains(Refused)) << said().join(u'\n').toStdString();
    EXPECT_TRUE(db->count(QStringLiteral("tblRecPayCashTurnDetail WHERE ID = %1").arg(id)) == 0
                || stored("ChangeCount", id).toInt() > count);
}

INSTANTIATE_TEST_SUITE_P(TwoCashiers, WorkOnAStaleReceipt,
                         ::testing::Combine(::testing::ValuesIn(Operations), ::testing::Bool()),
                         [](const auto &info) {
                             return std::string(std::get<0>(info.param).name)
                                    + (std::get<1>(info.param) ? "_Deleted" : "_Changed");
                         });

TEST_F(TwoCashiers, WhatIsTypedOnAReceiptAnotherFormHoldsWaitsForTheHoldToEndOrLapse)
{
    loadReceipt(7);
    form().cmdEdit_Click();
    child<QLineEdit>("txtRec")->setText(QStringLiteral("55/000"));
    ASSERT_TRUE(otherCashierHolds(7, stored("ChangeCount", 7).toInt()));
    ScriptedMessageBox::clear();
    form().cmdSave_Click();
    EXPECT_EQ(shownBoxes(), QStringList{errorBox(QStringLiteral("دريافت نقدي با شماره رايانهاي 7 هم اكنون در برنامه "
                                                                "ديگري در حال ثبت است. درخواست شما انجام نشد؛ لحظه اي "
                                                                "ديگر دوباره امتحان كنيد."))});
    EXPECT_EQ(mode(), ModeEdit);
    // The other's hold lapses and this save takes it; this one's lapses in
    // turn while a box stands open, and the other saves meanwhile: that
    // count is not taken for this form's own.
    const QString lapse = QStringLiteral("Update tblRecPayCashTurnDetail Set HeldAt = '2000-01-01' Where ID = ?");
    otherCashierRuns(lapse, 7);
    record.beforeNext(QStringLiteral("^Select ChangeCount, HeldBy"), [&] {
        otherCashierRuns(lapse, 7);
        EXPECT_TRUE(otherCashierHolds(7, stored("ChangeCount", 7).toInt()));
        otherCashierRuns(QStringLiteral("Update tblRecPayCashTurnDetail Set Description = N'دیگری', HeldBy = Null "
                                        "Where ID = ?"), 7);
    });
    form().cmdSave_Click();
    EXPECT_EQ(stored("ReceivedValue", 7).toInt(), 55000);
    ScriptedMessageBox::clear();
    form().cmdEdit_Click();
    form().cmdSave_Click();
    EXPECT_TRUE(shownBoxes().join(u'\n').contains(Refused)) << shownBoxes().join(u'\n').toStdString();
    EXPECT_EQ(stored("Description", 7).toString(), QStringLiteral("دیگری"));
}

TEST_F(TwoCashiers, TheFormsOwnChangesOneAfterAnotherAreNeverTakenForAnothers)
{
    // A new receipt, edited twice, kept as a draft, made final, returned:
    // every step works on what the step before stored.
    typeNewReceipt(QStringLiteral("1/000"));
    form().cmdSave_Click();
    ASSERT_EQ(mode(), ModeViewFinal);
    const qint32 id = form().CurrentReceiptID;
    loadReceipt(id);
    const std::function<void()> steps[] = {
        [&] { form().cmdSave_Click(); },
        [&] { form().cmdSave_Click(); },
        [&] { form().cmdRegSave_Click(); },
        [&] { form().cmdSave_Click(); },
    };
    int amount = 2000;
    bool failedFirst = false;
    for (const auto &step : steps) {
        form().cmdEdit_Click();
        ASSERT_EQ(mode(), ModeEdit);
        child<QLineEdit>("txtRec")->setText(QString::number(amount));
        if (!failedFirst) {
            // A save whose levels fail after its receipt was written: saving
            // again is this form's own change, not another's.
            failedFirst = true;
            record.failNext(QStringLiteral("^Update tblRecPayCashTurnDetail set ClassID1"));
            EXPECT_THROW(step(), VbError);
            form().cmdEdit_Click();
            child<QLineEdit>("txtRec")->setText(QString::number(amount));
        }
        step();
        EXPECT_EQ(stored("ReceivedValue", id).toInt(), amount);
        amount += 1000;
    }
    ScriptedMessageBox::answer(1);
    form().cmdReturnToTempState_Click();
    EXPECT_TRUE(stored("Code", id).isNull());
    EXPECT_EQ(shownBoxes(), QStringList{QStringLiteral("هشدار|آيا مطمئن هستيد؟")});

    // The database counts every change of what a receipt says, whoever
    // writes it, and only those.
    const int count = stored("ChangeCount", id).toInt();
    EXPECT_GE(count, 5);
    otherCashierRuns(QStringLiteral("Update tblRecPayCashTurnDetail Set Description = Description Where ID = ?"), id);
    EXPECT_EQ(stored("ChangeCount", id).toInt(), count);
    otherCashierRuns(QStringLiteral("Update tblRecPayCashTurnDetail Set BranchID = 2 Where ID = ?"), id);
    EXPECT_EQ(stored("ChangeCount", id).toInt(), count + 1);
    EXPECT_EQ(stored("ChangedBy", id).toInt(), 512);
    // A save that changes nothing lets go too: whoever read the receipt
    // before is not refused.
    loadReceipt(id);
    form().cmdEdit_Click();
    form().cmdRegSave_Click();
    EXPECT_TRUE(otherCashierHolds(id, count + 1));
}
