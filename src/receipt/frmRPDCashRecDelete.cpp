// Deleting the receipt on the form: the ordinary procedure while its turn is
// open, the general one under a second right once the turn is closed.

#include "receipt/frmRPDCashRec.h"

#include "ui_frmRPDCashRec.h"

#include "common/Module.h"
#include "common/SharedServices.h"
#include "core/Vb.h"
#include "core/VbError.h"
#include "data/DtEn.h"
#include "suite/Identifiers.h"

#include <QScopeGuard>

namespace {
bool hasRight(qint32 right)
{
    return Module::dtEn().spOmberHasPermission(Module::context().UserID, right) != 0;
}
} // namespace

void frmRPDCashRec::cmdDelete_Click()
{
    DtEn &dtEn = Module::dtEn();
    const qint32 user = Module::context().UserID;
    // One trap for the whole operation: whatever fails, above all a receipt
    // that other records depend on, is reported as a dependency.
    try {
        // A receipt kept (the database refused) is let go as it was.
        const auto release = qScopeGuard([this] { letGo(); });
        if (!hasRight(ids::RightDeleteReceipt)) {
            ShowMessage(QStringLiteral("خطا"), QStringLiteral("شما به انجام اين عمليات مجاز نيستيد."));
            return;
        }
        if (AskQuestion(QStringLiteral("حذف دريافت "), QStringLiteral("آيا مطمئن هستيد؟")) != 6)
            return;
        Recordset &turn = dtEn.rssqlRPDCashTurn;
        turn.setSource(QStringLiteral("Select IsNull(IsOpen,1) as IsOpen from tblRecPayCashTurn Where ID = ")
                       + QString::number(CurrentCashTurnID) + QStringLiteral(" And UserID =") + QString::number(user));
        turn.Open();
        // From here the handle is closed on every way out (by the trap on a failure).
        if (turn.RecordCount() < 1) {
            ShowMessage(QStringLiteral("خطا"),
                        QStringLiteral("به دليل عدم وجود مجوز دسترسي به اين نوبت صندوق، عمليات حذف ممکن نمي باشد."));
            turn.Close();
            return;
        }
        // A receipt changed by another cashier since the form read it is
        // not deleted unseen (the form then shows it as it is now).
        const auto unchanged = [&] {
            if (stillAsRead())
                return true;
            if (turn.State() == 1)
                turn.Close();
            return false;
        };
        if (Vb::numberOf(turn.Fields(QStringLiteral("IsOpen"))) == 1) {
            if (!unchanged())
                return;
            dtEn.spRecPayDeleteCashTurnDetail(CurrentReceiptID);
            m_heldReceipt = 0; // gone, and its mark with it
            if (CurrentReceiptID > 0)
                writeFormAction(ids::EventReceiptDeleted, QStringLiteral("“ حذف شد."));
        } else {
            if (!hasRight(ids::RightDeleteAfterClose)) {
                ShowMessage(QStringLiteral("اشكال"),
                            QStringLiteral("به دليل بسته بودن صندوق و نيز نداشتن نقش حذف صندوق پس از بسته شدن آن "
                                           "(شماره 20607), امكان حذف وجود ندارد"));
                turn.Close();
                return;
            }
            // Only a clear no keeps the receipt.
            if (AskQuestion(QStringLiteral("هشدار"),
                            QStringLiteral("نوبت صندوق متناظر بسته شده است. آيا ادامه مي دهيد؟"))
                == 7) {
                turn.Close();
                return;
            }
            if (!unchanged())
                return;
            dtEn.spRecPayGeneralDeleteCashTurnDetail(CurrentReceiptID, ids::FormCashReceipt);
            m_heldReceipt = 0;
            if (CurrentReceiptID > 0)
                writeFormAction(ids::EventReceiptDeleted, QStringLiteral("“ پس از بستن صندوق حذف شد."));
        }
        // The links other forms hold to the receipt go with it.
        dtEn.rssqlOmberBasePath.Query(
            QStringLiteral("Delete tblOmberRelatedForms Where RelatedFormTypeID = 901 and ReferenceFormTypeID = 206 and "
                           "ReferenceFormID = ")
            + QString::number(CurrentReceiptID));
        Module::context().FormMode = ModeEmpty;
        DisableComponents();
        ClearForm();
        CurrentCode = 0;
        ui->txtCode->setText(QString());
        turn.Close();
    } catch (...) {
        ShowMessage(QStringLiteral("خطا"), QStringLiteral("به اين دريافت نقدي وابستگي وجود دارد."));
        if (dtEn.rssqlRPDCashTurn.State() == 1)
            dtEn.rssqlRPDCashTurn.Close();
        if (dtEn.rssqlRPDCash.State() == 1)
            dtEn.rssqlRPDCash.Close();
    }
}

void frmRPDCashRec::mnuDelete_Click()
{
    cmdDelete_Click();
}
