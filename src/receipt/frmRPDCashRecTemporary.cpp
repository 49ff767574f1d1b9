// Keeping a receipt without a code, opening a final receipt for editing
// under elevated rights, and returning a final receipt to the temporary
// state.

#include "receipt/frmRPDCashRec.h"

#include "ui_frmRPDCashRec.h"

#include "common/Module.h"
#include "common/SharedServices.h"
#include "common/VbRuntime.h"
#include "controls/DastelHistory.h"
#include "controls/VbKeys.h"
#include "data/DtEn.h"
#include "receipt/ReceiptInput.h"
#include "suite/Identifiers.h"

#include <QScopeGuard>

void frmRPDCashRec::cmdRegSave_Click()
{
    UserContext &context = Module::context();
    // A new receipt a failed save already wrote is kept as a draft in its
    // own row, whichever mode the cashier reached since.
    const bool completing = completingNewReceipt();
    const qint32 mode = completing && context.FormMode == ModeEditFinal ? ModeNew : context.FormMode;
    // No check of any kind: a draft may be incomplete. Only what the
    // database cannot store is refused.
    if ((mode == ModeNew || mode == ModeEdit) && !receiptInputStorable(ui->txtDescription, ui->txtRec, false))
        return;
    if (mode != ModeNew && !stillAsRead())
        return;
    const auto countOwnWrites = qScopeGuard([this] { readOwnChangeCount(); });
    switch (mode) {
    case ModeNew:
        // Its creation is logged first if a failed final save wrote it unlogged.
        if (completing)
            logUnfinishedCreation();
        inStep(QStringLiteral("ثبت موقت دريافت نقدي"), [&] { writeReceipt(-1, !completing); });
        m_unfinishedReceipt = 0;
        context.FormMode = ModeViewTemporary;
        DisableComponents();
        ui->txtID->setText(QString::number(CurrentReceiptID));
        ui->txtCode->setText(QString::number(CurrentCode));
        break;
    case ModeEdit:
        inStep(QStringLiteral("ثبت موقت دريافت نقدي"), [this] { writeReceipt(-1, false); });
        context.FormMode = ModeViewTemporary;
        DisableComponents();
        ui->lblMessage->setText(QString());
        ui->txtCode->setText(QString::number(CurrentCode));
        break;
    default:
        // In final-edit mode only the levels, branch and collector are written.
        break;
    }
    inStep(QStringLiteral("ثبت سطوح تفصيلي، شعبه و وصول كننده"), [this] { updateDetailLevels(); });
    ignoreErrors([this] { ui->cmdNew->setFocus(); });
    ignoreErrors([this] { ui->DastelHistory1->LoadHistory(ids::FormCashReceipt, CurrentReceiptID); });
}

void frmRPDCashRec::mnuRegSave_Click()
{
    // The menu item is left as it was in some modes; it does what its
    // button does, and only where the button may.
    if (ui->cmdRegSave->isEnabled())
        cmdRegSave_Click();
}

void frmRPDCashRec::mnuEditFinal_Click()
{
    if (Module::dtEn().spOmberHasPermission(Module::context().UserID, ids::RightEditReceipt) == 0) {
        ShowMessage(QStringLiteral("خطا"), QStringLiteral("شما به انجام اين عمليات مجاز نيستيد."));
        return;
    }
    Module::context().FormMode = ModeEditFinal;
    DisableComponents();
    ui->lblMessage->setText(QStringLiteral("اصلاح دريافت نهايي"));
    ignoreErrors([this] { ui->txtRec->setFocus(); });
}

void frmRPDCashRec::cmdReturnToTempState_Click()
{
    if (AskQuestion(QStringLiteral("هشدار"), QStringLiteral("آيا مطمئن هستيد؟")) != 6)
        return;
    if (!stillAsRead())
        return;
    // However it ends, the count of what was written is the form's.
    const auto countOwnWrites = qScopeGuard([this] { readOwnChangeCount(); });
    inStep(QStringLiteral("حذف سند حسابداري دريافت"), [this] { RemoveReceiptDocument(); });
    inStep(QStringLiteral("بازگشت دريافت به حالت موقت"), [this] {
        Module::dtEn().rssqlOmberBasePath.Query(QStringLiteral("Update tblRecPayCashTurnDetail set Code=null Where ID =")
                                                + QString::number(CurrentReceiptID));
    });
    // The reload finds the code empty and shows the receipt as temporary.
    Module::context().FormMode = ModeViewFinal;
    DisableComponents();
    qint16 enter = VbKeys::Enter;
    txtID_KeyPress(enter);
}
