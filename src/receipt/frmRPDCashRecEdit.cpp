// Starting a new receipt, opening a stored one for editing, abandoning
// either, and the menu items that run them.

#include "receipt/frmRPDCashRec.h"

#include "ui_frmRPDCashRec.h"

#include "common/Module.h"
#include "common/SharedServices.h"
#include "common/VbRuntime.h"
#include "controls/VbKeys.h"
#include "core/Vb.h"
#include "core/VbError.h"
#include "data/DtEn.h"
#include "suite/Identifiers.h"

namespace {

const QString Refused = QStringLiteral("شما به انجام اين عمليات مجاز نيستيد.");

bool hasRight(qint32 right)
{
    return Module::dtEn().spOmberHasPermission(Module::context().UserID, right) != 0;
}

} // namespace

void frmRPDCashRec::cmdNew_Click()
{
    UserContext &context = Module::context();
    if (!hasRight(ids::RightCreateReceipt)) {
        ShowMessage(QStringLiteral("خطا"), Refused);
        return;
    }
    if (CurrentCashID == 0 || CurrentTurn == 0) {
        ShowMessage(QStringLiteral("خطا"), QStringLiteral("حهت دريافت بايد نوبت يك صندوق باز را انتخاب كنيد ."));
        return;
    }
    // The turn must be open and opened by this user.
    bool accepted = false;
    Module::dtEn().rssqlRPDCashTurn.Query(
        QStringLiteral("Select * from tblRecPayCashTurn Where ID = ") + QString::number(CurrentCashTurnID)
            + QStringLiteral(" And IsOpen =1 And UserID =") + QString::number(context.UserID),
        [&](Recordset &turn) {
            if (turn.RecordCount() < 1) {
                ShowMessage(QStringLiteral("خطا"),
                            QStringLiteral("نوبت صندوق فوق بسته ميباشد جهت دريافت بايد يك نوبت صندوق باز را انتخاب نماييد ."));
                return;
            }
            context.FormMode = ModeNew;
            DisableComponents();
            ClearForm();
            ui->lblMessage->setText(QStringLiteral("دريافت جديد"));
            // The computer's date, not the server's: the receipt is written today here.
            ui->dtpOpenDate->setValue(QDate::currentDate());
            CurrentReceiptID = 0;
            m_unfinishedReceipt = 0;
            ui->txtCode->setText(QString());
            accepted = true;
        });
    // From the focus on, nothing may fail the operation.
    if (accepted)
        ignoreErrors([this] { ui->dtpOpenDate->setFocus(); });
    // Even a refused New forgets the number of the receipt on the form.
    ignoreErrors([this] {
        CurrentReceiptID = 0;
        ui->txtID->setText(QString());
    });
}

void frmRPDCashRec::cmdEdit_Click()
{
    UserContext &context = Module::context();
    if (!hasRight(ids::RightEditReceipt)) {
        ShowMessage(QStringLiteral("خطا"), Refused);
        return;
    }
    bool focusAmount = false;
    // A turn whose IsOpen is null counts as open.
    const int found = Module::dtEn().rssqlRPDCashTurn.Query(
        QStringLiteral("Select IsNull(IsOpen,1) as IsOpen from tblRecPayCashTurn Where ID = ")
            + QString::number(CurrentCashTurnID) + QStringLiteral(" And UserID =") + QString::number(context.UserID),
        [&](Recordset &turn) {
            if (turn.RecordCount() < 1)
                return;
            if (Vb::numberOf(turn.Fields(QStringLiteral("IsOpen"))) == 1) {
                context.FormMode = ModeEdit;
                DisableComponents();
                focusAmount = true;
                return;
            }
            if (!hasRight(ids::RightChangeAfterClose)) {
                ShowMessage(QStringLiteral("اشكال"),
                            QStringLiteral("به دليل بسته بودن صندوق و نيز نداشتن نقش تغيير صندوق پس از بسته شدن آن "
                                           "(شماره 20606), امكان اصلاح وجود ندارد"));
                return;
            }
            // Only a clear no stops: an answer that could not be obtained goes ahead.
            if (AskQuestion(QStringLiteral("هشدار"), QStringLiteral("نوبت صندوق متناظر بسته شده است. آيا ادامه مي دهيد؟"))
                == 7)
                return;
            context.FormMode = ModeEditFinal;
            DisableComponents();
            focusAmount = true;
        });
    if (found < 1)
        ShowMessage(QStringLiteral("خطا"),
                    QStringLiteral("اين نوبت صندوق متعلق به شما نيست و اجازه كار با آن را نداريد؛ بنابراين امكان "
                                   "اصلاح اين دريافت وجود ندارد."));
    if (focusAmount)
        ignoreErrors([this] { ui->txtRec->setFocus(); });
}

void frmRPDCashRec::cmdCancel_Click()
{
    UserContext &context = Module::context();
    const qint32 mode = context.FormMode;
    if (mode != ModeNew && mode != ModeEdit && mode != ModeEditFinal)
        return;
    if (AskQuestion(QStringLiteral("انصراف از ثبت"), QStringLiteral("آيا مطمئن هستيد؟")) != 6)
        return;
    const bool stored = completingNewReceipt();
    if (mode == ModeNew && !stored) {
        // Nothing was stored: the new receipt is simply dropped.
        context.FormMode = ModeEmpty;
        DisableComponents();
        ClearForm();
        CurrentReceiptID = 0;
        ui->txtID->setText(QString());
        return;
    }
    // The edits are thrown away by loading the stored receipt again; a new
    // receipt that a failed save already wrote is shown as it was stored,
    // its creation logged first if the failure came before the log.
    if (stored) {
        logUnfinishedCreation();
        ui->txtID->setText(QString::number(CurrentReceiptID));
        m_unfinishedReceipt = 0;
    }
    reloadStoredReceipt();
}

void frmRPDCashRec::reloadStoredReceipt()
{
    UserContext &context = Module::context();
    const QString number = ui->txtID->text();
    context.FormMode = ModeViewFinal;
    qint16 enter = VbKeys::Enter;
    try {
        txtID_KeyPress(enter);
    } catch (...) {
        // Half-read fields must never be saved: the form shows nothing
        // editable, and Enter in the number box tries the load again.
        context.FormMode = ModeEmpty;
        ignoreErrors([this] { ClearForm(); });
        ignoreErrors([this] { DisableComponents(); });
        ui->txtCode->setText(QString());
        ui->txtID->setText(number);
        inStep(QStringLiteral("دريافت نقدي %1 دوباره خوانده نشد؛ آنچه ذخيره شده بود تغيير نكرد. براي خواندن آن "
                              "Enter را در شماره رايانه اي بزنيد")
                   .arg(number),
               [] { throw; });
    }
    DisableComponents();
}

void frmRPDCashRec::mnuNew_Click()
{
    cmdNew_Click();
}

void frmRPDCashRec::mnuEdit_Click()
{
    cmdEdit_Click();
}
