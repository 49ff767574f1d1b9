// What the cashier types and sees while entering a receipt: the amount
// grouped as it is typed, the description selected on entry, and the
// counter-party's organisation text.

#include "receipt/frmRPDCashRec.h"

#include "ui_frmRPDCashRec.h"

#include "common/Module.h"
#include "controls/AmountEntry.h"
#include "core/Vb.h"
#include "data/DtEn.h"

void frmRPDCashRec::txtRec_KeyPress(qint16 &KeyAscii)
{
    AmountEntry::filterKey(KeyAscii);
}

void frmRPDCashRec::txtRec_KeyUp(qint16 KeyCode, qint16 Shift)
{
    Q_UNUSED(KeyCode)
    Q_UNUSED(Shift)
    AmountEntry::regroup(ui->txtRec);
}

void frmRPDCashRec::txtDescription_GotFocus()
{
    ui->txtDescription->setSelection(0, int(ui->txtDescription->text().size()));
}

void frmRPDCashRec::TlvAccPicker_AccountSelected()
{
    ui->txtAddress->setText(QString());
    Module::dtEn().rssqlOmberBasePath.Query(
        QStringLiteral("Select Name + '_' + isnull(Address,'') + '_' + isnull(Phone1,'') as OrgDesc from "
                       "tblOrganization Where ID in (Select RelatedObjectID from tblAccountRelatedObjects "
                       "Where RelatedClassID=7 and AccountID=")
            + QString::number(ui->TlvAccPicker->AccountID()) + QStringLiteral(")"),
        [this](Recordset &rs) {
            // A null OrgDesc (an organisation without a name) leaves the box empty.
            if (rs.RecordCount() != 0)
                ui->txtAddress->setText(Vb::textOf(rs.Fields(QStringLiteral("OrgDesc"))));
        });
}
