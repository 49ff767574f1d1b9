// Two tables over the receipt form's operations, on each engine: the
// statements each one sends (the texts are a contract with the suite's
// databases, checked here once), and each refusal for a missing right or a
// failing step: one message, the mode kept, the receipts untouched, and the
// operation working at the next press.

#include "controls/FarvoPicker.h"
#include "core/PersianDate.h"
#include "support/FormFixture.h"

#include <QComboBox>

namespace {

using Operations = FormFixture;

// Chooses a cash box in the selection dialog and confirms it.
std::function<void(QWidget *)> chooseCash(qint32 cashId)
{
    return [cashId](QWidget *dialog) {
        auto *list = dialog->findChild<QComboBox *>(QStringLiteral("cmbCash"));
        list->setCurrentIndex(list->findData(cashId));
        dialog->findChild<QPushButton *>(QStringLiteral("cmdOkey"))->click();
    };
}

} // namespace

TEST_F(Operations, EachSendsTheQuotedStatementsInTheirOrder)
{
    const QString refreshTurn = QStringLiteral("Select IsNull(IsOpen,1) as IsOpen from tblRecPayCashTurn Where ID = 3 "
                                               "And UserID =486");
    const struct
    {
        const char *operation;
        std::function<void()> prepare, act;
        QStringList expected; // each the start of an entry (SQL text or procedure), in order
    } rows[] = {
        {"load", [] {}, [&] { clearShow(486); },
         {QStringLiteral("Select getdate() as today"),
          QStringLiteral("Select * From tblOmberSystemParameters Where ID = 311 and Value=1"),
          QStringLiteral("select * from tblUser Where ID =486"),
          QStringLiteral("Select * from tblRecPayCashTurn Where IsOpen = 1  And UserID =486"),
          QStringLiteral("Select * from tblRecPayCash Where ID = 1"), QStringLiteral("Select * From vwOmberBasePath Order By ID "),
          QStringLiteral("Select Value From tblOmberSystemParameters Where ID = 29"),
          QStringLiteral("Select * From tblOmberSystemParameters Where ID = 202 and Value=1"),
          QStringLiteral("Select * From tblOmberSystemParameters Where ID = 125 and Value=1"),
          QStringLiteral("select * from tbluser where ID =486"),
          QStringLiteral("Select InventoryID from tblInventoryUser Where IsPrimary=1 and UserID=486"),
          QStringLiteral("select * from tblRecPayCash ")}}, // the search form's load step, in the same entry
        {"load receipt", [] {}, [&] { loadReceipt(6); },
         {QStringLiteral("Select * From vwRecPayCashTurnDetail Where ID=6 And PayedValue = 0")}},
        {"return to draft", [&] { loadReceipt(8); ScriptedMessageBox::answer(1); },
         [&] { form().cmdReturnToTempState_Click(); },
         {QStringLiteral("Select * from tblAccountDocumentDetail Where FormID=8 and FormTypeID=206"),
          QStringLiteral("Delete tblAccountDocumentDetail Where DocumentID="),
          QStringLiteral("Delete tblAccountDocument Where ID not in (Select DocumentID from tblAccountDocumentDetail) and ID="),
          QStringLiteral("Update tblAccountDocument set Value = (Select Sum (DebitValue) from tblAccountDocumentDetail "
                         "Where DocumentID="),
          QStringLiteral("Update tblRecPayCashTurnDetail set Code=null Where ID =8")}},
        {"delete", [&] { loadReceipt(10); ScriptedMessageBox::answer(1); }, [&] { form().cmdDelete_Click(); },
         {refreshTurn, QStringLiteral("spRecPayDeleteCashTurnDetail"),
          QStringLiteral("Delete tblOmberRelatedForms Where RelatedFormTypeID = 901 and ReferenceFormTypeID = 206 and "
                         "ReferenceFormID = 10")}},
        {"cash box of an own turn", [&] { onModal(chooseCash(1)); }, [&] { form().cmdCashSelect_Click(); },
         {QStringLiteral("select * from vwRecPayCashUsers Where CashPermitUserID=486"),
          QStringLiteral("select * from tblRecPayCashTurn Where IsOpen = 1 And CashID = 1 And UserID =486"),
          QStringLiteral("Select * from tblRecPayCash Where ID = 1")}},
        {"cash box of a turn joined", [&] { onModal(chooseCash(2)); }, [&] { form().cmdCashSelect_Click(); },
         {QStringLiteral("Select * from tblRecPayCashTurn Where IsOpen = 1  And CashID = 2 and (UserID =486 or ID in "
                         "(Select x.CashTurnID from tblRecPayCashTurnUser x Where x.UserID=486))")}},
        {"new", [&] { loadReceipt(7); }, [&] { form().cmdNew_Click(); },
         {QStringLiteral("Select * from tblRecPayCashTurn Where ID = 3 And IsOpen =1 And UserID =486")}},
        {"final save", [&] {
             child<QLineEdit>("txtRec")->setText(QStringLiteral("1/250/000"));
             child<FarvoPicker>("TlvAccPicker")->setAccountID(110301);
         }, [&] { form().cmdSave_Click(); },
         {QStringLiteral("select * from tblAccountPeriod Where IsActive=1  and ID in (Select x.AccountPeriodID from "
                         "tblUserAccountPeriod x Where x.UserID=486) and '%1' between FarsiBeginDate and FarsiEndDate")
              .arg(PersianDate::today()),
          QStringLiteral("Select Value From tblOmberSystemParameters Where ID = 3383"),
          QStringLiteral("Select Value From tblOmberSystemParameters Where ID = 911"),
          QStringLiteral("spRecPayInsertCashTurnDetail"), QStringLiteral("spOmberInsertFormAction"),
          QStringLiteral("Update tblRecPayCashTurnDetail set ClassID1 = NULL"),
          QStringLiteral("Select AccountID from tblRecPayCash Wher"), QStringLiteral("spAccountInsertDocument"),
          QStringLiteral("spAccountInsertDocumentDetail"), QStringLiteral("spAccountInsertDocumentDetail")}},
        {"edit", [&] { loadReceipt(7); }, [&] { form().cmdEdit_Click(); }, {refreshTurn}},
        {"turn", [] {}, [&] { qint32 missing = 999; form().LoadCashTurn(missing); },
         {QStringLiteral("Select * from tblRecPayCashTurn Where ID=999")}},
    };
    for (const auto &row : rows) {
        row.prepare();
        record.clear();
        row.act();
        QStringList sent;
        for (const StatementRecord::Entry &e : record.entries())
            sent << e.text;
        // The expected entries, in their order, among what was sent.
        qsizetype at = 0;
        for (const QString &start : row.expected) {
            while (at < sent.size() && !sent[at].startsWith(start))
                ++at;
            EXPECT_LT(at++, sent.size()) << row.operation << ": missing or out of order: " << start.toStdString()
                                         << "\nsent:\n" << sent.join(u'\n').toStdString();
        }
    }
}

TEST_F(Operations, ARefusalOrAFailingStepSaysSoOnceAndChangesNothing)
{
    const QString refused = QStringLiteral("خطا|شما به انجام اين عمليات مجاز نيستيد.");
    const struct
    {
        const char *operation;
        qint16 user;
        std::function<void()> prepare, press;
        const char *failing; // the step made to fail, or null for a missing right
        QString box;         // the start of the one box shown
        qint32 retried;      // the mode the same press reaches once the step works
    } rows[] = {
        {"new without 20601", 512, [] {}, [&] { child<QPushButton>("cmdNew")->click(); }, nullptr, refused, 0},
        {"edit without 20602", 512, [&] { loadReceipt(7); }, [&] { form().cmdEdit_Click(); }, nullptr, refused, 0},
        {"final edit without 20602", 512, [&] { loadReceipt(7); }, [&] { form().mnuEditFinal_Click(); }, nullptr,
         refused, 0},
        {"delete without 20603", 756, [&] { loadReceipt(12); },
         [&] { form().cmdDelete_Click(); }, nullptr, refused, 0},
        {"search without 20604", 486,
         [&] { db->exec(QStringLiteral("DELETE FROM tblOmberUserPermission WHERE UserID = 486 AND PermissionID = 20604")); },
         [&] { child<QPushButton>("cmdSearch")->click(); }, nullptr, refused, 0},
        {"new whose turn cannot be read", 486, [] {}, [&] { child<QPushButton>("cmdNew")->click(); }, "IsOpen =1",
         QStringLiteral("خطا|"), ModeNew},
        {"save whose insert fails", 486, [&] { FormFixture::typeNewReceipt(); },
         [&] { child<QPushButton>("cmdSave")->click(); }, "spRecPayInsertCashTurnDetail", QStringLiteral("خطا|"),
         ModeViewFinal},
        {"delete whose procedure fails", 486, [&] { loadReceipt(7); },
         [&] { ScriptedMessageBox::answer(1); form().cmdDelete_Click(); }, "spRecPayDeleteCashTurnDetail",
         QStringLiteral("خطا|به اين دريافت نقدي وابستگي وجود دارد."), ModeEmpty},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.operation);
        frmRPDCashRec::destroyInstance();
        clearShow(row.user);
        row.prepare();
        const qint32 modeBefore = mode();
        const QString before = receiptsAsTheyAre();
        const int shownBefore = modalShows();
        if (row.failing)
            record.failNext(QLatin1String(row.failing));
        ScriptedMessageBox::clear();
        row.press();
        QStringList told; // the questions asked on the way aside
        for (const auto &box : ScriptedMessageBox::shown())
            if (box.type != 1)
                told << box.title + u'|' + box.message;
        ASSERT_EQ(told.size(), 1) << shownBoxes().join(u'\n').toStdString();
        EXPECT_TRUE(told[0].startsWith(row.box)) << told[0].toStdString();
        EXPECT_EQ(mode(), modeBefore);
        EXPECT_EQ(receiptsAsTheyAre(), before);
        EXPECT_EQ(modalShows(), shownBefore);
        if (row.failing) {
            ScriptedMessageBox::clear();
            row.press();
            EXPECT_EQ(mode(), row.retried) << ScriptedMessageBox::messages().join(u'\n').toStdString();
        }
    }
}
