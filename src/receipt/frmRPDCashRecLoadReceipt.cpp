// Bringing a stored receipt onto the form by its number.

#include "receipt/frmRPDCashRec.h"

#include "ui_frmRPDCashRec.h"

#include "common/Module.h"
#include "common/SharedServices.h"
#include "common/VbRuntime.h"
#include "controls/VbKeys.h"
#include "core/Vb.h"
#include "data/DtEn.h"
#include "suite/Identifiers.h"

namespace {

// A nullable ID column as the pickers take it: -1 for null.
qint32 idOrMinusOne(const QVariant &value)
{
    return value.isNull() ? -1 : Vb::clng(value);
}

} // namespace

void frmRPDCashRec::txtID_KeyPress(qint16 &keyAscii)
{
    UserContext &context = Module::context();
    // Every key but Enter passes untouched, whatever the box holds: only
    // the load reads the number (and a number too large for it is an
    // overflow then, not at every key typed to correct it).
    if (keyAscii != VbKeys::Enter)
        return;
    const qint32 mode = context.FormMode;
    if (mode != ModeViewTemporary && mode != ModeViewFinal && mode != ModeEmpty)
        return;
    const qint32 number = Vb::clng(Vb::val(ui->txtID->text()));
    if (number == 0)
        return;

    DtEn &dtEn = Module::dtEn();
    Recordset &rs = dtEn.rssqlRPDCashTurnDetail;
    if (rs.State() != 0)
        rs.Close();
    rs.setSource(QStringLiteral("Select * From vwRecPayCashTurnDetail Where ID=") + QString::number(number)
                 + QStringLiteral(" And PayedValue = 0"));
    rs.Open();
    if (rs.RecordCount() > 0) {
        ClearForm();
        m_unfinishedReceipt = 0;
        rememberChangeCount(rs);
        CurrentReceiptID = Vb::clng(rs.Fields(QStringLiteral("ID")));
        ui->txtID->setText(QString::number(CurrentReceiptID));
        CurrentCashID = Vb::clng(rs.Fields(QStringLiteral("CashID")));
        CurrentTurn = Vb::clng(rs.Fields(QStringLiteral("Turn")));
        CurrentCashTurnID = Vb::clng(rs.Fields(QStringLiteral("CashTurnID")));
        ui->lblCashTurn->setText(QString::number(CurrentTurn));

        const QVariant code = rs.Fields(QStringLiteral("Code"));
        if (code.isNull()) {
            context.FormMode = ModeViewTemporary;
            CurrentCode = -1;
            ui->txtCode->setText(QString());
        } else {
            context.FormMode = ModeViewFinal;
            CurrentCode = Vb::clng(code);
            ui->txtCode->setText(Vb::textOf(code));
        }
        ui->txtRec->setText(FormatThousands(Vb::textOf(rs.Fields(QStringLiteral("ReceivedValue"))), QStringLiteral("/")));

        const QVariant achiever = rs.Fields(QStringLiteral("AchieverID"));
        if (achiever.isNull())
            ui->mptAchiever->Clear();
        else
            ui->mptAchiever->setSelectedID(Vb::clng(achiever));
        const QVariant branch = rs.Fields(QStringLiteral("BranchID"));
        if (branch.isNull())
            ui->sltBranch->Clear();
        else
            ui->sltBranch->setSelectedID(Vb::clng(branch));

        const QVariant account = rs.Fields(QStringLiteral("RelatedAccountID"));
        if (context.UseCounterpartyPicker) {
            ui->AccCredit->setAccountID(idOrMinusOne(account));
            ui->AccCredit->setClassID1(idOrMinusOne(rs.Fields(QStringLiteral("ClassID1"))));
            ui->AccCredit->setObjectID1(idOrMinusOne(rs.Fields(QStringLiteral("ObjectID1"))));
            ui->AccCredit->setClassID2(idOrMinusOne(rs.Fields(QStringLiteral("ClassID2"))));
            ui->AccCredit->setObjectID2(idOrMinusOne(rs.Fields(QStringLiteral("ObjectID2"))));
            ui->AccCredit->setClassID3(idOrMinusOne(rs.Fields(QStringLiteral("ClassID3"))));
            ui->AccCredit->setObjectID3(idOrMinusOne(rs.Fields(QStringLiteral("ObjectID3"))));
        } else {
            if (account.isNull())
                ui->TlvAccPicker->Clear();
            else
                ui->TlvAccPicker->setAccountID(Vb::clng(account));
        }
        // Once per load whichever picker is shown: with the detail-level
        // picker in use it reads the account the hidden picker holds.
        TlvAccPicker_AccountSelected();

        const QVariant contract = rs.Fields(QStringLiteral("ContractID"));
        if (contract.isNull())
            ui->mptContracts->Clear();
        else
            ui->mptContracts->setSelectedID(Vb::clng(contract));
        ui->txtDescription->setText(Vb::textOf(rs.Fields(QStringLiteral("Description"))));
        ui->dtpOpenDate->setValue(rs.Fields(QStringLiteral("TransactionDate")));

        // The cashier who opened the receipt's turn, found by the turn's own ID.
        dtEn.rssqlRPDCashTurn.Query(
            QStringLiteral("Select * from tblRecPayCashTurn Where ID = ") + QString::number(CurrentCashTurnID),
            [this](Recordset &turn) {
                if (turn.RecordCount() == 0)
                    return;
                const qint32 opener = Vb::clng(ToNumber(Vb::textOf(turn.Fields(QStringLiteral("UserID")))));
                ui->lblOpenerUser->setText(GetUserFullName(opener));
            });

        ui->lblCash->setText(GetCashName(CurrentCashID));
        DisableComponents();
    } else {
        showNoReceipt();
        ShowMessage(QStringLiteral("خطا"), QStringLiteral("دريافت نقدي انتخاب شده يافت نشد."));
    }
    rs.Close();
    ui->DastelHistory1->LoadHistory(ids::FormCashReceipt, CurrentReceiptID);
}

void frmRPDCashRec::showNoReceipt()
{
    Module::context().FormMode = ModeEmpty;
    ClearForm();
    DisableComponents();
    // The receipt shown before is gone from the form: nothing may act on it
    // through its code (the document and return buttons follow it).
    CurrentCode = 0;
    ui->txtCode->setText(QString());
    TimerButtons_Timer();
    ignoreErrors([this] { ui->txtCode->setFocus(); });
}
