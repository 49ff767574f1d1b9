// Saving a receipt finally or as a draft, editing a final one, returning it
// to the draft state: the checks, the calls in their order, the document,
// the action log, the database's rules about codes and documents, and the
// record of what a final receipt was before each change.

#include "controls/DastelHistory.h"
#include "controls/FarvoPicker.h"
#include "controls/OmberAccountPicker.h"
#include "controls/OmberDate.h"
#include "controls/OmberSelector.h"
#include "core/PersianDate.h"
#include "support/FormFixture.h"

#include <QFile>
#include <QLabel>
#include <sqlite3.h>

namespace {

class Saves : public ShownFormFixture
{
protected:
    // A new receipt typed in 486's open turn (turn 3 of cash box 1).
    void typeNewReceipt(const QString &amount = QStringLiteral("1/250/000"), qint32 account = 110301)
    {
        FormFixture::typeNewReceipt(amount, account);
        child<QLineEdit>("txtDescription")->setText(QStringLiteral("  بابت فاكتور 77  "));
    }
    int history(const QString &where)
    {
        return db->count(QStringLiteral("tblRecPayCashTurnDetailHistory WHERE ") + where);
    }
    // Change records of receipt id by 486 whose column went from one number to another.
    int changes(qint32 id, const char *column, qint64 from, qint64 to)
    {
        const QString c = QLatin1String(column);
        return history(QStringLiteral("ReceiptID = %1 AND Kind = 'edit' AND UserID = 486 AND IsOpen = 0 AND %2 = %3 "
                                      "AND %4 = %5")
                           .arg(id).arg(db->jsonNumber(QStringLiteral("Before"), c)).arg(from)
                           .arg(db->jsonNumber(QStringLiteral("After"), c)).arg(to));
    }
    bool panelShows(const QString &line)
    {
        auto *panel = child<DastelHistory>("DastelHistory1");
        for (int i = 0; i < panel->entryCount(); ++i)
            if (panel->entry(i).first().contains(line))
                return true;
        return false;
    }
};

const QString NoDocumentWithout = QStringLiteral(" مشخص نشده است. بنابراين سند حسابداري متناظر با اين دريافت ثبت نشد.");

} // namespace

TEST_F(Saves, ANewReceiptIsSavedWithItsCodeLogAndBalancedDocument)
{
    typeNewReceipt();
    form().cmdSave_Click();

    ASSERT_EQ(form().CurrentReceiptID, 16);
    EXPECT_EQ(mode(), ModeViewFinal);
    EXPECT_EQ(text("txtID"), QStringLiteral("16"));
    EXPECT_EQ(text("txtCode"), QStringLiteral("12")); // the next code of form type 206
    EXPECT_EQ(stored("Code", 16).toInt(), 12);
    EXPECT_TRUE(ScriptedMessageBox::shown().isEmpty());
    // What is stored: the receipt as typed (trimmed), its log, its balanced document.
    EXPECT_EQ(stored("Description", 16).toString(), QStringLiteral("بابت فاكتور 77"));
    EXPECT_EQ(stored("ReceivedValue", 16).toLongLong(), 1250000);
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT Description FROM tblOmberFormAction WHERE FormCode = '16' AND "
                                        "EventID = 20601 AND UserID = 486")).toString(),
              QStringLiteral("دريافت نقدي به ش.ر. ”16“ ايجاد شد."));
    const RowSet rows = db->run(QStringLiteral("SELECT AccountID || '|' || CAST(DebitValue AS INTEGER) || '|' || "
                                               "CAST(CreditValue AS INTEGER) || '|' || Description FROM "
                                               "tblAccountDocumentDetail WHERE FormID = 16 AND FormTypeID = 206 ORDER BY RowNumber"));
    const QString d = QStringLiteral("عطف به دريافت نقدي به شماره راايانه اي 16 و شماره تاييد شده 12");
    ASSERT_EQ(rows.rows.size(), 2);
    EXPECT_EQ(rows.rows[0][0].toString(), QStringLiteral("110101|1250000|0|%1").arg(d));
    EXPECT_EQ(rows.rows[1][0].toString(), QStringLiteral("110301|0|1250000|%1").arg(d));
    EXPECT_EQ(stored("FarsiTransactionDate", 16).toString(), PersianDate::today());
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT d.CreatorID || '|' || d.FarsiDocumentDate || '|' || CAST(d.Value AS INTEGER) "
                                        "|| '|' || d.Description FROM tblAccountDocument d JOIN tblAccountDocumentDetail r "
                                        "ON r.DocumentID = d.ID WHERE r.FormID = 16 AND r.FormTypeID = 206 AND r.RowNumber = 1"))
                  .toString(), QStringLiteral("486|%1|1250000|%2").arg(PersianDate::today(), d));
    // The creation is not a change of the receipt.
    EXPECT_EQ(db->count(QStringLiteral("tblRecPayCashTurnDetailHistory")), 0);
}

TEST_F(Saves, EachCheckStopsTheSaveInItsOrderAndLeavesEverythingAsItWas)
{
    const int before = receipts();
    auto refused = [&](const QString &title, const QString &message) {
        ScriptedMessageBox::clear();
        form().cmdSave_Click();
        EXPECT_EQ(lastBox().title, title);
        EXPECT_EQ(lastBox().message, message);
        EXPECT_EQ(mode(), ModeNew);
        EXPECT_EQ(receipts(), before);
    };
    typeNewReceipt(QStringLiteral("0/000"), 0);
    // Outside the user's active accounting period.
    child<OmberDate>("dtpOpenDate")->setValue(QDate::currentDate().addYears(-3));
    refused(QStringLiteral("اشكال"), QStringLiteral("تاريخ آخرين وضعيت در دوره مالي مجاز و فعال شما نمي باشد!"));
    child<OmberDate>("dtpOpenDate")->setValue(QDate::currentDate());
    // An amount of 0 with parameter 3383 on.
    form().show();
    refused(QStringLiteral("اشکال"), QStringLiteral("مبلغ بايد مقدار داشته  باشد!"));
    child<QLineEdit>("txtRec")->setText(QStringLiteral("-5"));
    // A branch with 911 on.
    setParameter(911, QStringLiteral("2"));
    refused(QStringLiteral("اشکال"), QStringLiteral("فيلد شعبه الزامي است!"));
    child<OmberSelector>("sltBranch")->setSelectedID(1);
    // A collector with 125 on (read at load).
    setParameter(125, QStringLiteral("1"));
    Module::context().Parameter125On = true;
    refused(QStringLiteral("خطا"), QStringLiteral("وصول كننده مشخص نمي باشد."));
    child<OmberSelector>("mptAchiever")->setSelectedID(3);
    // A counter-party with 29 = 1.
    refused(QStringLiteral("خطا"), QStringLiteral("طرف حساب مشخص نشده است."));
    // 29 other than 1: a receipt without a counter-party is saved, and gets no document.
    Module::context().Parameter29Value = 0;
    ScriptedMessageBox::clear();
    form().cmdSave_Click();
    EXPECT_EQ(mode(), ModeViewFinal);
    EXPECT_EQ(receipts(), before + 1);
    EXPECT_EQ(lastBox().message, QStringLiteral("طرف حساب اين دريافت نقدي ") + NoDocumentWithout);
    EXPECT_EQ(documentsOf(form().CurrentReceiptID), 0);
    // The negative amount passed the amount check and is stored as typed.
    EXPECT_EQ(stored("ReceivedValue", form().CurrentReceiptID).toInt(), -5);

}

TEST_F(Saves, ACashBoxWithoutAnAccountGetsNoDocumentAndSaysWhichBoxItIs)
{
    db->exec(QStringLiteral("INSERT INTO tblRecPayCashTurn (ID, CashID, Turn, UserID, IsOpen) VALUES (41, 4, 3, 486, 1)"));
    qint32 turn = 41;
    form().LoadCashTurn(turn);
    typeNewReceipt();
    form().cmdSave_Click();
    EXPECT_EQ(mode(), ModeViewFinal);
    EXPECT_EQ(lastBox().message, QStringLiteral("حساب متناظر با صندوق صندوق تنخواه") + NoDocumentWithout);
    EXPECT_EQ(documentsOf(form().CurrentReceiptID), 0);
}

TEST_F(Saves, TheDetailLevelsAreCheckedStoredAndGoIntoTheDocumentOnlyWithTheLevelPicker)
{
    setParameter(311, QStringLiteral("1"));
    clearShow(486);
    form().cmdNew_Click();
    child<QLineEdit>("txtRec")->setText(QStringLiteral("2/000/000"));
    auto *acc = child<OmberAccountPicker>("AccCredit");
    acc->setAccountID(110401);
    acc->setClassID1(5);
    acc->setObjectID1(-1);
    form().cmdSave_Click();
    EXPECT_EQ(lastBox().message, QStringLiteral("لازم است که سطوح تفصيل طرف حساب مشخص شوند."));
    EXPECT_EQ(mode(), ModeNew);

    acc->setObjectID1(120);
    acc->setClassID2(12);
    acc->setObjectID2(0); // a class without an object is refused...
    form().cmdSave_Click();
    EXPECT_EQ(mode(), ModeNew);
    acc->setClassID2(-1); // ...a level without a class is stored as NULL
    acc->setClassID3(0);
    acc->setObjectID3(4);
    form().cmdSave_Click();
    ASSERT_EQ(mode(), ModeViewFinal);
    const qint32 id = form().CurrentReceiptID;
    EXPECT_EQ(stored("ObjectID1", id).toInt(), 120);
    EXPECT_TRUE(stored("ClassID2", id).isNull());
    const qint32 doc = callsOf(QStringLiteral("spAccountInsertDocumentDetail")).first()[0].toInt();
    // The cash box on row 1; on row 2 only the level whose class and object are both set.
    const RowSet objects = db->run(QStringLiteral("SELECT RowNumber, Sequence, ClassID, ObjectID FROM "
                                                  "tblAccountDocumentObjects WHERE DocumentID = ? ORDER BY ID"),
                                   {doc});
    EXPECT_EQ(objects.rows, (QVector<QVector<QVariant>>{{1, 1, 17, 1}, {2, 1, 5, 120}}));
    // Without the level picker the levels are never stored, whatever it holds.
    setParameter(311, QStringLiteral("0"));
    clearShow(486);
    acc->setClassID1(5);
    acc->setObjectID1(120);
    typeNewReceipt();
    record.clear();
    form().cmdSave_Click();
    EXPECT_TRUE(stored("ClassID1", form().CurrentReceiptID).isNull());
    EXPECT_TRUE(record.statements().filter(QStringLiteral("tblAccountDocumentObjects")).isEmpty());
}

TEST_F(Saves, EditingAFinalReceiptKeepsItsCodeLeavesOneDocumentAndRecordsTheChange)
{
    loadReceipt(7); // code 6, turn 3 open
    form().cmdEdit_Click();
    ASSERT_EQ(mode(), ModeEdit);
    child<QLineEdit>("txtRec")->setText(QStringLiteral("16/000/000"));
    form().cmdSave_Click();
    EXPECT_EQ(mode(), ModeViewFinal);
    EXPECT_EQ(text("txtCode"), QStringLiteral("6"));
    EXPECT_EQ(callsOf(QStringLiteral("spOmberInsertFormAction")).first()[3],
              QStringLiteral("دريافت نقدي به ش.ر. ”7“ اصلاح شد."));
    EXPECT_EQ(documentsOf(7), 1);
    EXPECT_EQ(db->count(QStringLiteral("tblAccountDocumentDetail WHERE FormID = 7 AND FormTypeID = 206 AND "
                                       "CreditValue = 16000000")), 1);
    // The record: the amount before and after, by 486, completed by the
    // level update of the same save; the panel shows it beside the log.
    EXPECT_EQ(history(QStringLiteral("ReceiptID = 7")), 1);
    EXPECT_EQ(changes(7, "ReceivedValue", 15750000, 16000000), 1);
    EXPECT_TRUE(panelShows(QStringLiteral("مبلغ دريافت: از 15/750/000 به 16/000/000")));
}

TEST_F(Saves, AFinalEditAfterTheTurnClosedUsesTheGeneralUpdateAndReloads)
{
    loadReceipt(1); // turn 10, closed
    ScriptedMessageBox::answer(1);
    form().cmdEdit_Click();
    ASSERT_EQ(mode(), ModeEditFinal);
    child<QLineEdit>("txtDescription")->setText(QStringLiteral("اصلاح شده"));
    child<QLineEdit>("txtRec")->setText(QStringLiteral("13/000/000"));
    child<FarvoPicker>("TlvAccPicker")->setAccountID(110302);
    record.clear();
    form().cmdSave_Click();
    // The general update takes the amount and the account, and keeps the code and the turn.
    EXPECT_EQ(stored("ReceivedValue", 1).toLongLong(), 13000000);
    EXPECT_EQ(stored("RelatedAccountID", 1).toInt(), 110302);
    EXPECT_EQ(stored("Code", 1).toInt(), 1);
    EXPECT_EQ(stored("CashTurnID", 1).toInt(), 1);
    EXPECT_EQ(callsOf(QStringLiteral("spOmberInsertFormAction")).first()[3],
              QStringLiteral("دريافت نقدي به ش.ر. ”1“ اصلاح پس از بسته شدن صندوق شد."));
    // The reload shows what is stored, and the receipt keeps one document.
    EXPECT_EQ(mode(), ModeViewFinal);
    EXPECT_EQ(text("txtDescription"), QStringLiteral("اصلاح شده"));
    EXPECT_EQ(record.statements().filter(QStringLiteral("From vwRecPayCashTurnDetail")).size(), 1);
    EXPECT_EQ(documentsOf(1), 1);
}

TEST_F(Saves, ADraftIsSavedWithoutChecksCodeLogOrDocument)
{
    typeNewReceipt(QString(), 0);
    record.clear();
    form().cmdRegSave_Click();
    EXPECT_EQ(mode(), ModeViewTemporary);
    const qint32 id = form().CurrentReceiptID;
    EXPECT_GT(id, 0);
    EXPECT_TRUE(stored("Code", id).isNull());
    EXPECT_EQ(db->count(QStringLiteral("tblOmberFormAction WHERE FormCode = '%1'").arg(id)), 0);
    EXPECT_EQ(documentsOf(id), 0);
    EXPECT_TRUE(record.statements().filter(QStringLiteral("tblAccountPeriod")).isEmpty());
    EXPECT_TRUE(ScriptedMessageBox::shown().isEmpty());
    EXPECT_EQ(text("txtID"), QString::number(id));

    // An edit kept as a draft: the banner goes, the code stays empty.
    form().cmdEdit_Click();
    ASSERT_EQ(mode(), ModeEdit);
    child<QLineEdit>("txtRec")->setText(QStringLiteral("500"));
    form().cmdRegSave_Click();
    EXPECT_EQ(mode(), ModeViewTemporary);
    EXPECT_TRUE(child<QLabel>("lblMessage")->text().isEmpty());
    EXPECT_EQ(stored("ReceivedValue", id).toInt(), 500);

    // In final-edit mode (right 20602) only the levels, branch and collector are written.
    loadReceipt(7);
    form().mnuEditFinal_Click();
    ASSERT_EQ(mode(), ModeEditFinal);
    EXPECT_EQ(child<QLabel>("lblMessage")->text(), QStringLiteral("اصلاح دريافت نهايي"));
    child<OmberSelector>("sltBranch")->setSelectedID(2);
    child<QLineEdit>("txtRec")->setText(QStringLiteral("1"));
    record.clear();
    form().cmdRegSave_Click();
    EXPECT_EQ(mode(), ModeEditFinal);
    EXPECT_TRUE(record.calls().isEmpty());
    EXPECT_EQ(record.statements().filter(QStringLiteral("Update tblRecPayCashTurnDetail set ClassID1")).size(), 1);
    EXPECT_EQ(stored("BranchID", 7).toInt(), 2);
    EXPECT_EQ(stored("ReceivedValue", 7).toInt(), 15750000);

}

TEST_F(Saves, AReturnedReceiptLosesItsDocumentAndGetsItsCodeBackWhenSavedAgain)
{
    loadReceipt(8); // code 7
    ASSERT_EQ(documentsOf(8), 1);
    // Anything but yes keeps it.
    ScriptedMessageBox::answer(0);
    form().cmdReturnToTempState_Click();
    EXPECT_EQ(stored("Code", 8).toInt(), 7);
    ScriptedMessageBox::answer(1);
    record.clear();
    form().cmdReturnToTempState_Click();
    EXPECT_EQ(lastBox().title, QStringLiteral("هشدار"));
    EXPECT_EQ(mode(), ModeViewTemporary);
    EXPECT_TRUE(text("txtCode").isEmpty());
    EXPECT_TRUE(stored("Code", 8).isNull());
    EXPECT_EQ(documentsOf(8), 0);
    form().TimerButtons_Timer();
    EXPECT_FALSE(child<QWidget>("cmdReturnToTempState")->isEnabled());

    // Other receipts saved meanwhile do not take its code...
    typeNewReceipt();
    form().cmdSave_Click();
    EXPECT_EQ(text("txtCode"), QStringLiteral("12"));
    // ...and it gets it back, with a new document.
    loadReceipt(8);
    form().cmdEdit_Click();
    form().cmdSave_Click();
    EXPECT_EQ(text("txtCode"), QStringLiteral("7"));
    EXPECT_EQ(stored("Code", 8).toInt(), 7);
    EXPECT_EQ(documentsOf(8), 1);
    EXPECT_EQ(db->count(QStringLiteral("tblRecPayReleasedCode")), 0);

    // A return that finds no document to remove still clears the code.
    db->exec(QStringLiteral("DELETE FROM tblAccountDocumentDetail WHERE FormID = 8"));
    loadReceipt(8);
    form().TimerButtons_Timer();
    record.clear();
    ScriptedMessageBox::answer(1);
    form().cmdReturnToTempState_Click();
    EXPECT_EQ(mode(), ModeViewTemporary);
    EXPECT_TRUE(stored("Code", 8).isNull());
    EXPECT_TRUE(record.statements().filter(QStringLiteral("Delete")).isEmpty());

    // The record: each return with the code before and none after. The save
    // between them made a draft final, which is not a change of a final
    // receipt, whatever its detail levels became.
    EXPECT_EQ(history(QStringLiteral("ReceiptID = 8 AND Kind = 'edit'")), 0);
    EXPECT_EQ(history(QStringLiteral("ReceiptID = 8 AND Kind = 'return' AND %1 = 7 AND %2 IS NULL")
                          .arg(db->jsonNumber(QStringLiteral("Before"), QStringLiteral("Code")),
                               db->jsonNumber(QStringLiteral("After"), QStringLiteral("Code")))),
              2);
}

TEST_F(Saves, AReceiptHasOneDocumentAndRemovingItKeepsOtherFormsRows)
{
    loadReceipt(9);
    form().WriteReceiptDocument();
    form().WriteReceiptDocument();
    EXPECT_EQ(documentsOf(9), 1);
    EXPECT_EQ(db->count(QStringLiteral("tblAccountDocumentDetail WHERE FormID = 9 AND FormTypeID = 206")), 2);

    // Another form's rows in receipt 9's document.
    const qint32 doc =
        db->scalar(QStringLiteral("SELECT DocumentID FROM tblAccountDocumentDetail WHERE FormID = 9 AND FormTypeID = 206"))
            .toInt();
    db->exec(QStringLiteral("INSERT INTO tblAccountDocumentDetail (DocumentID, RowNumber, AccountID, DebitValue, "
                            "CreditValue, FormID, FormTypeID) VALUES (?, 3, 4101, 300000, 0, 55, 301), "
                            "(?, 4, 110101, 0, 300000, 55, 301)"),
             {doc, doc});
    form().RemoveReceiptDocument();
    EXPECT_EQ(documentsOf(9), 0);
    EXPECT_EQ(db->count(QStringLiteral("tblAccountDocumentDetail WHERE DocumentID = %1").arg(doc)), 2);
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT Value FROM tblAccountDocument WHERE ID = %1").arg(doc)).toInt(), 300000);
}

TEST_F(Saves, ADocumentGoesOnlyWithItsReplacementAndNoNumberIsGivenTwice)
{
    const auto documentOf = [&](qint32 receipt) {
        return db->scalar(QStringLiteral("SELECT d.Code FROM tblAccountDocument d JOIN tblAccountDocumentDetail r ON "
                                         "r.DocumentID = d.ID WHERE r.FormID = %1 AND r.FormTypeID = 206")
                              .arg(receipt))
            .toInt();
    };
    // An edit whose save fails before the document step keeps the old document.
    loadReceipt(7);
    const int documentBefore = documentOf(7);
    form().cmdEdit_Click();
    child<QLineEdit>("txtRec")->setText(QStringLiteral("16/000/000"));
    record.failNext(QStringLiteral("^Update tblRecPayCashTurnDetail set ClassID1"));
    child<QPushButton>("cmdSave")->click();
    EXPECT_EQ(stored("ReceivedValue", 7).toLongLong(), 16000000);
    EXPECT_EQ(documentOf(7), documentBefore);
    // With documents off, an edited final receipt keeps the one it has.
    setParameter(202, QStringLiteral("0"));
    clearShow(486);
    loadReceipt(7);
    form().mnuEditFinal_Click();
    form().cmdSave_Click();
    EXPECT_EQ(documentOf(7), documentBefore);
    setParameter(202, QStringLiteral("1"));
    clearShow(486);

    // The receipt holding the highest code and the newest document is
    // deleted: neither its code nor its document's number comes back.
    typeNewReceipt();
    form().cmdSave_Click();
    const qint32 deleted = form().CurrentReceiptID;
    const int code = text("txtCode").toInt();
    const int document = documentOf(deleted);
    ASSERT_GT(document, 0);
    ScriptedMessageBox::answer(1);
    form().cmdDelete_Click();
    ASSERT_EQ(db->count(QStringLiteral("tblRecPayCashTurnDetail WHERE ID = %1").arg(deleted)), 0);
    typeNewReceipt();
    form().cmdSave_Click();
    EXPECT_EQ(text("txtCode").toInt(), code + 1);
    EXPECT_EQ(documentOf(form().CurrentReceiptID), document + 1);
}

TEST_F(Saves, SavingAgainAfterAFailureCompletesTheReceiptInsteadOfWritingItTwice)
{
    typeNewReceipt();
    child<OmberSelector>("sltBranch")->setSelectedID(2);
    const int before = receipts();
    // The receipt is written, its log and the rest are not: one message that
    // names the receipt and the cause, and the form stays in mode 1.
    record.failNext(QStringLiteral("spOmberInsertFormAction"), QStringLiteral("disk I/O error"));
    child<QPushButton>("cmdSave")->click();
    ASSERT_EQ(receipts(), before + 1);
    EXPECT_EQ(form().CurrentReceiptID, 16);
    EXPECT_EQ(db->count(QStringLiteral("tblOmberFormAction WHERE FormCode = '16'")), 0);
    EXPECT_EQ(documentsOf(16), 0);
    ASSERT_EQ(ScriptedMessageBox::shown().size(), 1);
    EXPECT_EQ(lastBox().title, QStringLiteral("خطا"));
    EXPECT_TRUE(lastBox().message.contains(QStringLiteral("16")));
    EXPECT_TRUE(lastBox().message.contains(QStringLiteral("disk I/O error")));
    EXPECT_EQ(mode(), ModeNew);
    // The cashier presses Save again: the same receipt, finished.
    ScriptedMessageBox::clear();
    child<QPushButton>("cmdSave")->click();
    EXPECT_TRUE(ScriptedMessageBox::shown().isEmpty()) << lastBox().message.toStdString();
    EXPECT_EQ(receipts(), before + 1);
    EXPECT_EQ(mode(), ModeViewFinal);
    EXPECT_EQ(form().CurrentReceiptID, 16);
    EXPECT_EQ(text("txtCode"), QStringLiteral("12"));
    EXPECT_EQ(db->count(QStringLiteral("tblOmberFormAction WHERE FormCode = '16' AND EventID = 20601")), 1);
    EXPECT_EQ(stored("BranchID", 16).toInt(), 2);
    EXPECT_EQ(documentsOf(16), 1);
    // Completing its creation is not a change of a final receipt.
    EXPECT_EQ(history(QStringLiteral("ReceiptID = 16")), 0);

    // Failing after the mode changed (at the levels): the receipt is shown,
    // and editing it and saving completes it.
    typeNewReceipt();
    child<OmberSelector>("sltBranch")->setSelectedID(3);
    record.failNext(QStringLiteral("^Update tblRecPayCashTurnDetail set ClassID1"));
    child<QPushButton>("cmdSave")->click();
    EXPECT_EQ(mode(), ModeViewFinal);
    EXPECT_FALSE(child<QWidget>("cmdSave")->isEnabled());
    EXPECT_EQ(documentsOf(17), 0);
    form().cmdEdit_Click();
    form().cmdSave_Click();
    EXPECT_EQ(receipts(), before + 2);
    EXPECT_EQ(stored("BranchID", 17).toInt(), 3);
    EXPECT_EQ(documentsOf(17), 1);
    EXPECT_EQ(history(QStringLiteral("ReceiptID = 17")), 0);
}

TEST_F(Saves, WhateverFollowsASaveThatWroteItsReceiptWorksOnThatOneReceipt)
{
    // The save writes the receipt and fails at its log; the cashier then
    // changes the amount and goes on another way.
    const struct
    {
        const char *next;
        std::function<void(frmRPDCashRec &)> press;
        qint32 mode;
        bool finalCode;
        bool showsWhatWasStored;
    } ways[] = {
        {"draft save", [](frmRPDCashRec &f) { f.cmdRegSave_Click(); }, ModeViewTemporary, false, false},
        {"cancel", [](frmRPDCashRec &f) { ScriptedMessageBox::answer(1); f.cmdCancel_Click(); }, ModeViewFinal, true,
         true},
        {"final-edit menu, then save", [](frmRPDCashRec &f) { f.mnuEditFinal_Click(); f.cmdSave_Click(); },
         ModeViewFinal, true, false},
    };
    for (const auto &way : ways) {
        SCOPED_TRACE(way.next);
        typeNewReceipt();
        const int before = receipts();
        record.failNext(QStringLiteral("spOmberInsertFormAction"));
        child<QPushButton>("cmdSave")->click();
        ASSERT_EQ(mode(), ModeNew);
        const qint32 id = form().CurrentReceiptID;
        child<QLineEdit>("txtRec")->setText(QStringLiteral("3/000/000"));
        way.press(form());
        EXPECT_EQ(receipts(), before + 1) << "one receipt, whatever is pressed next";
        EXPECT_EQ(form().CurrentReceiptID, id);
        EXPECT_EQ(text("txtID"), QString::number(id));
        EXPECT_EQ(mode(), way.mode);
        EXPECT_EQ(stored("Code", id).isNull(), !way.finalCode);
        // What the form shows is what is stored: the amount typed after the
        // failure, or (cancel) the amount the failed save stored.
        EXPECT_EQ(text("txtRec"), QString::fromLatin1(way.showsWhatWasStored ? "1/250/000" : "3/000/000"));
        EXPECT_EQ(stored("ReceivedValue", id).toLongLong(), way.showsWhatWasStored ? 1250000 : 3000000);
        // Its creation is logged once, whichever way.
        EXPECT_EQ(db->count(QStringLiteral("tblOmberFormAction WHERE FormCode = '%1' AND EventID = 20601").arg(id)), 1);
        EXPECT_EQ(db->count(QStringLiteral("tblOmberFormAction WHERE FormCode = '%1' AND EventID = 20604").arg(id)), 0);
    }
}

TEST_F(Saves, AFinalEditWhoseReloadFailsSaysWhatWasWrittenAndKeepsTheControlsInStep)
{
    loadReceipt(7);
    form().mnuEditFinal_Click();
    child<QLineEdit>("txtDescription")->setText(QStringLiteral("اصلاح"));
    record.failNext(QStringLiteral("From vwRecPayCashTurnDetail Where ID=7"));
    child<QPushButton>("cmdSave")->click();
    EXPECT_TRUE(lastBox().message.contains(QStringLiteral("ثبت شد ولي بارگذاري دوباره آن انجام نشد")))
        << lastBox().message.toStdString();
    EXPECT_EQ(stored("Description", 7).toString(), QStringLiteral("اصلاح"));
    // The mode the save reached, with its controls: no second save possible.
    EXPECT_EQ(mode(), ModeViewFinal);
    EXPECT_FALSE(child<QWidget>("cmdSave")->isEnabled());
    EXPECT_TRUE(child<QWidget>("cmdEdit")->isEnabled());
}

TEST_F(Saves, OnlyChangesOfAFinalReceiptAreRecordedAndAnyProgramMayStillWrite)
{
    // A draft made final with a new branch: its first final save, no change record.
    loadReceipt(10);
    form().cmdEdit_Click();
    child<OmberSelector>("sltBranch")->setSelectedID(2);
    form().cmdSave_Click();
    ASSERT_EQ(mode(), ModeViewFinal);
    EXPECT_EQ(history(QStringLiteral("ReceiptID = 10")), 0);
    // Its branch changed afterwards, on its own (a draft save in final-edit
    // mode writes the levels alone): that is recorded, complete.
    form().mnuEditFinal_Click();
    child<OmberSelector>("sltBranch")->setSelectedID(3);
    form().cmdRegSave_Click();
    EXPECT_EQ(changes(10, "BranchID", 2, 3), 1);
    // The panel names the branches rather than their numbers.
    EXPECT_TRUE(panelShows(QStringLiteral("اصلاح پس از ثبت نهايي (شعبه: از شعبه اصفهان به شعبه مشهد)")));

    if (DemoDatabase::onPostgres()) {
        // On a server the triggers are the database's own: another program's
        // change is recorded too, without a user (it told none).
        db->exec(QStringLiteral("UPDATE tblRecPayCashTurnDetail SET Description = 'x' WHERE ID = 7"));
        EXPECT_EQ(history(QStringLiteral("ReceiptID = 7 AND UserID IS NULL")), 1);
        return;
    }
    // A program that knows nothing of the record writes all the same, unrecorded.
    sqlite3 *plain = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(db->path()).constData(), &plain), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(plain, "UPDATE tblRecPayCashTurnDetail SET Description = 'x' WHERE ID = 7", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
    sqlite3_close(plain);
    EXPECT_EQ(history(QStringLiteral("ReceiptID = 7")), 0);
}
