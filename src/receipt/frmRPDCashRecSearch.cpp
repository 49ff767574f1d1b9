// Opening the search form from the receipt form, and loading the receipt
// picked there.

#include "receipt/frmRPDCashRec.h"

#include "ui_frmRPDCashRec.h"

#include "common/Module.h"
#include "common/SharedServices.h"
#include "controls/VbKeys.h"
#include "data/DtEn.h"
#include "platform/FormShower.h"
#include "search/frmRPDSearch.h"
#include "suite/Identifiers.h"

void frmRPDCashRec::cmdSearch_Click()
{
    if (Module::dtEn().spOmberHasPermission(Module::context().UserID, ids::RightSearchReceipts) == 0) {
        ShowMessage(QStringLiteral("خطا"), QStringLiteral("شما به انجام اين عمليات مجاز نيستيد."));
        return;
    }
    frmRPDSearch &search = frmRPDSearch::instance();
    search.setReceiptNumberBox(ui->txtID);
    search.ensureLoaded();
    FormShower::showModal(&search);
    // Whatever the search left in the number box is loaded, as if the
    // cashier had pressed Enter there.
    qint16 enter = VbKeys::Enter;
    txtID_KeyPress(enter);
}

void frmRPDCashRec::mnuSearch_Click()
{
    cmdSearch_Click();
}
